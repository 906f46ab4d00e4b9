// The state and handlers of the straight-line window, without any widget: the window binds its
// fields and buttons to these; batch mode and tests drive them directly.
#pragma once

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

// The window's input texts as typed; a handler reads them by the leading-number rule.
struct StraightLineFields {
  std::string startX = "46276.097";    // X of the line's start point
  std::string startY = "-4532.808";    // Y of the start point
  std::string forwardX = "44992.796";  // X of a point ahead on the line: it gives the direction
  std::string forwardY = "-1906.348";  // Y of that point
  std::string interval = "10";         // metres between the regular stakes, above 0
  std::string offset = "0";            // side stakes this far from the centre line (m); none unless above 0
  std::string startStation = "1810.791";  // station of the start point
  std::string endStation = "4734";        // station of the last stake
  std::string extraStation;               // station of the next extra stake (加桩)
  std::string skew = "0";                 // skew of the side line, degrees, clockwise positive
};

// The fields in the order of the ".xq" parameter file's value lines.
inline constexpr std::string StraightLineFields::*kParameterOrder[] = {
    &StraightLineFields::startX,       &StraightLineFields::startY,     &StraightLineFields::forwardX,
    &StraightLineFields::forwardY,     &StraightLineFields::interval,   &StraightLineFields::offset,
    &StraightLineFields::startStation, &StraightLineFields::endStation, &StraightLineFields::extraStation,
    &StraightLineFields::skew};

survey::Message SkewMessage();
survey::Message IntervalMessage();
survey::Message TooManyRowsMessage();
survey::Message ComputedMessage();
survey::Message TableFailedMessage(const std::string& reason);

class StraightLineForm {
 public:
  StraightLineForm(survey::Host& host, coordinates::StakeTable& table, coordinates::TextFileStore& files,
                   coordinates::ReportPrinter& printer);

  StraightLineFields& fields() { return fields_; }
  const StraightLineFields& fields() const { return fields_; }

  // What the grid shows: the table as of the last reload.
  const std::vector<coordinates::StakeRecord>& GridRows() const { return grid_; }
  // Changes whenever the grid has been reloaded, so a window knows when to redraw it.
  unsigned GridVersion() const { return gridVersion_; }
  // Why the last open failed silently (for batch mode).
  const std::string& LastOpenError() const { return lastOpenError_; }

  // Reloads the grid from the table (the colours follow from the row numbers); the window
  // starts with the table as stored.
  void ReloadGrid();
  // The window closes with an empty table; the close is never refused.
  void ClearStakeTable();

  // "计  算": the stakes from the start station to the end station replace the table.
  // `progress` hears of the rows written during a long computation (a window shows a progress
  // dialog); its false cancels the computation, keeping the previous table.
  survey::Outcome ComputeStraightLine(const coordinates::Progress& progress = {});
  // "加  桩": one stake at the extra station, appended to the table.
  survey::Outcome AddExtraStake();
  // "打  开", "保  存": the ten fields from and to a ".xq" parameter file.
  survey::Outcome OpenParameters();
  survey::Outcome SaveParameters();
  // "导  出": the grid as a ".ly" file.
  survey::Outcome ExportGrid();
  // The grid as a CASS point list (".dat"), beside the ".ly" export.
  survey::Outcome ExportGridAsCass();
  // "打  印": the table as a report.
  survey::Outcome PrintReport();

 private:
  StraightLineInput ReadInput() const;
  bool AnyEmpty(std::initializer_list<const std::string*> texts) const;

  survey::Host& host_;
  coordinates::StakeTable& table_;
  coordinates::TextFileStore& files_;
  coordinates::ReportPrinter& printer_;
  StraightLineFields fields_;
  std::vector<coordinates::StakeRecord> grid_;
  unsigned gridVersion_ = 0;
  std::string lastOpenError_;
};

}  // namespace marlowby
