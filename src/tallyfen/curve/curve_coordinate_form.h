// The state and handlers of the curve coordinate window qxForm1, without any widget: the
// window binds its controls to this, batch mode fills the fields from the command line, and
// tests drive it directly. Everything the handlers show or ask goes through survey::Host; the
// stake table, the files and the report printer are the ones the form is built with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/coordinate.h"
#include "common/host.h"
#include "common/services.h"
#include "coordinates/file_commands.h"
#include "coordinates/stake_record.h"
#include "tallyfen/curve/curve_input.h"

namespace tallyfen {

// Title of the messages that name no title of their own: the program's.
inline constexpr char kProgramTitle[] = "Tallyfen";

survey::Message ComputedMessage();            // "计算成功！" ...
survey::Message ExtraStakeComputedMessage();  // "加桩计算成功！" ...
survey::Message NoExtraStationMessage();      // "你输入加桩桩号了吗？" ...
survey::Message ZeroAngleOrRadiusMessage();   // "对不起，偏角角度及曲线半径不能为零！"

// The table row of a stake: the station text, the rounded coordinates as plain numbers, and
// no value at all in the side fields of a stake without side stakes.
coordinates::StakeRecord ToStakeRecord(const StakePoint& p);

class CurveCoordinateForm {
 public:
  CurveCoordinateForm(survey::Host& host, coordinates::StakeTable& table, survey::TextFileStore& files,
                      coordinates::ReportPrinter& printer)
      : host_(host), table_(table), files_(files), printer_(printer) {}

  // The texts the handlers read; the fields are independent of each other.
  CurveFields& fields() { return fields_; }
  const CurveFields& fields() const { return fields_; }

  // Told the rows written during a long computation (the window shows a progress dialog);
  // answering false cancels the computation, keeping the previous table and grid.
  void SetProgress(coordinates::Progress progress) { progress_ = std::move(progress); }

  // "计  算": checks the fields, replaces the stake table by the stakes of the curve, keeps the
  // echo values and the HY point, confirms and reloads the grid.
  survey::Outcome ComputeCurve();
  // "加  桩": one stake at the extra station appended to the table.
  survey::Outcome AddExtraStake();
  // "清  空": the curve data fields; the offset, names, turn and table stay.
  void ClearInputs();
  // The window closing: the table and the grid emptied. False when the table could not be
  // changed (the grid is emptied all the same).
  bool EmptyStakeTable();

  // The file buttons: "保  存", "打  开", "导  出", "打  印". An open changes every field of
  // the file or none. The outcomes tell batch mode about the silent failures.
  survey::Outcome SaveParameters();
  coordinates::OpenedParameters OpenParameters();
  survey::Outcome ExportGrid();
  // The grid as a CASS point list (".dat"), beside the ".ly" export.
  survey::Outcome ExportGridAsCass();
  // False when the report could not be made (a message has been shown).
  survey::Outcome PrintReport();

  // The parameter-file lines of the fields ("[qxzb]" order) and the report values.
  std::vector<std::string> ParameterValues() const;
  coordinates::ReportValues ReportValues() const;

  // Echo values of the last main computation (empty texts and zeros before the first one).
  const CurveEcho& echo() const { return echo_; }
  // hydzb1 (HY 点坐标): the rounded centre of HY of the last main computation with
  // transitions, from which the stakes of the arc are set out; (0, 0) before one.
  survey::PlanePoint hydzb1() const { return hydzb1_; }
  // What the grid shows: the table as of the last reload, and how many reloads there have
  // been, so a window knows when to refresh its view.
  const std::vector<coordinates::StakeRecord>& grid() const { return grid_; }
  std::uint64_t gridVersion() const { return gridVersion_; }

 private:
  // The checks both computing buttons share; the reading of the fields or nothing (a message
  // has been shown).
  std::optional<CurveCoordInput> CheckedInput();
  bool FieldsFilled() const;
  void ReloadGrid();
  void TableFailed();

  survey::Host& host_;
  coordinates::StakeTable& table_;
  survey::TextFileStore& files_;
  coordinates::ReportPrinter& printer_;
  CurveFields fields_;
  coordinates::Progress progress_;
  CurveEcho echo_;
  survey::PlanePoint hydzb1_;
  std::vector<coordinates::StakeRecord> grid_;
  std::uint64_t gridVersion_ = 0;
};

}  // namespace tallyfen
