#include "alignment/window/check_tab.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "alignment/text_format.h"
#include "alignment/window/form.h"
#include "platform/qt_host.h"

namespace survey::alignment::window {

// --- Rows ------------------------------------------------------------------------------------------

void CheckRowsModel::SetTable(std::shared_ptr<const check::CheckTable> table) {
  beginResetModel();
  table_ = std::move(table);
  keys_ = table_ ? check::CheckKeys(table_->run.withIntended) : std::vector<std::string>{};
  endResetModel();
}

std::vector<std::string> CheckRowsModel::MachineCells(int gridRow) const {
  return check::CheckCells(table_->rows[TableRow(gridRow)], table_->run.withIntended, table_->decimals);
}

std::vector<std::string> CheckRowsModel::TransferHeader() const {
  if (!transferAsShown_) return keys_;
  std::vector<std::string> header;
  for (const std::string& key : keys_) header.push_back(ShownTitle(key).toStdString());
  return header;
}

std::vector<std::string> CheckRowsModel::TransferRow(int gridRow) const {
  if (!transferAsShown_) return MachineCells(gridRow);
  std::vector<std::string> cells;
  for (int c = 0; c < columnCount(); ++c) cells.push_back(data(index(gridRow, c), Qt::DisplayRole).toString().toStdString());
  return cells;
}

QString CheckRowsModel::TsvText(const std::vector<int>& rows) const {
  QStringList lines;
  const auto line = [&](const std::vector<std::string>& cells) {
    QStringList joined;
    for (const std::string& c : cells) joined << platform::ToQString(c);
    lines << joined.join(QLatin1Char('\t'));
  };
  line(TransferHeader());
  if (rows.empty()) {
    for (int r = 0; r < rowCount(); ++r) line(TransferRow(r));
  } else {
    for (int r : rows) {
      if (r >= 0 && r < rowCount()) line(TransferRow(r));
    }
  }
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

std::string CheckRowsModel::CsvWithTitles() const {
  std::string out;
  AppendCsvRecord(out, TransferHeader());
  if (!table_) return out;
  // The command lists the points in the table's order; the grid, failures first.
  std::vector<int> byTable(table_->order.size());
  for (int r = 0; r < rowCount(); ++r) byTable[TableRow(r)] = r;
  for (int r = 0; r < rowCount(); ++r) {
    AppendCsvRecord(out, TransferRow(transferAsShown_ ? r : byTable[static_cast<std::size_t>(r)]));
  }
  out += "# " + check::CheckSummaryText(table_->run, table_->decimals) + '\n';
  return out;
}

int CheckRowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !table_ ? 0 : static_cast<int>(table_->order.size());
}

int CheckRowsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(keys_.size());
}

QVariant CheckRowsModel::data(const QModelIndex& index, int role) const {
  if (!table_ || !index.isValid()) return {};
  const check::CheckRow& row = table_->rows[TableRow(index.row())];
  const std::string& key = keys_[static_cast<std::size_t>(index.column())];
  if (role == Qt::ForegroundRole) {
    // The result of a failed row, and the deviation that failed it.
    if (row.result != check::CheckResult::Fail) return {};
    const bool red = key == "result" || (key == "dz" && row.dz && !check::WithinZ(*row.dz, table_->run.toleranceZ)) ||
                     (key == "d_xy" && row.distance && !check::WithinXy(*row.distance, table_->run.toleranceXy));
    return red ? QVariant(QColor(200, 0, 0)) : QVariant();
  }
  if (role == Qt::TextAlignmentRole) {
    return key == "name" || key == "result" ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  if (key == "station") return row.inside ? platform::ToQString(StationKText(row.station, table_->decimals)) : QString();
  if (key == "result") {
    switch (row.result) {
      case check::CheckResult::Pass: return QStringLiteral("合格");
      case check::CheckResult::Fail: return QStringLiteral("不合格");
      case check::CheckResult::Outside: return QStringLiteral("路线外");
    }
  }
  return platform::ToQString(MachineCells(index.row())[static_cast<std::size_t>(index.column())]);
}

QVariant CheckRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= static_cast<int>(keys_.size())) return {};
  const std::string& key = keys_[static_cast<std::size_t>(section)];
  QString title = ShownTitle(key);
  // The longest title on two lines: on one it widened its column of short numbers so far that
  // the 结论 column fell off the page at 1280 px.
  if (key == "fill_cut") title.replace(QStringLiteral(" 填"), QStringLiteral("\n填"));
  return title;
}

QString CheckRowsModel::ShownTitle(const std::string& key) {
  if (key == "z") return QStringLiteral("实测高程 (m)");
  if (key == "dz") return QStringLiteral("Δz (m)");
  return platform::ToQString(ResultColumnTitle(key));
}

// --- Plot ------------------------------------------------------------------------------------------

