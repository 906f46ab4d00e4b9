#include "tallyfen/curve/curve_coordinate_form.h"

#include <cmath>
#include <iterator>

#include "coordinates/parameter_file.h"
#include "exchange/stake_table_points.h"

namespace tallyfen {

using coordinates::StakeRecord;
using survey::Message;
using survey::MessageIcon;

namespace {

constexpr char kMoreText[] = "你可以再进行加桩计算，也可以打印。";

Message Prompt(const std::string& text, const std::string& title, MessageIcon icon, bool refusal) {
  Message m;
  m.text = text;
  m.title = title;
  m.icon = icon;
  m.refusal = refusal;
  return m;
}

bool Finite(const StakePoint& p) {
  auto ok = [](const survey::PlanePoint& q) { return std::isfinite(q.x) && std::isfinite(q.y); };
  return ok(p.centre) && (!p.left || ok(*p.left)) && (!p.right || ok(*p.right));
}

}  // namespace

Message ComputedMessage() {
  return Prompt(std::string("计算成功！\r\n") + kMoreText, "提示", MessageIcon::Question, false);
}

Message ExtraStakeComputedMessage() {
  return Prompt(std::string("加桩计算成功！\r\n") + kMoreText, "提示", MessageIcon::Question, false);
}

Message NoExtraStationMessage() {
  return Prompt("你输入加桩桩号了吗？\r\n请重新输入。", "输入数据出错", MessageIcon::Question, true);
}

Message ZeroAngleOrRadiusMessage() {
  return Prompt("对不起，偏角角度及曲线半径不能为零！", kProgramTitle, MessageIcon::Information, true);
}

StakeRecord ToStakeRecord(const StakePoint& p) {
  using survey::PlainNumberText;
  StakeRecord r;
  r.station = StationText(p);
  r.zx = PlainNumberText(p.centre.x);
  r.zy = PlainNumberText(p.centre.y);
  if (p.left) {
    r.zbx = PlainNumberText(p.left->x);
    r.zby = PlainNumberText(p.left->y);
  }
  if (p.right) {
    r.ybx = PlainNumberText(p.right->x);
    r.yby = PlainNumberText(p.right->y);
  }
  return r;
}

std::optional<CurveCoordInput> CurveCoordinateForm::CheckedInput() {
  const InputReading reading = ReadCurveInput(fields_);
  switch (reading.refusal) {
    case InputRefusal::None:
      break;
    case InputRefusal::DataError:
      host_.ShowMessage(survey::DataErrorMessage());
      return std::nullopt;
    case InputRefusal::ZeroAngleOrRadius:
      host_.ShowMessage(ZeroAngleOrRadiusMessage());
      return std::nullopt;
    case InputRefusal::OverlappingTransitions:
      host_.ShowMessage(survey::OverlappingTransitionsMessage());
      return std::nullopt;
  }
  // A curve whose stations overflow, or one with more rows than anyone can stake, is refused
  // before the table is touched.
  if (CheckCurveSize(ComputeCurveStations(reading.input).stations) != CurveRefusal::None) {
    host_.ShowMessage(survey::DataErrorMessage());
    return std::nullopt;
  }
  return reading.input;
}

// The points and the deflection must be typed; radius and Ls are checked when they are read.
bool CurveCoordinateForm::FieldsFilled() const {
  const CurveFields& f = fields_;
  return !(f.zhX.empty() || f.zhY.empty() || f.jdX.empty() || f.jdY.empty() || f.zhStation.empty() ||
           f.alpha.empty());
}

void CurveCoordinateForm::TableFailed() {
  host_.ShowMessage(Prompt("坐标表无法读写：" + table_.LastError(), kProgramTitle, MessageIcon::Critical, true));
}

survey::Outcome CurveCoordinateForm::ComputeCurve() {
  if (!FieldsFilled()) {
    return survey::Refuse(host_, survey::DataErrorMessage());
  }
  if (fields_.ls.empty()) fields_.ls = "0";
  const std::optional<CurveCoordInput> input = CheckedInput();
  if (!input) return survey::Outcome::Refused();  // CheckedInput has told the user

  std::vector<StakeRecord> rows;
  bool finite = true;
  const CurveRunResult run = BuildCurveStakes(*input, [&](const StakePoint& p) {
    finite = finite && Finite(p);
    rows.push_back(ToStakeRecord(p));
  });
  if (!finite) {
    return survey::Refuse(host_, survey::DataErrorMessage());
  }
  // The ZH row shows the point as it was typed.
  rows.front().zx = fields_.zhX;
  rows.front().zy = fields_.zhY;
  // One change: the old rows go and the new ones come together, or nothing changes. A cancel
  // is the user's choice and needs no message.
  bool cancelled = false;
  coordinates::Progress watched;
  if (progress_) {
    watched = [&](std::size_t done, std::size_t total) {
      cancelled = !progress_(done, total);
      return !cancelled;
    };
  }
  if (!table_.Replace(rows, watched)) {
    if (cancelled) return survey::Outcome::Cancelled();
    TableFailed();
    return survey::Outcome::Refused(table_.LastError());
  }
  echo_ = MakeCurveEcho(fields_, *input, run.curve);
  if (run.hyCentre) hydzb1_ = *run.hyCentre;
  host_.ShowMessage(ComputedMessage());
  ReloadGrid();
  return survey::Outcome::Done();
}

survey::Outcome CurveCoordinateForm::AddExtraStake() {
  if (fields_.extraStation.empty()) {
    return survey::Refuse(host_, NoExtraStationMessage());
  }
  if (!FieldsFilled()) {
    return survey::Refuse(host_, survey::DataErrorMessage());
  }
  const std::optional<CurveCoordInput> input = CheckedInput();
  if (!input) return survey::Outcome::Refused();  // CheckedInput has told the user
  const std::optional<StakePoint> point = ComputeExtraStakePoint(*input, ReadExtraStation(fields_));
  if (!point) return survey::Outcome::Refused();  // before ZH or beyond HZ: no row, no message
  if (!Finite(*point)) {
    return survey::Refuse(host_, survey::DataErrorMessage());
  }
  if (!table_.Append(ToStakeRecord(*point))) {
    TableFailed();
    return survey::Outcome::Refused(table_.LastError());
  }
  host_.ShowMessage(ExtraStakeComputedMessage());
  ReloadGrid();
  return survey::Outcome::Done();
}

void CurveCoordinateForm::ClearInputs() {
  CurveFields& f = fields_;
  for (std::string* t : {&f.zhX, &f.zhY, &f.jdX, &f.jdY, &f.zhStation, &f.alpha, &f.radius, &f.extraStation}) {
    t->clear();
  }
  f.ls = "0";
}

bool CurveCoordinateForm::EmptyStakeTable() {
  const bool emptied = table_.Clear();
  grid_.clear();
  ++gridVersion_;
  return emptied;
}

void CurveCoordinateForm::ReloadGrid() {
  std::vector<StakeRecord> rows;
  if (!table_.ReadRows(rows)) {
    TableFailed();
    return;
  }
  grid_ = std::move(rows);
  ++gridVersion_;
}

namespace {

// The text fields in the order of the "[qxzb]" file's value lines; the turn line stands between
// the last two (kTurnLine).
constexpr std::string CurveFields::*kParameterOrder[] = {
    &CurveFields::projectName, &CurveFields::tabulator, &CurveFields::zhX,    &CurveFields::zhY,
    &CurveFields::jdX,         &CurveFields::jdY,       &CurveFields::zhStation, &CurveFields::alpha,
    &CurveFields::radius,      &CurveFields::ls,        &CurveFields::offset,    &CurveFields::extraStation};
constexpr std::size_t kTurnLine = 11;

}  // namespace

std::vector<std::string> CurveCoordinateForm::ParameterValues() const {
  std::vector<std::string> values;
  for (std::string CurveFields::*field : kParameterOrder) {
    if (values.size() == kTurnLine) values.push_back(coordinates::TurnLineText(fields_.turnLeft));
    values.push_back(fields_.*field);
  }
  return values;
}

survey::Outcome CurveCoordinateForm::SaveParameters() {
  return coordinates::SaveParameters(host_, files_, coordinates::ParameterKind::Curve, ParameterValues(), kProgramTitle);
}

coordinates::OpenedParameters CurveCoordinateForm::OpenParameters() {
  const coordinates::OpenedParameters opened =
      coordinates::OpenParameters(host_, files_, coordinates::ParameterKind::Curve, kProgramTitle);
  if (opened.outcome != survey::Outcome::Status::Done) return opened;
  const std::vector<std::string>& v = opened.content.values;
  auto value = [&v](std::size_t i) { return i < v.size() ? v[i] : std::string(); };
  // The lines in ParameterValues order; the turn line is read by the parameter file.
  for (std::size_t i = 0; i < std::size(kParameterOrder); ++i) {
    fields_.*kParameterOrder[i] = value(i < kTurnLine ? i : i + 1);
  }
  if (opened.content.turnLeft) fields_.turnLeft = *opened.content.turnLeft;
  return opened;
}

survey::Outcome CurveCoordinateForm::ExportGrid() {
  return coordinates::ExportStakeRows(host_, files_, grid_, std::string(coordinates::kCurveExportName), kProgramTitle);
}

survey::Outcome CurveCoordinateForm::ExportGridAsCass() {
  return survey::exchange::ExportStakeRowsAsCass(host_, files_, grid_, fields_.offset, std::string(coordinates::kCurveExportName),
                                                 kProgramTitle);
}

coordinates::ReportValues CurveCoordinateForm::ReportValues() const {
  return {echo_.projectName,
          echo_.deflection,
          echo_.zhStation,
          echo_.tangentLength,
          survey::PlainNumberText(echo_.r),
          echo_.zhPoint,
          echo_.jdPoint,
          std::to_string(echo_.ls),
          echo_.sideOffset,
          echo_.tabulator};
}

survey::Outcome CurveCoordinateForm::PrintReport() {
  coordinates::ReportData report;
  report.values = ReportValues();
  // The report reads the table itself, as it stands now.
  if (!table_.ReadRows(report.rows)) {
    TableFailed();
    return survey::Outcome::Refused(table_.LastError());
  }
  if (report.rows.size() > coordinates::kMaxReportRows) {
    const survey::Message m = coordinates::ReportTooLongMessage(report.rows.size(), kProgramTitle);
    host_.ShowMessage(m);
    return survey::Outcome::Refused(m.text);
  }
  std::string error;
  if (!printer_.ShowReport(report, &error)) {
    host_.ShowMessage(Prompt("无法打印报表：" + error, kProgramTitle, MessageIcon::Critical, true));
    return survey::Outcome::Refused(error);
  }
  return survey::Outcome::Done();
}

}  // namespace tallyfen
