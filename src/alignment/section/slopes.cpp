#include "alignment/section/slopes.h"

#include <cmath>

#include "alignment/alignment_error.h"
#include "alignment/table_reader.h"

namespace survey::alignment::section {

namespace {

[[noreturn]] void Refuse(int line, const std::string& what) { throw AlignmentError(LinePrefix(line) + what, line); }

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

const std::vector<ColumnHeading>& SideSlopesColumns() {
  static const std::vector<ColumnHeading> columns = {
      {"side", {"side", "侧"}}, {"kind", {"kind", "类型"}}, {"ratio", {"ratio", "坡率"}}};
  return columns;
}

SideSlopes ReadSideSlopes(std::string bytes, std::string_view fileName) {
  try {
    const Table table = ReadTable(std::move(bytes), SideSlopesColumns());
    SideSlopes slopes;
    int seen[2][2] = {{0, 0}, {0, 0}};
    for (std::size_t i = 0; i < table.RowCount(); ++i) {
      const int line = table.LineNumber(i);
      const std::string side = Lower(table.Cell(i, 0));
      int s = 0;
      if (side == "left" || side == "l" || side == "左") {
        s = 0;
      } else if (side == "right" || side == "r" || side == "右") {
        s = 1;
      } else {
        Refuse(line, "侧“" + std::string(table.Cell(i, 0)) + "”应为 left 或 right（左 或 右）。");
      }
      const std::string kind = Lower(table.Cell(i, 1));
      int k = 0;
      if (kind == "fill" || kind == "填" || kind == "填方") {
        k = 0;
      } else if (kind == "cut" || kind == "挖" || kind == "挖方") {
        k = 1;
      } else {
        Refuse(line, "类型“" + std::string(table.Cell(i, 1)) + "”应为 fill 或 cut（填 或 挖）。");
      }
      const double m = table.Number(i, 2);
      if (!(m > 0) || m > kMaxSlopeRatio) {
        Refuse(line, "坡率 应为 1:m 中大于 0、不超过 100 的 m：“" + std::string(table.Cell(i, 2)) + "”。");
      }
      const char* name = s == 0 ? (k == 0 ? "左侧填方" : "左侧挖方") : (k == 0 ? "右侧填方" : "右侧挖方");
      if (seen[s][k] != 0) {
        Refuse(line, std::string(name) + "坡率已在第 " + std::to_string(seen[s][k]) + " 行给出。");
      }
      seen[s][k] = line;
      slopes.ratio[s][k] = m;
    }
    for (int s = 0; s < 2; ++s) {
      for (int k = 0; k < 2; ++k) {
        if (seen[s][k] == 0) {
          throw AlignmentError(std::string("缺少") + (s == 0 ? "左侧" : "右侧") + (k == 0 ? "填方（fill）" : "挖方（cut）") +
                               "坡率：每侧需要一个填方坡率和一个挖方坡率。");
        }
      }
    }
    return slopes;
  } catch (const AlignmentError& e) {
    throw AlignmentError(FilePrefix(fileName) + e.what(), e.Line());
  }
}

SlopeStake StakeSlopeFromEdge(double edgeOffset, double edgeElevation, double fillRatio, double cutRatio,
                              double offset, double z) {
  SlopeStake s;
  s.edgeOffset = edgeOffset;
  s.edgeElevation = edgeElevation;
  // A point level with the edge stands on the fill side: its catch point is the edge itself.
  s.kind = z > edgeElevation ? SlopeKind::Cut : SlopeKind::Fill;
  const double m = s.kind == SlopeKind::Fill ? fillRatio : cutRatio;
  const double out = std::fabs(offset) - std::fabs(edgeOffset);  // beyond the edge
  s.catchOffset = std::fabs(edgeOffset) + std::fabs(edgeElevation - z) * m;
  s.move = s.catchOffset - std::fabs(offset);
  // Compared in tenths of a millimetre: a shot typed to the millimetre exactly 0.01 m off is set.
  if (std::fabs(s.move) <= kCatchTolerance + 1e-9) {
    s.move = 0;
    s.atCatch = true;
  }
  s.slopeElevation = s.kind == SlopeKind::Fill ? edgeElevation - out / m : edgeElevation + out / m;
  s.slopeDz = z - s.slopeElevation;
  return s;
}

std::optional<SlopeStake> StakeSlope(const CrossSection& section, const SideSlopes& slopes, double offset, double z) {
  const Side side = offset < 0 ? Side::Left : Side::Right;
  const double width = section.Width(side);
  if (section.Parts(side).empty() || std::fabs(offset) <= width) return std::nullopt;
  const double edge = side == Side::Left ? -width : width;
  const std::optional<double> ze = section.ElevationAt(edge);
  if (!ze) return std::nullopt;
  return StakeSlopeFromEdge(edge, *ze, slopes.Ratio(side, SlopeKind::Fill), slopes.Ratio(side, SlopeKind::Cut), offset, z);
}

}  // namespace survey::alignment::section