CheckPlotView::CheckPlotView(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(180);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CheckPlotView::SetData(std::shared_ptr<const CheckReportData> plotted, const QString& project) {
  data_ = std::move(plotted);
  project_ = project;
  marked_.reset();
  image_ = QImage();
  update();
}

void CheckPlotView::Mark(std::optional<std::size_t> row) {
  marked_ = row;
  update();
}

void CheckPlotView::resizeEvent(QResizeEvent* event) {
  image_ = QImage();
  QWidget::resizeEvent(event);
}

// Thousands of points take a while to paint: once per result and size, not per repaint.
void CheckPlotView::Render() {
  const qreal ratio = devicePixelRatioF();
  image_ = QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
  image_.setDevicePixelRatio(ratio);
  image_.fill(Qt::white);
  geometry_ = {};
  if (!data_) return;
  QPainter p(&image_);
  p.setRenderHint(QPainter::Antialiasing);
  geometry_ = PaintCheckPlot(p, QRectF(rect()).adjusted(8, 6, -8, -4), *data_, project_);
}

void CheckPlotView::paintEvent(QPaintEvent*) {
  if (image_.isNull() || image_.deviceIndependentSize().toSize() != size()) Render();
  QPainter p(this);
  p.drawImage(QPointF(0, 0), image_);
  if (!data_ || !marked_ || !geometry_.drawn || *marked_ >= data_->points.size()) return;
  const CheckPlotPoint& pt = data_->points[*marked_];
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(255, 140, 0), 2.5));
  p.setBrush(Qt::NoBrush);
  const double x = geometry_.stations.Map(pt.station);
  if (pt.dz) p.drawEllipse(QPointF(x, geometry_.dz.Map(*pt.dz)), 7, 7);
  if (pt.distance && geometry_.xy) p.drawEllipse(QPointF(x, geometry_.xy->Map(*pt.distance)), 7, 7);
}

// --- Page ------------------------------------------------------------------------------------------

CheckPanel::CheckPanel(QLineEdit* toleranceXy, QLineEdit* toleranceZ, QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  auto* options = new QHBoxLayout;
  options->addWidget(new QLabel(QStringLiteral("平面限差 (m)")));
  toleranceXy->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
  options->addWidget(toleranceXy);
  options->addWidget(new QLabel(QStringLiteral("高程限差 (m)")));
  toleranceZ->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("+0.010/-0.015__")));
  toleranceZ->setToolTip(QStringLiteral("0.01 为 ±0.01；+0.010/-0.015 为上限/下限。等于限差为合格。"));
  options->addWidget(toleranceZ);
  auto* run = new QPushButton(QStringLiteral("检查"));
  run->setObjectName(QStringLiteral("computeCheck"));
  connect(run, &QPushButton::clicked, this, [this] {
    if (compute) compute();
  });
  options->addWidget(run);
  auto* points = new QPushButton(QStringLiteral("编辑点表…"));
  points->setToolTip(QStringLiteral("实测点在“反算”页的点表中：点名、X、Y、Z，核对放样点时另填设计桩号和设计偏距。"));
  connect(points, &QPushButton::clicked, this, [this] {
    if (editPoints) editPoints();
  });
  options->addWidget(points);
  options->addStretch();
  layout->addLayout(options);

  auto* splitter = new QSplitter(Qt::Vertical);
  plot_ = new CheckPlotView;
  plot_->setObjectName(QStringLiteral("checkPlot"));
  splitter->addWidget(plot_);
  auto* lower = new QWidget;
  auto* lowerLayout = new QVBoxLayout(lower);
  lowerLayout->setContentsMargins(0, 0, 0, 0);
  model_ = new CheckRowsModel(this);
  grid_ = new QTableView;
  grid_->setObjectName(QStringLiteral("checkGrid"));
  grid_->setModel(model_);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  grid_->horizontalHeader()->setDefaultSectionSize(
      std::max(80, grid_->fontMetrics().horizontalAdvance(QStringLiteral("K000+000.000")) + 12));
  connect(grid_, &QTableView::clicked, this, [this](const QModelIndex& index) { SelectRow(index.row()); });
  grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* copy = new QAction(QStringLiteral("复制（制表符分隔，含表头）"), grid_);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, [this] {
    std::vector<int> rows;
    for (const QModelIndex& index : grid_->selectionModel()->selectedRows()) rows.push_back(index.row());
    // One row selected (as a click leaves it) copies them all: the whole report is what is wanted.
    if (rows.size() < 2) rows.clear();
    std::sort(rows.begin(), rows.end());
    QApplication::clipboard()->setText(model_->TsvText(rows));
  });
  grid_->addAction(copy);
  lowerLayout->addWidget(grid_, 1);
  summary_ = new QLabel;
  summary_->setObjectName(QStringLiteral("checkSummary"));
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lowerLayout->addWidget(summary_);
  splitter->addWidget(lower);
  splitter->setStretchFactor(0, 2);
  splitter->setStretchFactor(1, 3);
  layout->addWidget(splitter, 1);
}

void CheckPanel::SetTable(std::shared_ptr<const check::CheckTable> table, const QString& project) {
  table_ = std::move(table);
  report_ = table_ ? CheckReportDataOf(*table_, false) : nullptr;
  model_->SetTable(table_);
  plot_->SetData(report_, project);
  summary_->setText(table_ ? platform::ToQString(check::CheckSummaryText(table_->run, table_->decimals)) : QString());
  if (table_ && table_->rows.size() < 50'000) grid_->resizeColumnsToContents();
}

void CheckPanel::Clear() { SetTable(nullptr, QString()); }

void CheckPanel::SetStale(bool stale) {
  for (QWidget* w : {static_cast<QWidget*>(grid_), static_cast<QWidget*>(summary_)}) {
    QPalette palette = w->style()->standardPalette();
    if (stale) {
      palette.setColor(QPalette::Text, palette.color(QPalette::Disabled, QPalette::Text));
      palette.setColor(QPalette::WindowText, palette.color(QPalette::Disabled, QPalette::WindowText));
    }
    w->setPalette(palette);
  }
  plot_->setEnabled(!stale);
}

void CheckPanel::SelectRow(int gridRow) {
  if (!table_ || gridRow < 0 || gridRow >= model_->rowCount()) return;
  grid_->selectRow(gridRow);
  plot_->Mark(model_->TableRow(gridRow));
}

}  // namespace survey::alignment::window
