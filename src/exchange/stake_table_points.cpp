#include "exchange/stake_table_points.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "coordinates/file_commands.h"
#include "exchange/cass_points.h"
#include "exchange/exchange_error.h"
#include "exchange/field_text.h"
#include "exchange/unique_names.h"

namespace survey::exchange {

namespace {

std::optional<double> Number(const coordinates::StakeField& field) {
  if (!field) return std::nullopt;
  const std::string_view t = TrimBlanks(*field);
  if (t.empty()) return std::nullopt;
  try {
    return ReadCoordinate(t, 0, "");
  } catch (const ExchangeError&) {
    return std::nullopt;
  }
}

// Metres with up to three decimals, trailing zeros dropped: "5", "7.5".
std::string Offset(double metres) {
  std::string text;
  AppendFixed(text, metres, 3);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

}  // namespace

std::string StationName(std::string_view metres) {
  std::string_view t = TrimBlanks(metres);
  // The curve window marks extra stakes "加桩1100.5": the mark stays in front of the station.
  const std::size_t digits = t.find_first_of("0123456789");
  if (digits != std::string_view::npos && digits > 0 && static_cast<unsigned char>(t[0]) >= 0x80) {
    return std::string(t.substr(0, digits)) + StationName(t.substr(digits));
  }
  double value = 0;
  try {
    value = ReadCoordinate(t, 0, "");
  } catch (const ExchangeError&) {
    return std::string(t);
  }
  const std::size_t point = t.find('.');
  const int decimals = point == std::string_view::npos ? 0 : static_cast<int>(std::min<std::size_t>(t.size() - point - 1, 6));
  if (value < 0) return std::string(t);
  const double scale = std::pow(10.0, decimals);
  const long long units = std::llround(value * scale);
  const long long perKm = std::llround(1000 * scale);
  const long long km = units / perKm;
  const long long rest = units % perKm;
  const long long whole = rest / static_cast<long long>(scale);
  const long long fraction = rest % static_cast<long long>(scale);
  char buf[64];
  std::snprintf(buf, sizeof buf, "K%lld+%03lld", km, whole);
  std::string name = buf;
  if (decimals > 0) {
    std::snprintf(buf, sizeof buf, ".%0*lld", decimals, fraction);
    name += buf;
  }
  return name;
}

std::vector<PointRecord> StakeTablePoints(const std::vector<coordinates::StakeRecord>& rows,
                                          std::string_view sideOffset) {
  std::string offset;
  const std::optional<double> offsetValue = Number(std::string(sideOffset));
  if (offsetValue && *offsetValue > 0) offset = Offset(*offsetValue);
  std::vector<PointRecord> points;
  points.reserve(rows.size());
  for (const coordinates::StakeRecord& row : rows) {
    const std::optional<double> x = Number(row.zx), y = Number(row.zy);
    if (!x || !y) continue;
    const std::string station = StationName(coordinates::CellText(row.zh));
    PointRecord centre;
    centre.name = station;
    centre.x = *x;
    centre.y = *y;
    points.push_back(centre);
    const auto side = [&](const coordinates::StakeField& fx, const coordinates::StakeField& fy, const char* which) {
      const std::optional<double> sx = Number(fx), sy = Number(fy);
      if (!sx || !sy) return;
      PointRecord p;
      p.name = station + which + offset;
      p.x = *sx;
      p.y = *sy;
      points.push_back(std::move(p));
    };
    side(row.zbx, row.zby, "左");
    side(row.ybx, row.yby, "右");
  }
  MakeNamesUnique(points);
  return points;
}

survey::Outcome ExportStakeRowsAsCass(survey::Host& host, survey::TextFileStore& files,
                                      const std::vector<coordinates::StakeRecord>& rows, std::string_view sideOffset,
                                      const std::string& initialName, const std::string& title) {
  survey::FileRequest request;
  request.initialName = initialName;
  request.filters = {{"CASS 点文件(*.dat)", "*.dat"}, {"所有格式(*.*)", "*"}};
  const std::optional<std::string> path = host.AskSaveFile(request);
  if (!path) return survey::Outcome::Cancelled();
  survey::Outcome written;
  {
    survey::BusyScope busy(host);
    try {
      written = files.Write(*path, CassText(StakeTablePoints(rows, sideOffset)));
    } catch (const ExchangeError& e) {
      written = survey::Outcome::Failed(e.what());
    }
  }
  if (!written.ok()) {
    host.ShowMessage(coordinates::WriteFailedMessage("导出失败", *path, written.error, title));
    return survey::Outcome::Refused();
  }
  host.ShowMessage(coordinates::FileDoneMessage("导出成功", title));
  return survey::Outcome::Done();
}

}  // namespace survey::exchange
