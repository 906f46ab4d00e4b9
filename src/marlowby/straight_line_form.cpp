#include "marlowby/straight_line_form.h"

#include "common/number_reading.h"
#include "exchange/stake_table_points.h"

namespace marlowby {

namespace {

survey::Message InputError(std::string text) {
  survey::Message m;
  m.text = std::move(text);
  m.title = "输入数据出错";
  m.icon = survey::MessageIcon::Question;
  m.refusal = true;
  return m;
}

}  // namespace

survey::Message SkewMessage() { return InputError("你输入的斜交角度有问题！\r\n请重新输入。"); }
survey::Message IntervalMessage() { return InputError("你输入的点间距离有问题！\r\n点间距离必须大于零，请重新输入。"); }
survey::Message TooManyRowsMessage() {
  return InputError("计算的桩数超过" + std::to_string(kMaxStakeRows) + "个！\r\n请重新输入点间距离或计算结束桩号。");
}

survey::Message ComputedMessage() {
  survey::Message m;
  m.text = "计算成功！\r\n你可以再进行加桩计算，也可以打印。";
  m.title = "提示";
  m.icon = survey::MessageIcon::Question;
  return m;
}

survey::Message TableFailedMessage(const std::string& reason) {
  survey::Message m;
  m.text = "坐标数据库出错。\r\n" + reason;
  m.title = kProgramTitle;
  m.icon = survey::MessageIcon::Critical;
  m.refusal = true;
  return m;
}

StraightLineForm::StraightLineForm(survey::Host& host, coordinates::StakeTable& table,
                                   coordinates::TextFileStore& files, coordinates::ReportPrinter& printer)
    : host_(host), table_(table), files_(files), printer_(printer) {}

bool StraightLineForm::AnyEmpty(std::initializer_list<const std::string*> texts) const {
  for (const std::string* text : texts) {
    if (survey::IsEmptyField(*text)) return true;
  }
  return false;
}

StraightLineInput StraightLineForm::ReadInput() const {
  const auto read = [](const std::string& text) { return survey::ReadLeadingNumber(text); };
  StraightLineInput in;
  in.startX = read(fields_.startX);
  in.startY = read(fields_.startY);
  in.forwardX = read(fields_.forwardX);
  in.forwardY = read(fields_.forwardY);
  in.interval = read(fields_.interval);
  in.sideDistance = read(fields_.offset);
  in.startStation = read(fields_.startStation);
  in.endStation = read(fields_.endStation);
  in.extraStation = read(fields_.extraStation);
  in.skew = read(fields_.skew);
  return in;
}

void StraightLineForm::ClearStakeTable() { table_.Clear(); }

void StraightLineForm::ReloadGrid() {
  std::vector<coordinates::StakeRecord> rows;
  if (!table_.ReadRows(rows)) {
    host_.ShowMessage(TableFailedMessage(table_.LastError()));
  }
  grid_ = std::move(rows);
  ++gridVersion_;
}

survey::Outcome StraightLineForm::ComputeStraightLine(const coordinates::Progress& progress) {
  const StraightLineFields& f = fields_;
  // The offset, the extra station and the skew may be left empty; they read as 0.
  if (AnyEmpty({&f.startX, &f.startY, &f.forwardX, &f.forwardY, &f.interval, &f.startStation, &f.endStation})) {
    return survey::Refuse(host_, survey::DataErrorMessage());
  }
  const StraightLineResult result = marlowby::ComputeStraightLine(ReadInput());
  switch (result.refusal) {
    case Refusal::Interval: return survey::Refuse(host_, IntervalMessage());
    case Refusal::TooManyRows: return survey::Refuse(host_, TooManyRowsMessage());
    case Refusal::NotFinite: return survey::Refuse(host_, survey::DataErrorMessage());
    case Refusal::Skew:
      // The table has been emptied by the time the skew is checked; the grid is not reloaded.
      table_.Clear();
      return survey::Refuse(host_, SkewMessage());
    case Refusal::None: break;
  }
  // Emptying the table and writing the new rows is one change; a cancel keeps the old table
  // and the grid that shows it, without a message.
  bool cancelled = false;
  coordinates::Progress watched;
  if (progress) {
    watched = [&](std::size_t done, std::size_t total) {
      cancelled = !progress(done, total);
      return !cancelled;
    };
  }
  if (!table_.Replace(result.rows, watched)) {
    if (!cancelled) return survey::Refuse(host_, TableFailedMessage(table_.LastError()));
    return survey::Outcome::Cancelled();
  }
  host_.ShowMessage(ComputedMessage());
  ReloadGrid();
  return survey::Outcome::Done();
}

survey::Outcome StraightLineForm::AddExtraStake() {
  const StraightLineFields& f = fields_;
  // The interval and the end station are required here too, though the stake does not use them.
  if (AnyEmpty({&f.startX, &f.startY, &f.forwardX, &f.forwardY, &f.interval, &f.startStation, &f.endStation,
                &f.extraStation})) {
    return survey::Refuse(host_, survey::DataErrorMessage());
  }
  Refusal why = Refusal::None;
  const std::optional<coordinates::StakeRecord> row = marlowby::AddExtraStake(ReadInput(), &why);
  if (!row) {
    return survey::Refuse(host_, why == Refusal::NotFinite ? survey::DataErrorMessage() : SkewMessage());
  }
  if (!table_.Append(*row)) {
    return survey::Refuse(host_, TableFailedMessage(table_.LastError()));
  }
  host_.ShowMessage(ComputedMessage());
  ReloadGrid();
  return survey::Outcome::Done();
}

survey::Outcome StraightLineForm::OpenParameters() {
  lastOpenError_.clear();
  const coordinates::OpenedParameters opened =
      coordinates::OpenParameters(host_, files_, coordinates::ParameterKind::StraightLine, kProgramTitle);
  if (opened.outcome == survey::Outcome::Status::Done) {
    for (std::size_t i = 0; i < std::size(kParameterOrder); ++i) fields_.*kParameterOrder[i] = opened.content.values.at(i);
  } else if (opened.outcome == survey::Outcome::Status::Failed) {
    lastOpenError_ = opened.path + ": " + opened.outcome.error;
  }
  return opened.outcome;
}

survey::Outcome StraightLineForm::SaveParameters() {
  std::vector<std::string> values;
  for (std::string StraightLineFields::*field : kParameterOrder) values.push_back(fields_.*field);
  return coordinates::SaveParameters(host_, files_, coordinates::ParameterKind::StraightLine, values, kProgramTitle);
}

survey::Outcome StraightLineForm::ExportGrid() {
  return coordinates::ExportStakeRows(host_, files_, grid_, std::string(coordinates::kStraightExportName),
                                      kProgramTitle);
}

survey::Outcome StraightLineForm::ExportGridAsCass() {
  return survey::exchange::ExportStakeRowsAsCass(host_, files_, grid_, fields_.offset, std::string(coordinates::kStraightExportName),
                                                 kProgramTitle);
}

survey::Outcome StraightLineForm::PrintReport() {
  // The report reads the table itself, whatever the grid shows; all ten values are empty here.
  coordinates::ReportData report;
  if (!table_.ReadRows(report.rows)) {
    host_.ShowMessage(TableFailedMessage(table_.LastError()));
    return survey::Outcome::Refused(table_.LastError());
  }
  if (report.rows.size() > coordinates::kMaxReportRows) {
    const survey::Message m = coordinates::ReportTooLongMessage(report.rows.size(), std::string(kProgramTitle));
    host_.ShowMessage(m);
    return survey::Outcome::Refused(m.text);
  }
  std::string error;
  if (!printer_.ShowReport(report, &error)) {
    survey::Message m;
    m.text = "无法打印报表。\r\n" + error;
    m.title = kProgramTitle;
    m.icon = survey::MessageIcon::Critical;
    m.refusal = true;
    host_.ShowMessage(m);
    return survey::Outcome::Refused(error);
  }
  return survey::Outcome::Done();
}

}  // namespace marlowby
