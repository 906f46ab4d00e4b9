// The window's printed pages: the stake and curve tables of the last run, the plan sheet and
// the 路基设计表 and the 偏差报表, each to the print dialog (the suite's, platform::PrintWithDialog), its preview
// or a PDF file. Refusals (nothing computed, stale results, too many rows) are shown and print
// nothing.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "alignment/window/report.h"

class QPagedPaintDevice;
class QPrinter;

namespace survey::alignment::window {

class WindowSeam;

enum class Printout { Stakes, Curves, Plan, Sections, Check };
// In the order of the 文件 menu.
inline constexpr Printout kPrintouts[] = {Printout::Stakes, Printout::Curves, Printout::Plan, Printout::Sections,
                                          Printout::Check};

class WindowPrinting {
 public:
  explicit WindowPrinting(WindowSeam& window) : window_(window) {}

  // "逐桩坐标表" …: the menu's title of a printout, and its PDF file's name.
  static std::string Title(Printout printout);
  void Print(Printout printout, bool preview);
  bool ExportPdf(Printout printout, const QString& path);
  // The file dialog, then ExportPdf: the tables offer their PDF in the project's folder, the
  // drawings by name alone.
  void AskExportPdf(Printout printout);

  // The stake or curve table of the results on screen.
  ReportTable Report(ReportKind kind);
  bool ExportReportPdf(ReportKind kind, const QString& path);
  // The plan on a sheet with its title block.
  bool ExportPlanPdf(const QString& path);
  // The 路基设计表 of the stake list (report --table sections): nullopt after a refusal shown.
  std::optional<ReportTable> SectionsReport();
  bool ExportSectionsPdf(const QString& path);

  // A table through the print dialog or its preview (a failed print is shown).
  void PrintTable(const ReportTable& table, bool preview);

 private:
  // Checks the results of `kind` before its table is made: current, and no more rows than a
  // printed report takes.
  bool ReportReady(ReportKind kind);
  bool WritePdf(const ReportTable& table, const QString& path);
  void PrintPages(bool preview, bool landscape, const std::function<bool(QPagedPaintDevice* device)>& paint);
  WindowSeam& window_;
};

}  // namespace survey::alignment::window
