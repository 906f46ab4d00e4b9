#include "dovetree/report.h"

#include "curve/report.h"

namespace dovetree {

namespace curve = survey::curve;

namespace {

// "(zh)" and "(hy)" are four single-width characters, so their number part is 13 wide to make
// the same 17 columns as a stake; "(置镜)" and "(加桩)" take the shared width 11.
constexpr std::size_t kLatinSuffixNumberWidth = 13;

std::string StationField(const DeflectionRow& row) {
  switch (row.kind) {
    case RowKind::ZH:
      return curve::SuffixedStationField(survey::SignedNumberText(static_cast<float>(row.station)), "(zh)",
                                         kLatinSuffixNumberWidth);
    case RowKind::HY:
      return curve::SuffixedStationField(survey::SignedNumberText(static_cast<float>(row.station)), "(hy)",
                                         kLatinSuffixNumberWidth);
    case RowKind::Instrument:
      return curve::SuffixedStationField(survey::SignedNumberText(row.station), "(置镜)");
    case RowKind::Extra:
      return curve::SuffixedStationField(survey::SignedNumberText(row.station), curve::RowSuffix(curve::RowKind::Extra));
    case RowKind::Stake:
      break;
  }
  return curve::StakeStationField(static_cast<float>(row.station));
}

}  // namespace

std::string HelpText() {
  return "    使用声明：本窗口为阅览窗口。如果你想打印的话，可以按“打印”。\r\n"
         "    在原始数据输入时，偏交输入方法为：如果要输入：88度22分22秒，就输入88．2222。\r\n"
         "    使用中如发现问题，欢迎告诉我们。";
}

std::string RowLine(const DeflectionRow& row) {
  const std::string reverse =
      row.kind == RowKind::Instrument ? std::string(curve::kFixedReverseText) : curve::ReverseText(row.deflection);
  return curve::Blanks(curve::kIndent) + StationField(row) + curve::DeflectionField(row.deflection) + reverse;
}

std::string ExtraStakeLine(const DeflectionRow& row) { return RowLine(row) + std::string(curve::kCrLf); }

std::string MainReport(const TypedDesignData& typed, const StationResult& result) {
  const StationElements& e = result.elements;
  const curve::ReportHead head = curve::MakeReportHead(curve::Blanks(curve::kHeadingIndent) + "Dovetree 置镜点偏角计算表",
                                                       std::string(typed.jd), std::string(typed.radius),
                                                       std::string(typed.ls), e);
  std::vector<std::string> lines = curve::HeadLines(head);
  lines.reserve(lines.size() + result.rows.size());
  for (const DeflectionRow& row : result.rows) lines.push_back(RowLine(row));
  return curve::JoinCrLf(lines);
}

}  // namespace dovetree
