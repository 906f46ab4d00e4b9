#include "tallyfen/curve/curve_form.h"

#include <cmath>

#include "coordinates/parameter_file.h"

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
  r.zh = StationText(p);
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

std::optional<CurveCoordInput> CurveForm::CheckedInput() {
  const InputReading reading = ReadCurveInput(fields);
  switch (reading.refusal) {
    case InputRefusal::None:
      break;
    case InputRefusal::DataError:
      host_.ShowMessage(survey::DataErrorMessage());
      return std::nullopt;
    case InputRefusal::ZeroAngleOrRadius:
      host_.ShowMessage(ZeroAngleOrRadiusMessage());
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

void CurveForm::TableFailed() {
  host_.ShowMessage(Prompt("坐标表无法读写：" + table_.LastError(), kProgramTitle, MessageIcon::Critical, true));
}

void CurveForm::RunCurveComputation() {
  const CurveFields& f = fields;
  if (f.Text1.empty() || f.Text2.empty() || f.Text3.empty() || f.Text4.empty() || f.Text5.empty() ||
      f.Text6.empty()) {
    host_.ShowMessage(survey::DataErrorMessage());
    return;
  }
  if (fields.Text8.empty()) fields.Text8 = "0";
  const std::optional<CurveCoordInput> input = CheckedInput();
  if (!input) return;

  std::vector<StakeRecord> rows;
  bool finite = true;
  const CurveRunResult run = BuildCurveStakes(*input, [&](const StakePoint& p) {
    finite = finite && Finite(p);
    rows.push_back(ToStakeRecord(p));
  });
  if (!finite) {
    host_.ShowMessage(survey::DataErrorMessage());
    return;
  }
  // The ZH row shows the point as it was typed.
  rows.front().zx = fields.Text1;
  rows.front().zy = fields.Text2;
  // One change: the old rows go and the new ones come together, or nothing changes. A cancel
  // is the user's choice and needs no message.
  bool cancelled = false;
  coordinates::Progress watched;
  if (progress) {
    watched = [&](std::size_t done, std::size_t total) {
      cancelled = !progress(done, total);
      return !cancelled;
    };
  }
  if (!table_.Replace(rows, watched)) {
    if (!cancelled) TableFailed();
    return;
  }
  echo = MakeCurveEcho(fields, *input, run.curve);
  if (run.hyCentre) {
    hydzb1_x = run.hyCentre->x;
    hydzb1_y = run.hyCentre->y;
  }
  host_.ShowMessage(ComputedMessage());
  ShowStakeTable();
}

void CurveForm::RunExtraStake() {
  const CurveFields& f = fields;
  if (f.Text9.empty()) {
    host_.ShowMessage(NoExtraStationMessage());
    return;
  }
  if (f.Text1.empty() || f.Text2.empty() || f.Text3.empty() || f.Text4.empty() || f.Text5.empty() ||
      f.Text6.empty()) {
    host_.ShowMessage(survey::DataErrorMessage());
    return;
  }
  const std::optional<CurveCoordInput> input = CheckedInput();
  if (!input) return;
  const std::optional<StakePoint> point = ComputeExtraStakePoint(*input, ReadExtraStation(fields));
  if (!point) return;  // before ZH or beyond HZ: no row, no message
  if (!Finite(*point)) {
    host_.ShowMessage(survey::DataErrorMessage());
    return;
  }
  if (!table_.Append(ToStakeRecord(*point))) {
    TableFailed();
    return;
  }
  host_.ShowMessage(ExtraStakeComputedMessage());
  ShowStakeTable();
}

void CurveForm::ClearInputs() {
  for (std::string* t : {&fields.Text1, &fields.Text2, &fields.Text3, &fields.Text4, &fields.Text5, &fields.Text6,
                         &fields.Text7, &fields.Text9}) {
    t->clear();
  }
  fields.Text8 = "0";
}

bool CurveForm::ClearStakeTable() { return table_.Clear(); }

void CurveForm::ShowStakeTable() {
  std::vector<StakeRecord> rows;
  if (!table_.ReadRows(rows)) {
    TableFailed();
    return;
  }
  grid = std::move(rows);
  ++gridVersion;
}

std::vector<std::string> CurveForm::ParameterValues() const {
  const CurveFields& f = fields;
  return {f.Text11, f.Text12, f.Text1, f.Text2, f.Text3, f.Text4, f.Text5,
          f.Text6,  f.Text7,  f.Text8, f.Text10, coordinates::TurnLineText(f.Option1), f.Text9};
}

survey::Outcome CurveForm::SaveParameters(coordinates::TextFileStore& files) {
  return coordinates::SaveParameters(host_, files, coordinates::ParameterKind::Curve, ParameterValues(), kProgramTitle);
}

coordinates::OpenedParameters CurveForm::OpenParameters(coordinates::TextFileStore& files) {
  const coordinates::OpenedParameters opened =
      coordinates::OpenParameters(host_, files, coordinates::ParameterKind::Curve, kProgramTitle);
  if (opened.outcome != survey::Outcome::Status::Done) return opened;
  const std::vector<std::string>& v = opened.content.values;
  auto value = [&v](std::size_t i) { return i < v.size() ? v[i] : std::string(); };
  CurveFields& f = fields;
  f.Text11 = value(0);
  f.Text12 = value(1);
  f.Text1 = value(2);
  f.Text2 = value(3);
  f.Text3 = value(4);
  f.Text4 = value(5);
  f.Text5 = value(6);
  f.Text6 = value(7);
  f.Text7 = value(8);
  f.Text8 = value(9);
  f.Text10 = value(10);
  f.Text9 = value(12);
  if (opened.content.turnLeft) f.Option1 = *opened.content.turnLeft;
  return opened;
}

survey::Outcome CurveForm::ExportGrid(coordinates::TextFileStore& files) {
  return coordinates::ExportStakeRows(host_, files, grid, std::string(coordinates::kCurveExportName), kProgramTitle);
}

coordinates::ReportValues CurveForm::ReportValues() const {
  return {echo.varc,
          echo.alf,
          echo.zhydzh,
          echo.tt,
          survey::PlainNumberText(echo.r),
          echo.zhydxy,
          echo.jdxy,
          std::to_string(echo.ls),
          echo.bzjl,
          echo.zbname};
}

bool CurveForm::PrintReport(coordinates::ReportPrinter& printer) {
  coordinates::ReportData report;
  report.values = ReportValues();
  // The report reads the table itself, as it stands now.
  if (!table_.ReadRows(report.rows)) {
    TableFailed();
    return false;
  }
  if (report.rows.size() > coordinates::kMaxReportRows) {
    host_.ShowMessage(coordinates::ReportTooLongMessage(report.rows.size(), kProgramTitle));
    return false;
  }
  std::string error;
  if (!printer.ShowReport(report, &error)) {
    host_.ShowMessage(Prompt("无法打印报表：" + error, kProgramTitle, MessageIcon::Critical, true));
    return false;
  }
  return true;
}

}  // namespace tallyfen
