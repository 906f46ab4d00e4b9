// The window's transfers, through the WindowSeam: tables and LandXML in, LandXML, result tables,
// point files and the plan's DXF out, results to the clipboard. A table's import is undone as one
// step; a LandXML route starts a new project; a refused file changes nothing.
#include "alignment/window/transfers.h"

#include <QApplication>
#include <QClipboard>
#include <algorithm>
#include <functional>

#include "alignment/alignment_error.h"
#include "alignment/cli/command.h"
#include "alignment/cli/plan_output.h"
#include "alignment/cli/point_output.h"
#include "exchange/exchange_error.h"
#include "exchange/exchange_files.h"
#include "exchange/route_plan.h"
#include "exchange/station_names.h"
#include "alignment/window/grid_models.h"
#include "alignment/window/section_tabs.h"
#include "alignment/window/window_seam.h"
#include "platform/qt_host.h"
#include "platform/text_files.h"

namespace survey::alignment::window {

namespace {

// The file exports the engine may refuse: a refusal or a failed write is shown and leaves any
// earlier file as it was; a file written is named in the status bar.
bool ExportFile(const QString& path, const std::function<survey::WriteOutcome()>& write,
                WindowSeam& window) {
  try {
    const survey::WriteOutcome written = write();
    if (!written.ok) {
      window.ShowRefusal(QStringLiteral("无法写入“%1”：%2").arg(path, platform::ToQString(written.reason)));
      return false;
    }
  } catch (const AlignmentError& e) {
    window.ShowRefusal(platform::ToQString(e.what()));
    return false;
  } catch (const exchange::ExchangeError& e) {
    window.ShowRefusal(platform::ToQString(e.what()));
    return false;
  }
  window.ShowStatus(QStringLiteral("已导出“%1”。").arg(path), 8000);
  return true;
}

}  // namespace

bool WindowTransfers::ImportTable(TableId id, const QString& path) {
  try {
    const std::string bytes = cli::ReadFileFromDisk(path.toStdString());
    Grid grid = ReadGridFromCsv(id, bytes);
    window_.Model(id)->ReplaceAll(std::move(grid), QStringLiteral("导入") + platform::ToQString(AlignmentForm::TableTitle(id)));
    if (id == TableId::Jd) window_.ChooseInputKind(InputKind::Jd);
    if (id == TableId::Elements) window_.ChooseInputKind(InputKind::Elements);
    return true;
  } catch (const AlignmentError& e) {
    window_.ShowRefusal(QStringLiteral("无法导入“%1”：%2").arg(path, platform::ToQString(e.what())));
    return false;
  }
}

bool WindowTransfers::ImportSectionTable(SectionTableId id, const QString& path) {
  try {
    Grid grid = SectionGridFromFile(id, cli::ReadFileFromDisk(path.toStdString()));
    SectionPanel* sections = window_.Sections();
    sections->Model(id)->ReplaceAll(std::move(grid), QStringLiteral("导入") + platform::ToQString(SectionInputs::Title(id)));
    sections->ShowTable(id);
    return true;
  } catch (const AlignmentError& e) {
    window_.ShowRefusal(QStringLiteral("无法导入“%1”：%2").arg(path, platform::ToQString(e.what())));
    return false;
  }
}

// A LandXML route is a project of its own: it starts untitled, so that saving it can never
// overwrite the project that was open before (Ctrl+S asks for a name).
bool WindowTransfers::ImportLandXml(const QString& path) {
  if (!window_.AskToSave()) return false;
  AlignmentForm imported;
  std::vector<std::string> notes;
  try {
    notes = ImportLandXmlIntoForm(imported, cli::ReadFileFromDisk(path.toStdString()));
  } catch (const AlignmentError& e) {
    window_.ShowRefusal(QStringLiteral("无法导入“%1”：%2").arg(path, platform::ToQString(e.what())));
    return false;
  }
  window_.StartImportedProject(std::move(imported));
  // The import's notes (the largest end-point difference) where the window tells what it did.
  QString said;
  for (const std::string& note : notes) said += platform::ToQString(note);
  window_.ShowStatus(said, 15000);
  return true;
}

const AlignmentForm* WindowTransfers::RouteInput() {
  window_.PullFields();
  const AlignmentForm& form = window_.Form();
  if (const std::string problem = form.FirstProblemMessage(RunKind::Stakes); !problem.empty()) {
    window_.ShowRefusal(platform::ToQString(problem));
    return nullptr;
  }
  return &form;
}

bool WindowTransfers::ExportLandXml(const QString& path) {
  const AlignmentForm* input = RouteInput();
  if (!input) return false;
  const AlignmentForm& form = *input;
  try {
    const std::string text = ExportLandXmlText(form);
    const survey::Outcome outcome = platform::WriteFileAtomically(path.toStdString(), text);
    if (!outcome.ok()) {
      window_.ShowRefusal(QStringLiteral("无法写入“%1”：%2").arg(path, platform::ToQString(outcome.error)));
      return false;
    }
    return true;
  } catch (const AlignmentError& e) {
    window_.ShowRefusal(platform::ToQString(e.what()));
    return false;
  }
}

bool WindowTransfers::ExportResultCsv(RunKind kind, const QString& path, bool gbk) {
  if (!window_.ResultsCurrent(kind)) return false;
  const std::optional<std::string> text =
      kind == RunKind::Check ? window_.CheckCsv() : window_.Result(kind).CsvWithTitles();
  if (!text) return false;
  const survey::Outcome outcome =
      gbk ? platform::WriteGbkFile(path.toStdString(), *text) : platform::WriteFileAtomically(path.toStdString(), *text);
  if (!outcome.ok()) {
    window_.ShowRefusal(QStringLiteral("无法写入“%1”：%2").arg(path, platform::ToQString(outcome.error)));
    return false;
  }
  return true;
}

bool WindowTransfers::ExportStakePoints(PointFile kind, const QString& path) {
  if (window_.Result(RunKind::Stakes).RowCountLarge() == 0) {
    window_.ShowRefusal(QStringLiteral("还没有逐桩坐标，请先计算。"));
    return false;
  }
  if (!window_.ResultsCurrent(RunKind::Stakes)) return false;
  return ExportFile(
      path,
      [&] {
        // The rows on screen, named and ordered as the command line writes them.
        const std::shared_ptr<const ResultTable> table = window_.Result(RunKind::Stakes).SharedTable();
        const AlignmentForm& form = window_.Form();
        const CellFormat format = form.OutputFormat();
        const StakeQuery query = form.StakeQueryFromFields(format);
        std::vector<exchange::PointRecord> points;
        const cli::PointSink add = [&](const std::string& name, double x, double y, std::optional<double> z) {
          exchange::PointRecord p;
          p.name = kind == PointFile::Gsi16 ? exchange::AsciiStakeName(name) : name;
          p.x = x;
          p.y = y;
          p.z = z;
          points.push_back(std::move(p));
        };
        for (const StakeRow& row : table->stakes) cli::ForEachStakePoint(row, query.offsets, add);
        return exchange::SavePointFile(
            path.toStdString(), std::move(points),
            kind == PointFile::Gsi16 ? exchange::PointFileKind::kGsi16 : exchange::PointFileKind::kCass,
            std::clamp(format.decimals, 0, 6));
      },
      window_);
}

bool WindowTransfers::ExportPlanDxf(const QString& path) {
  const AlignmentForm* input = RouteInput();
  if (!input) return false;
  const AlignmentForm& form = *input;
  std::string error;
  const std::shared_ptr<const RouteDesign> design = form.Design(false, &error);
  if (!design) {
    window_.ShowRefusal(platform::ToQString(error));
    return false;
  }
  return ExportFile(
      path,
      [&] {
        // The drawing of what the stake tab asks for, as `alignment plan` draws it.
        const StakeQuery query = form.StakeQueryFromFields(form.OutputFormat());
        return exchange::SavePlanDxf(path.toStdString(), exchange::RoutePlan(design->route, cli::PlanOptionsFor(query)));
      },
      window_);
}

void WindowTransfers::CopyResult(RunKind kind) {
  QApplication::clipboard()->setText(window_.Result(kind).TsvText(window_.SelectedResultRows(kind)));
}

QString WindowTransfers::AskSavePath(const std::string& title, const std::string& initialName,
                                     const std::string& filter, const std::string& suffix) {
  FileRequest request;
  request.title = title;
  request.initialName = initialName;
  request.filters = {{filter, "*." + suffix}};
  request.defaultSuffix = suffix;
  const std::optional<std::string> path = window_.Host().AskSaveFile(request);
  return path ? platform::ToQString(*path) : QString();
}

void WindowTransfers::AskImportTable(TableId id) {
  FileRequest request;
  request.title = "导入" + AlignmentForm::TableTitle(id);
  request.initialName = window_.InProjectFolder("");
  request.filters = {{"表格 (*.csv *.txt)", "*.csv *.txt"}, {"所有文件 (*)", "*"}};
  if (const auto path = window_.Host().AskOpenFile(request)) ImportTable(id, platform::ToQString(*path));
}

void WindowTransfers::AskImportSectionTable(SectionTableId id) {
  FileRequest request;
  request.title = "导入" + SectionInputs::Title(id);
  request.initialName = window_.InProjectFolder("");
  request.filters = {{"表格 (*.csv *.txt)", "*.csv *.txt"}, {"所有文件 (*)", "*"}};
  if (const auto path = window_.Host().AskOpenFile(request)) ImportSectionTable(id, platform::ToQString(*path));
}

void WindowTransfers::AskImportLandXml() {
  FileRequest request;
  request.title = "导入 LandXML";
  request.initialName = window_.InProjectFolder("");
  request.filters = {{"LandXML (*.xml)", "*.xml"}, {"所有文件 (*)", "*"}};
  if (const auto path = window_.Host().AskOpenFile(request)) ImportLandXml(platform::ToQString(*path));
}

void WindowTransfers::AskExportLandXml() {
  const QString path = AskSavePath("导出 LandXML", window_.InProjectFolder(""), "LandXML (*.xml)", "xml");
  if (!path.isEmpty()) ExportLandXml(path);
}

void WindowTransfers::AskExportResultCsv(RunKind kind, bool gbk) {
  const QString path = AskSavePath(gbk ? "导出 CSV（GBK）" : "导出 CSV（UTF-8）", window_.InProjectFolder(""),
                                   "CSV 文件 (*.csv)", "csv");
  if (!path.isEmpty()) ExportResultCsv(kind, path, gbk);
}

std::string WindowTransfers::PointFileTitle(PointFile kind) {
  return kind == PointFile::Gsi16 ? "GSI-16 点文件 (.gsi)" : "CASS 点文件 (.dat)";
}

void WindowTransfers::AskExportStakePoints(PointFile kind) {
  const bool gsi = kind == PointFile::Gsi16;
  const std::string suffix = gsi ? "gsi" : "dat";
  const QString path = AskSavePath("导出 " + PointFileTitle(kind), window_.InProjectFolder("逐桩坐标." + suffix),
                                   gsi ? "GSI-16 (*.gsi)" : "CASS 点文件 (*.dat)", suffix);
  if (!path.isEmpty()) ExportStakePoints(kind, path);
}

void WindowTransfers::AskExportPlanDxf() {
  const QString path = AskSavePath("导出平面图 DXF", window_.InProjectFolder("平面图.dxf"), "DXF (*.dxf)", "dxf");
  if (!path.isEmpty()) ExportPlanDxf(path);
}

}  // namespace survey::alignment::window
