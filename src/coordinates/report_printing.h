// The stake table report: a delivered layout file (HTML with {{name}} placeholders for the ten
// report values) at the top of the first page, then every row of the table under the seven
// headings, page after page. Shown in a print preview, from which the user prints or saves a
// PDF; batch modes write the PDF directly.
#pragma once

#include <QString>
#include <functional>
#include <utility>

#include "coordinates/file_commands.h"

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace coordinates {

// The delivered layout of `program` ("marlowby" with "zxzb.html", "tallyfen" with "zb.html").
QString ReportLayoutPath(const QString& program, const QString& fileName);

// Paints the report; false when painting cannot start.
bool PaintStakeReport(QPagedPaintDevice* device, const QString& headerHtml, const std::vector<StakeRecord>& rows);

// Shows the preview; replaced in window tests, which cannot close a modal dialog.
using PreviewPresenter = std::function<void(QWidget* parent, const std::function<void(QPrinter*)>& paint)>;
void SetPreviewPresenter(PreviewPresenter presenter);

// Replaces the preview for the lifetime of the object (tests), so that a failed check cannot
// leave a presenter behind that captures what the test has already destroyed.
class ScopedPreviewPresenter {
 public:
  explicit ScopedPreviewPresenter(PreviewPresenter presenter) { SetPreviewPresenter(std::move(presenter)); }
  ~ScopedPreviewPresenter() { SetPreviewPresenter({}); }
  ScopedPreviewPresenter(const ScopedPreviewPresenter&) = delete;
  ScopedPreviewPresenter& operator=(const ScopedPreviewPresenter&) = delete;
};

class QtReportPrinter final : public FileReportPrinter {
 public:
  QtReportPrinter(QWidget* parent, QString layoutPath) : parent_(parent), layoutPath_(std::move(layoutPath)) {}
  // When set, the report is written to this PDF file instead of the preview.
  void SetPdfFile(const std::string& path) override;
  bool ShowReport(const ReportData& report, std::string* error) override;

 private:
  QWidget* parent_;
  QString layoutPath_;
  QString pdfPath_;
};

}  // namespace coordinates
