#include "marlowby/form.h"

#include "common/number_reading.h"

namespace marlowby {


std::array<std::string, 10> DefaultFieldTexts() {
  return {"46276.097", "-4532.808", "44992.796", "-1906.348", "10", "0", "1810.791", "4734", "", "0"};
}

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

Form::Form(survey::Host& host, coordinates::StakeTable& table, coordinates::TextFileStore& files,
           coordinates::ReportPrinter& printer)
    : host_(host), table_(table), files_(files), printer_(printer), text_(DefaultFieldTexts()) {}

bool Form::AnyEmpty(std::initializer_list<int> fields) const {
  for (int n : fields) {
    if (survey::IsEmptyField(Text(n))) return true;
  }
  return false;
}

StraightLineInput Form::ReadInput() const {
  const auto read = [this](int n) { return survey::ReadLeadingNumber(Text(n)); };
  StraightLineInput in;
  in.startX = read(1);
  in.startY = read(2);
  in.forwardX = read(3);
  in.forwardY = read(4);
  in.interval = read(5);
  in.sideDistance = read(6);
  in.startStation = read(7);
  in.endStation = read(8);
  in.extraStation = read(9);
  in.skew = read(10);
  return in;
}

void Form::Form_Load() { ShowStakeTable(); }

void Form::Form_Unload() { table_.Clear(); }

void Form::ShowStakeTable() {
  std::vector<coordinates::StakeRecord> rows;
  if (!table_.ReadRows(rows)) {
    host_.ShowMessage(TableFailedMessage(table_.LastError()));
  }
  grid_ = std::move(rows);
  ++gridVersion_;
}

void Form::KestrelCommand1_Click() {
  if (AnyEmpty({1, 2, 3, 4}) || AnyEmpty({5, 7, 8})) {
    host_.ShowMessage(survey::DataErrorMessage());
    return;
  }
  const StraightLineInput in = ReadInput();
  const StraightLineResult result = ComputeStraightLine(in);
  switch (result.refusal) {
    case Refusal::Interval: host_.ShowMessage(IntervalMessage()); return;
    case Refusal::TooManyRows: host_.ShowMessage(TooManyRowsMessage()); return;
    case Refusal::NotFinite: host_.ShowMessage(survey::DataErrorMessage()); return;
    case Refusal::Skew:
      // The table has been emptied by the time the skew is checked; the grid is not reloaded.
      table_.Clear();
      host_.ShowMessage(SkewMessage());
      return;
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
    if (!cancelled) host_.ShowMessage(TableFailedMessage(table_.LastError()));
    return;
  }
  host_.ShowMessage(ComputedMessage());
  ShowStakeTable();
}

void Form::KestrelCommand4_Click() {
  if (AnyEmpty({1, 2, 3, 4}) || AnyEmpty({5, 7, 8, 9})) {
    host_.ShowMessage(survey::DataErrorMessage());
    return;
  }
  Refusal why = Refusal::None;
  const std::optional<coordinates::StakeRecord> row = AddExtraStake(ReadInput(), &why);
  if (!row) {
    host_.ShowMessage(why == Refusal::NotFinite ? survey::DataErrorMessage() : SkewMessage());
    return;
  }
  if (!table_.Append(*row)) {
    host_.ShowMessage(TableFailedMessage(table_.LastError()));
    return;
  }
  host_.ShowMessage(ComputedMessage());
  ShowStakeTable();
}

survey::Outcome Form::KestrelCommand5_Click() {
  lastOpenError_.clear();
  const coordinates::OpenedParameters opened =
      coordinates::OpenParameters(host_, files_, coordinates::ParameterKind::StraightLine, kProgramTitle);
  if (opened.outcome == survey::Outcome::Status::Done) {
    for (int n = 1; n <= 10; ++n) Text(n) = opened.content.values.at(static_cast<std::size_t>(n - 1));
  } else if (opened.outcome == survey::Outcome::Status::Failed) {
    lastOpenError_ = opened.path + ": " + opened.outcome.error;
  }
  return opened.outcome;
}

survey::Outcome Form::KestrelCommand6_Click() {
  const std::vector<std::string> values(text_.begin(), text_.end());
  return coordinates::SaveParameters(host_, files_, coordinates::ParameterKind::StraightLine, values, kProgramTitle);
}

survey::Outcome Form::KestrelCommand3_Click() {
  return coordinates::ExportStakeRows(host_, files_, grid_, std::string(coordinates::kStraightExportName),
                                      kProgramTitle);
}

void Form::KestrelCommand2_Click() {
  // The report reads the table itself, whatever the grid shows; all ten values are empty here.
  coordinates::ReportData report;
  if (!table_.ReadRows(report.rows)) {
    host_.ShowMessage(TableFailedMessage(table_.LastError()));
    return;
  }
  if (report.rows.size() > coordinates::kMaxReportRows) {
    host_.ShowMessage(coordinates::ReportTooLongMessage(report.rows.size(), std::string(kProgramTitle)));
    return;
  }
  std::string error;
  if (!printer_.ShowReport(report, &error)) {
    survey::Message m;
    m.text = "无法打印报表。\r\n" + error;
    m.title = kProgramTitle;
    m.icon = survey::MessageIcon::Critical;
    m.refusal = true;
    host_.ShowMessage(m);
  }
}

}  // namespace marlowby
