// The window's transfers: tables and LandXML in, LandXML, result tables, field point files and
// the plan's DXF out, results to the clipboard. Each comes as a call on a path (tests, and the
// dialogs' answer) and as the menu's command that asks for the path first.
#pragma once

#include <QString>
#include <string>

#include "alignment/window/form.h"

namespace survey::alignment::window {

class WindowSeam;

class WindowTransfers {
 public:
  explicit WindowTransfers(WindowSeam& window) : window_(window) {}

  // A table's import is undone as one step; a refused file changes nothing.
  bool ImportTable(TableId id, const QString& path);
  // A cross-section table (the `section` command's file) into its grid; a file its reader
  // refuses is refused with the line it names.
  bool ImportSectionTable(SectionTableId id, const QString& path);
  // A LandXML route starts a new untitled project (after the save question).
  bool ImportLandXml(const QString& path);
  bool ExportLandXml(const QString& path);
  bool ExportResultCsv(RunKind kind, const QString& path, bool gbk);
  // The computed stake list as field points (CASS .dat or GSI-16), and the plan as a DXF drawing.
  enum class PointFile { Cass, Gsi16 };
  bool ExportStakePoints(PointFile kind, const QString& path);
  bool ExportPlanDxf(const QString& path);
  // The selected rows (all when none is) as tab-separated text with the titles.
  void CopyResult(RunKind kind);

  // The menu commands: the file dialog, then the transfer.
  void AskImportTable(TableId id);
  void AskImportSectionTable(SectionTableId id);
  void AskImportLandXml();
  void AskExportLandXml();
  void AskExportResultCsv(RunKind kind, bool gbk);
  void AskExportStakePoints(PointFile kind);
  void AskExportPlanDxf();
  // "CASS 点文件 (.dat)", "GSI-16 点文件 (.gsi)": the menu's title of a point file.
  static std::string PointFileTitle(PointFile kind);

 private:
  // The form with its fields read when a route can be built from it; nullptr after the refusal
  // is shown.
  const AlignmentForm* RouteInput();
  // Asks for a file to write; "" when cancelled.
  QString AskSavePath(const std::string& title, const std::string& initialName, const std::string& filter,
                      const std::string& suffix);
  WindowSeam& window_;
};

}  // namespace survey::alignment::window
