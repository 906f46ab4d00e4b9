// The state and handlers of the Marlowby window Form1, without any widget: the window binds
// its fields and buttons to these; batch mode and tests drive them directly.
#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/host.h"
#include "coordinates/file_commands.h"
#include "coordinates/stake_record.h"
#include "marlowby/straight_line.h"

namespace marlowby {

// The title of the file commands' messages.
inline constexpr char kProgramTitle[] = "Marlowby";

// The window's field texts at start.
std::array<std::string, 10> DefaultFieldTexts();

survey::Message SkewMessage();
survey::Message IntervalMessage();
survey::Message TooManyRowsMessage();
survey::Message ComputedMessage();
survey::Message TableFailedMessage(const std::string& reason);

class Form {
 public:
  Form(survey::Host& host, coordinates::StakeTable& table, coordinates::TextFileStore& files,
       coordinates::ReportPrinter& printer);

  // Text1 .. Text10 by their number.
  std::string& Text(int n) { return text_.at(static_cast<std::size_t>(n - 1)); }
  const std::string& Text(int n) const { return text_.at(static_cast<std::size_t>(n - 1)); }

  // What the grid shows: the table as of the last reload.
  const std::vector<coordinates::StakeRecord>& GridRows() const { return grid_; }
  // Changes whenever the grid has been reloaded, so a window knows when to redraw it.
  unsigned GridVersion() const { return gridVersion_; }

  // Reports the rows written during a long computation (a window shows a progress dialog);
  // false cancels the computation, keeping the previous table.
  coordinates::Progress progress;

  // Load: the grid shows the table as stored.
  void Form_Load();
  // Close: the table is emptied; the close is never refused.
  void Form_Unload();

  void KestrelCommand1_Click();  // "计  算": ComputeStraightLine
  void KestrelCommand4_Click();  // "加  桩": AddExtraStake
  survey::Outcome KestrelCommand5_Click();  // "打  开"
  survey::Outcome KestrelCommand3_Click();  // "导  出"
  void KestrelCommand2_Click();                             // "打  印"
  survey::Outcome KestrelCommand6_Click();  // "保  存"
  // Why the last open failed silently (for batch mode).
  const std::string& LastOpenError() const { return lastOpenError_; }

  // Reloads the grid from the table (the colours follow from the row numbers).
  void ShowStakeTable();

 private:
  StraightLineInput ReadInput() const;
  bool AnyEmpty(std::initializer_list<int> fields) const;

  survey::Host& host_;
  coordinates::StakeTable& table_;
  coordinates::TextFileStore& files_;
  coordinates::ReportPrinter& printer_;
  std::array<std::string, 10> text_;
  std::vector<coordinates::StakeRecord> grid_;
  unsigned gridVersion_ = 0;
  std::string lastOpenError_;
};

}  // namespace marlowby
