// The alignment window's state and handlers, without widgets: the source tables as the
// surveyor typed them (texts), the options of the result tabs, cell checks, and the runs of
// the batch program's commands on these tables. The window, the report batch and the tests all
// go through here, so the window shows exactly the rows the batch program prints.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "alignment/profile.h"
#include "alignment/route.h"

namespace survey::alignment::window {

enum class TableId { Jd, Elements, Equations, Profile, Points };
inline constexpr TableId kAllTables[] = {TableId::Jd, TableId::Elements, TableId::Equations, TableId::Profile,
                                         TableId::Points};

struct ColumnDef {
  std::string key;    // the batch program's column name
  std::string title;  // shown in the grid's header (with its unit)
};

// One source table: rows of cell texts, every row as wide as the table's columns.
using Grid = std::vector<std::vector<std::string>>;

struct CellProblem {
  TableId table = TableId::Jd;
  int row = 0, column = 0;
  std::string message;
};

enum class InputKind { Jd, Elements };

// What a run computes: the batch program's command of the same name.
enum class RunKind { Curves, Stakes, LocatePoint, LocateTable, Stakeout, Profile };

struct RunResult {
  bool ok = false;
  bool cancelled = false;
  std::string csv;    // the batch program's output: header line, then rows (LF)
  std::string error;  // the refusal, when not ok and not cancelled
};

// Reports progress in [0, 1]; called on the thread that runs.
using ProgressFn = std::function<void(double)>;

class AlignmentForm {
 public:
  AlignmentForm();

  // --- State ---
  InputKind inputKind = InputKind::Jd;
  std::string projectName;
  std::string startStationText;                          // 起点桩号
  std::string startXText, startYText, startAzimuthText;  // element method start
  std::string decimalsText = "3";
  bool degrees = false;  // angles in decimal degrees instead of D.MMSS
  // Stakes and stake-out.
  std::string intervalText = "20", fromText, toText, offsetsText, skewText;
  // Locate one point.
  std::string locateXText, locateYText;
  // Stake-out stations.
  std::string setupXText, setupYText, backsightXText, backsightYText;

  Grid& Table(TableId id) { return tables_[static_cast<int>(id)]; }
  const Grid& Table(TableId id) const { return tables_[static_cast<int>(id)]; }
  static const std::vector<ColumnDef>& Columns(TableId id);
  static std::string TableTitle(TableId id);  // "JD 表"

  // --- Checks before any run ---
  // Why the cell cannot be read, or "" when it is fine (a blank optional cell is fine).
  std::string CellProblemText(TableId id, int row, int column) const;
  // The problems of the tables and fields the current input kind uses.
  std::vector<CellProblem> Problems() const;
  // The first problem as a message for the user ("JD 表第 3 行 R：…"), or "".
  std::string FirstProblemMessage(RunKind kind) const;

  // --- Runs ---
  // The table as the batch program reads it (English header, comma separated, UTF-8).
  std::string TableCsv(TableId id) const;
  // The batch arguments of a run; file options name the form's tables.
  std::vector<std::string> Arguments(RunKind kind) const;
  // Runs the batch program's command on the form's tables. `expectedRows` scales progress.
  // `cancel` stops the run between blocks of rows; a cancelled run returns cancelled = true.
  RunResult Run(RunKind kind, const std::atomic<bool>* cancel = nullptr, const ProgressFn& progress = {},
                std::size_t expectedRows = 0) const;

  // The route and profile for the views (the same readers the batch program uses); nullopt and
  // the reason when the tables do not make one.
  std::optional<Route> BuildRoute(std::string* error) const;
  std::optional<Profile> BuildProfile(const Route& route, std::string* error) const;
  // Rows a stake run will give, for progress: route length / interval + main points.
  std::size_t ExpectedStakeRows(const Route& route) const;

  // Files given to the batch program by name, e.g. for a whole LandXML export.
  std::string VirtualFileName(TableId id) const;

 private:
  std::vector<Grid> tables_;
};

// The batch program's column names shown in Chinese with units (unknown names as they are).
std::string ResultColumnTitle(const std::string& key);

// Splits one CSV line (as the batch program writes it) into cells.
std::vector<std::string> SplitCsvLine(std::string_view line);

// Fills the element table from a LandXML file's alignment (with start fields, equations and
// profile); throws AlignmentError when the file is refused.
void ImportLandXmlIntoForm(AlignmentForm& form, const std::string& bytes);
// The route of the form as LandXML text (profile included when the profile table has rows).
std::string ExportLandXmlText(const AlignmentForm& form);

// Reads a CSV/TSV table file (UTF-8 or GBK) into grid rows in the table's column order;
// throws AlignmentError naming the line.
Grid ReadGridFromCsv(TableId id, const std::string& bytes);

}  // namespace survey::alignment::window
