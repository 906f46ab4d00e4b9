#include "curve/report.h"

#include <utility>

namespace survey::curve {

std::string Blanks(std::size_t count) { return std::string(count, ' '); }

std::string_view RowSuffix(RowKind kind) {
  switch (kind) {
    case RowKind::Start:
      return "(起点)";
    case RowKind::HY:
      return "(缓圆)";
    case RowKind::QZ:
      return "(曲中)";
    case RowKind::YH:
      return "(圆缓)";
    case RowKind::End:
      return "(终点)";
    case RowKind::Extra:
      return "(加桩)";
    case RowKind::Stake:
      break;
  }
  return "";
}

std::string StakeStationField(float station) { return PadRight(SignedNumberText(station), kStakeStationWidth); }

std::string SuffixedStationField(std::string_view numberText, std::string_view suffix, std::size_t numberWidth) {
  const std::size_t n = Utf8Length(numberText);
  std::string field(numberText);
  field += suffix;
  if (n < numberWidth) field += Blanks(numberWidth - n);
  return field;
}

std::string MainStationField(float station, RowKind kind) {
  return SuffixedStationField(SignedNumberText(station), RowSuffix(kind));
}

std::string DeflectionField(double J) { return PadRight(DmsText(SplitDms(J), TextForm::Signed), kDeflectionWidth); }

std::string ReverseText(double J) { return DmsText(SplitDms(360 - J), TextForm::Plain); }

std::string StationField(const StakeRow& row) {
  return row.kind == RowKind::Stake ? StakeStationField(row.station) : MainStationField(row.station, row.kind);
}

std::string RowLine(const StakeRow& row) {
  std::string line = Blanks(kIndent) + StationField(row) + DeflectionField(row.deflection);
  switch (row.kind) {
    case RowKind::Start:
      line += std::string(kFixedReverseText) + Blanks(4);
      break;
    case RowKind::End:
      line += std::string(kFixedReverseText) + Blanks(5);
      break;
    default:
      line += ReverseText(row.deflection);
      break;
  }
  return line;
}

std::vector<std::string> HeadLines(const ReportHead& h) {
  const std::string in = Blanks(kIndent);
  const std::string gap = Blanks(kGap);
  const std::string heading = Blanks(kHeadingIndent);
  const std::string alpha =
      DmsText(h.alpha.D, h.alpha.M, static_cast<int>(h.alpha.S), TextForm::Plain);
  return {
      h.banner,
      "",
      heading + "－－－原 始 数 据－－－",
      in + "交点桩号JD=" + h.jdText + gap + "偏角角度α＝" + alpha,
      in + "曲线半径R ＝" + h.rText + gap + "缓和曲线LS＝" + h.lsText,
      "",
      heading + "－－－曲 线 要 素－－－",
      in + "P=" + h.pText + gap + "Q=" + h.qText + gap + "L=" + PlainNumberText(h.L),
      in + "T=" + PlainNumberText(h.T) + gap + "E=" + PlainNumberText(h.E) + gap + "QZ=" + PlainNumberText(h.QZ),
      in + "ZH=" + PlainNumberText(h.ZH) + gap + "HY=" + PlainNumberText(h.HY),
      in + "YH=" + PlainNumberText(h.YH) + gap + "HZ=" + PlainNumberText(h.HZ),
      "",
      heading + "－－－加桩计算结果－－－",
      in + "加桩桩号＝" + gap + "偏角Pj＝" + Blanks(8) + "反偏角=",
  };
}

std::string DateLine(std::string_view dateText) {
  return Blanks(kIndent) + "软件制作：2002年1月14日" + Blanks(2) + "打印日期：20" + std::string(dateText);
}

std::string BrannockBanner() { return Blanks(kHeadingIndent) + "Brannock 平曲线偏角法测设计算表"; }

std::vector<std::string> MainReportLines(const ReportHead& head, const std::vector<StakeRow>& rows,
                                         std::string_view dateText) {
  std::vector<std::string> lines = HeadLines(head);
  lines.reserve(lines.size() + rows.size() + 2);
  for (const StakeRow& r : rows) lines.push_back(RowLine(r));
  lines.push_back(Blanks(5));
  lines.push_back(DateLine(dateText));
  return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const auto& l : lines) size += l.size() + kCrLf.size();
  std::string text;
  text.reserve(size);
  for (const auto& l : lines) {
    text += l;
    text += kCrLf;
  }
  return text;
}

std::string WriteMainReport(const ReportHead& head, const std::vector<StakeRow>& rows, std::string_view dateText) {
  return JoinCrLf(MainReportLines(head, rows, dateText));
}

std::string ExtraStakeLine(const StakeRow& extra) { return RowLine(extra) + std::string(kCrLf); }

void AppendExtraStakeLine(std::string& report, const StakeRow& extra) { report += ExtraStakeLine(extra); }

std::string SavedReportRecord(std::string_view report) {
  std::string record;
  record.reserve(report.size() + 4);
  record += '"';
  record += report;
  record += '"';
  record += kCrLf;
  return record;
}

}  // namespace survey::curve
