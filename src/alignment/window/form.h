// The alignment window's state and handlers, without widgets: the source tables as the
// surveyor typed them (texts), the options of the result tabs, cell checks, and the runs of the
// route's queries on these tables. A run answers with the same typed rows, laid out in the same
// columns, as the command line, so the window shows exactly the rows the command line prints.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alignment/check/check_rows.h"
#include "alignment/profile.h"
#include "alignment/result_table.h"
#include "alignment/route.h"
#include "alignment/route_design.h"
#include "alignment/window/section_form.h"

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
enum class RunKind { Curves, Stakes, LocatePoint, LocateTable, Stakeout, Profile, Check };

struct RunResult {
  bool ok = false;
  bool cancelled = false;
  std::shared_ptr<const ResultTable> table;  // the rows, when ok (none for an empty profile)
  std::string error;                         // the refusal, when not ok and not cancelled
  std::shared_ptr<const check::CheckTable> check;  // the rows of a Check run, when ok
  // The rows as the command line prints them (header line, then rows, LF); "" without rows.
  std::string Csv() const { return table ? table->Csv() : std::string(); }
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
  // Locate one point; Z (optional) as the rover measured it, for dz and the slope stake.
  std::string locateXText, locateYText, locateZText;
  // Stake-out stations.
  std::string setupXText, setupYText, backsightXText, backsightYText;
  // The cross-section tables and how they apply.
  SectionInputs section;
  // The deviation report (偏差检查): 平面限差 and 高程限差 (± or "+0.010/-0.015").
  std::string toleranceXyText = "0.05", toleranceZText = "0.01";

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
  // The table as the core's table readers read it (English header, comma separated, UTF-8).
  std::string TableCsv(TableId id) const;
  // Runs the query of `kind` on the form's route. `expectedRows` scales progress. `cancel`
  // stops the run between rows; a cancelled run returns cancelled = true.
  RunResult Run(RunKind kind, const std::atomic<bool>* cancel = nullptr, const ProgressFn& progress = {},
                std::size_t expectedRows = 0) const;

  // The decimals and angle unit of the fields, and the stake list they ask for (range, offsets
  // with their labels as typed, skew); throw AlignmentError naming a field that cannot be read.
  CellFormat OutputFormat() const;
  StakeQuery StakeQueryFromFields(const CellFormat& format, std::vector<std::string>* offsetLabels = nullptr) const;

  // The route of the tables and start fields, with the profile table's profile when
  // `withProfile` and that table has rows. Built when first asked for and again only once the
  // inputs it is built from have changed; copies of the form share what was built. nullptr and
  // the reason when the inputs do not make one.
  std::shared_ptr<const RouteDesign> Design(bool withProfile, std::string* error) const;
  // Rows a stake run will give, for progress: route length / interval + main points.
  std::size_t ExpectedStakeRows(const Route& route) const;

 private:
  std::vector<Grid> tables_;
  struct DesignCache {
    std::string key, profileKey;
    std::shared_ptr<const RouteDesign> route, withProfile;
  };
  mutable DesignCache cache_;
};

// Whether every cell of a grid row is blank (such rows are not read).
bool RowBlank(const std::vector<std::string>& row);
// A cell as its readers take it: the blanks around it (line breaks of a paste too) dropped.
std::string TrimmedCell(std::string_view text);

// The column keys of the rows shown in Chinese with units (unknown keys as they are).
std::string ResultColumnTitle(const std::string& key);

// An angle written in degrees, minutes and seconds ("49°23′55.34″", "-0°05'07\""), as the packed
// D.MMSS text the readers take ("49.232534"); nullopt when the text has no ° or is no such angle
// (minutes and seconds below 60, the minutes whole).
std::optional<std::string> PackedFromDms(const std::string& text);

// Fills the element table from a LandXML file's alignment (with start fields, equations and
// profile) and returns the notes of the import; throws AlignmentError when the file is refused.
std::vector<std::string> ImportLandXmlIntoForm(AlignmentForm& form, const std::string& bytes);
// The route of the form as LandXML text (profile included when the profile table has rows).
std::string ExportLandXmlText(const AlignmentForm& form);

// Reads a CSV/TSV table file (UTF-8 or GBK) into grid rows in the table's column order;
// throws AlignmentError naming the line.
Grid ReadGridFromCsv(TableId id, const std::string& bytes);

}  // namespace survey::alignment::window
