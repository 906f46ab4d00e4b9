#include "transform/window/grids.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>
#include <map>

#include "platform/qt_host.h"

namespace survey::transform::window {

using platform::ToQString;
using platform::ToUtf8;

QStringList SplitCsvLine(const std::string& line) {
  QStringList cells;
  std::string cell;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') cell += '"', ++i;
      else if (c == '"') quoted = false;
      else cell += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      cells << ToQString(cell);
      cell.clear();
    } else {
      cell += c;
    }
  }
  cells << ToQString(cell);
  return cells;
}

std::string CsvCell(const QString& text) {
  const std::string s = ToUtf8(text.trimmed());
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string q = "\"";
  for (char c : s) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + '"';
}

// ---- PointGrid ------------------------------------------------------------------------------

PointGrid::PointGrid(const QStringList& headers, QWidget* parent) : QTableWidget(parent) {
  SetHeaders(headers);
  setRowCount(20);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  verticalHeader()->setDefaultSectionSize(22);
  connect(&pasteTimer_, &QTimer::timeout, this, [this] {
    if (!PasteSlice(*pasting_, kPasteSliceRows)) return;
    pasteTimer_.stop();
    pasting_.reset();
    setEnabled(true);
    emit PasteFinished();
  });
  const auto changed = [this] { ++generation_; };
  connect(model(), &QAbstractItemModel::dataChanged, this, changed);
  connect(model(), &QAbstractItemModel::rowsInserted, this, changed);
  connect(model(), &QAbstractItemModel::rowsRemoved, this, changed);
  connect(model(), &QAbstractItemModel::columnsInserted, this, changed);
  connect(model(), &QAbstractItemModel::columnsRemoved, this, changed);
  connect(model(), &QAbstractItemModel::modelReset, this, changed);
}

void PointGrid::SetHeaders(const QStringList& headers) {
  setColumnCount(static_cast<int>(headers.size()));
  setHorizontalHeaderLabels(headers);
}

namespace {
QStringList PastedCells(QStringView line) {
  if (line.endsWith(u'\r')) line.chop(1);
  const QString l = line.toString();
  return l.contains('\t') ? l.split('\t') : l.split(',');
}
}  // namespace

void PointGrid::Clear() {
  if (pasting_) {
    pasteTimer_.stop();
    pasting_.reset();
    setEnabled(true);
  }
  clearContents();
}

void PointGrid::PasteText(const QString& text) {
  Clear();
  auto paste = std::make_unique<Paste>();
  paste->text = text;
  const QString& t = paste->text;
  // Blank lines at the end are no rows.
  qsizetype last = t.size();
  while (last > 0 && t[last - 1].isSpace()) --last;
  paste->end = last == 0 ? 0 : t.indexOf('\n', last - 1);
  if (paste->end < 0) paste->end = t.size();
  // A first row whose coordinate cells are not numbers is a row of column names.
  if (paste->end > 0) {
    qsizetype firstEnd = t.indexOf('\n');
    if (firstEnd < 0 || firstEnd > paste->end) firstEnd = paste->end;
    const QStringList first = PastedCells(QStringView(t).first(firstEnd));
    bool numbers = first.size() > 1;
    for (int c = 1; c < first.size(); ++c) {
      bool ok = false;
      first[c].trimmed().toDouble(&ok);
      if (!ok && !first[c].trimmed().isEmpty()) numbers = false;
    }
    if (!numbers) paste->next = std::min(firstEnd + 1, paste->end + 1);
  }
  paste->rows = paste->next > paste->end ? 0 : static_cast<int>(QStringView(t).sliced(paste->next, paste->end - paste->next).count(u'\n')) + 1;
  if (paste->end == 0) paste->rows = 0;
  setRowCount(std::max(20, paste->rows + 5));
  if (paste->rows <= kPasteSliceRows) {
    PasteSlice(*paste, kPasteSliceRows);
    emit PasteFinished();
    return;
  }
  setEnabled(false);  // no typing into rows that a slice will overwrite
  pasting_ = std::move(paste);
  pasteTimer_.start(0);
}

bool PointGrid::PasteSlice(Paste& paste, int rows) {
  const QStringView t(paste.text);
  for (int n = 0; n < rows && paste.row < paste.rows; ++n, ++paste.row) {
    qsizetype lineEnd = t.indexOf(u'\n', paste.next);
    if (lineEnd < 0 || lineEnd > paste.end) lineEnd = paste.end;
    const QStringList cells = PastedCells(t.sliced(paste.next, lineEnd - paste.next));
    paste.next = lineEnd + 1;
    for (int c = 0; c < std::min(static_cast<int>(cells.size()), columnCount()); ++c) {
      setItem(paste.row, c, new QTableWidgetItem(cells[c].trimmed()));
    }
  }
  return paste.row >= paste.rows;
}

std::string PointGrid::CsvText(const std::vector<std::string>& columns) const {
  std::string csv;
  for (std::size_t c = 0; c < columns.size(); ++c) csv += (c ? "," : "") + columns[c];
  csv += '\n';
  AppendCsvRows(columns, 0, rowCount(), csv);
  return csv;
}

