#include "exchange/stake_table_points.h"

#include <cmath>
#include <optional>

#include "coordinates/file_commands.h"
#include "exchange/cass_points.h"
#include "exchange/exchange_error.h"
#include "exchange/field_text.h"
#include "exchange/station_names.h"
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

}  // namespace

std::vector<PointRecord> StakeTablePoints(const std::vector<coordinates::StakeRecord>& rows,
                                          std::string_view sideOffset) {
  std::string offset;
  const std::optional<double> offsetValue = Number(std::string(sideOffset));
  if (offsetValue && *offsetValue > 0) offset = TrimmedMetres(*offsetValue);
  std::vector<PointRecord> points;
  points.reserve(rows.size());
  for (const coordinates::StakeRecord& row : rows) {
    const std::optional<double> x = Number(row.zx), y = Number(row.zy);
    if (!x || !y) continue;
    const std::string station = StationName(coordinates::CellText(row.station));
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
