// The state and handlers of the curve coordinate window qxForm1, without any widget: the
// window binds its controls to this, batch mode fills the fields from the command line, and
// tests drive it directly. Everything the handlers show or ask goes through survey::Host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/host.h"
#include "coordinates/file_commands.h"
#include "coordinates/stake_record.h"
#include "tallyfen/curve/curve_input.h"

namespace tallyfen {

// Title of the messages that name no title of their own: the program's.
inline constexpr char kProgramTitle[] = "Tallyfen";

survey::Message ComputedMessage();          // "计算成功！" ...
survey::Message ExtraStakeComputedMessage();  // "加桩计算成功！" ...
survey::Message NoExtraStationMessage();    // "你输入加桩桩号了吗？" ...
survey::Message ZeroAngleOrRadiusMessage();  // "对不起，偏角角度及曲线半径不能为零！"

// The table row of a stake: the station text, the rounded coordinates as plain numbers, and
// no value at all in the side fields of a stake without side stakes.
coordinates::StakeRecord ToStakeRecord(const StakePoint& p);

class CurveForm {
 public:
  CurveForm(survey::Host& host, coordinates::StakeTable& table) : host_(host), table_(table) {}

  // "计  算": checks the fields, replaces the stake table by the stakes of the curve, keeps the
  // echo values and the HY point, confirms and refreshes the grid.
  void RunCurveComputation();
  // "加  桩": one stake at the station of Text9 appended to the table.
  void RunExtraStake();
  // "清  空": the curve data fields; the offset, names, turn and table stay.
  void ClearInputs();
  // Empties the stake table (a new computation, the window closing). False when the table
  // could not be changed.
  bool ClearStakeTable();
  // Reloads the grid from the stake table.
  void ShowStakeTable();

  // The file buttons: "保  存", "打  开", "导  出", "打  印".
  // An open changes every field of the file or none. The outcomes tell batch mode about
  // the silent failures.
  survey::Outcome SaveParameters(coordinates::TextFileStore& files);
  coordinates::OpenedParameters OpenParameters(coordinates::TextFileStore& files);
  survey::Outcome ExportGrid(coordinates::TextFileStore& files);
  // False when the report could not be made (a message has been shown).
  bool PrintReport(coordinates::ReportPrinter& printer);

  // The parameter-file lines of the fields ("[qxzb]" order) and the report values.
  std::vector<std::string> ParameterValues() const;
  coordinates::ReportValues ReportValues() const;

  CurveFields fields;
  // Reports the rows written during a long computation (the window shows a progress dialog);
  // false cancels the computation, keeping the previous table and grid.
  coordinates::Progress progress;
  // Echo values of the last main computation (empty texts and zeros before the first one).
  CurveEcho echo;
  // hydzb1_x, hydzb1_y (HY 点坐标): centre of HY of the last main computation with transitions,
  // from which an extra stake on the arc is set out.
  double hydzb1_x = 0;
  double hydzb1_y = 0;
  // What the grid shows: the table as of the last ShowStakeTable.
  std::vector<coordinates::StakeRecord> grid;
  // Counts grid reloads, so a window knows when to refresh its view.
  std::uint64_t gridVersion = 0;

 private:
  // The checks both computing buttons share; the reading of the fields or nothing (a message
  // has been shown).
  std::optional<CurveCoordInput> CheckedInput();
  void TableFailed();

  survey::Host& host_;
  coordinates::StakeTable& table_;
};

}  // namespace tallyfen