void PointGrid::AppendCsvRows(const std::vector<std::string>& columns, int first, int end, std::string& csv) const {
  for (int r = first; r < std::min(end, rowCount()); ++r) {
    std::string line;
    bool any = false;
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
      const QTableWidgetItem* i = item(r, c);
      const QString text = i ? i->text() : QString();
      any = any || !text.trimmed().isEmpty();
      line += (c ? "," : "") + CsvCell(text);
    }
    // An empty row stays as a blank line, which the reader skips but counts: line n + 1 of the
    // table is row n of the grid.
    csv += (any ? line : std::string()) + '\n';
  }
}

QString PointGrid::TsvText() const {
  QStringList lines;
  QStringList header;
  for (int c = 0; c < columnCount(); ++c) header << (horizontalHeaderItem(c) ? horizontalHeaderItem(c)->text() : QString());
  lines << header.join('\t');
  for (int r = 0; r < rowCount(); ++r) {
    QStringList cells;
    bool any = false;
    for (int c = 0; c < columnCount(); ++c) {
      const QString t = item(r, c) ? item(r, c)->text() : QString();
      any = any || !t.isEmpty();
      cells << t;
    }
    if (any) lines << cells.join('\t');
  }
  return lines.join('\n') + '\n';
}

void PointGrid::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste) && editTriggers() != QAbstractItemView::NoEditTriggers) {
    PasteText(QGuiApplication::clipboard()->text());
    return;
  }
  if (event->matches(QKeySequence::Copy)) {
    QGuiApplication::clipboard()->setText(TsvText());
    return;
  }
  QTableWidget::keyPressEvent(event);
}

// ---- CsvRowsModel, ResultGrid ---------------------------------------------------------------

void CsvRowsModel::SetCsv(std::string csv) {
  beginResetModel();
  csv_ = std::move(csv);
  rowStarts_.clear();
  headers_.clear();
  blankRows_ = 0;
  const std::size_t headerEnd = std::min(csv_.find('\n'), csv_.size());
  // The batch mode's column keys, as the window shows them.
  static const std::map<QString, QString> labels = {
      {"name", "点名"},         {"x", "X（北）"},        {"y", "Y（东）"},          {"h", "高程"},
      {"convergence", "子午线收敛角"}, {"scale", "长度比 k"}, {"B", "纬度 B"},     {"L", "经度 L"},
      {"H", "大地高 H"},        {"vx", "残差 vx（m）"},  {"vy", "残差 vy（m）"},    {"vX", "残差 vX（m）"},
      {"vY", "残差 vY（m）"},   {"vZ", "残差 vZ（m）"},  {"v", "点位残差（m）"}};
  if (!csv_.empty()) {
    headers_ = SplitCsvLine(csv_.substr(0, headerEnd));
    for (QString& h : headers_) {
      const auto it = labels.find(h);
      if (it != labels.end()) h = it->second;
    }
  }
  for (std::size_t start = headerEnd + 1; start < csv_.size();) {
    rowStarts_.push_back(start);
    const std::size_t end = csv_.find('\n', start);
    start = end == std::string::npos ? csv_.size() : end + 1;
  }
  if (!rowStarts_.empty()) rowStarts_.push_back(csv_.size() + (csv_.back() == '\n' ? 0 : 1));
  endResetModel();
}

QString CsvRowsModel::Cell(int row, int column) const {
  if (row < 0 || row + 1 >= static_cast<int>(rowStarts_.size()) || column < 0 || column >= headers_.size()) return {};
  const std::size_t start = rowStarts_[static_cast<std::size_t>(row)];
  const std::size_t end = rowStarts_[static_cast<std::size_t>(row) + 1] - 1;
  return SplitCsvLine(csv_.substr(start, end - start)).value(column);
}

int CsvRowsModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return rowStarts_.empty() ? blankRows_ : static_cast<int>(rowStarts_.size()) - 1;
}

int CsvRowsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(headers_.size()); }

QVariant CsvRowsModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  return Cell(index.row(), index.column());
}

QVariant CsvRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return headers_.value(section);
}

Qt::ItemFlags CsvRowsModel::flags(const QModelIndex&) const { return Qt::ItemIsSelectable | Qt::ItemIsEnabled; }

ResultGrid::ResultGrid(QWidget* parent) : QTableView(parent), model_(new CsvRowsModel(this)) {
  setModel(model_);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(22);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void ResultGrid::ShowCsv(std::string csv) { model_->SetCsv(std::move(csv)); }

QString ResultGrid::HeaderText(int column) const { return model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(); }

QString ResultGrid::TsvText() const {
  QStringList lines;
  QStringList header;
  for (int c = 0; c < model_->columnCount(); ++c) header << HeaderText(c);
  lines << header.join('\t');
  for (int r = 0; r < model_->rowCount(); ++r) {
    QStringList cells;
    bool any = false;
    for (int c = 0; c < model_->columnCount(); ++c) {
      const QString t = Cell(r, c);
      any = any || !t.isEmpty();
      cells << t;
    }
    if (any) lines << cells.join('\t');
  }
  return lines.join('\n') + '\n';
}

void ResultGrid::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    QGuiApplication::clipboard()->setText(TsvText());
    return;
  }
  QTableView::keyPressEvent(event);
}

}  // namespace survey::transform::window
