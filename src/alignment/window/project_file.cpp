#include "alignment/window/project_file.h"

#include "alignment/jd_method.h"
#include "alignment/route.h"
#include "alignment/table_reader.h"
#include "common/bounded_file.h"
#include "platform/text_files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include "platform/qt_host.h"
#include <cmath>
#include <string_view>

namespace survey::alignment::window {

namespace {


const char* TableKey(TableId id) {
  switch (id) {
    case TableId::Jd: return "jd";
    case TableId::Elements: return "elements";
    case TableId::Equations: return "equations";
    case TableId::Profile: return "profile";
    case TableId::Points: return "points";
  }
  return "";
}

// The text fields of the form under their names in the file.
template <typename Form, typename Fn>
void ForEachField(Form& form, Fn fn) {
  fn("projectName", form.projectName);
  fn("startStation", form.startStationText);
  fn("startX", form.startXText);
  fn("startY", form.startYText);
  fn("startAzimuth", form.startAzimuthText);
  fn("decimals", form.decimalsText);
  fn("interval", form.intervalText);
  fn("from", form.fromText);
  fn("to", form.toText);
  fn("offsets", form.offsetsText);
  fn("skew", form.skewText);
  fn("locateX", form.locateXText);
  fn("locateY", form.locateYText);
  fn("locateZ", form.locateZText);
  fn("setupX", form.setupXText);
  fn("setupY", form.setupYText);
  fn("backsightX", form.backsightXText);
  fn("backsightY", form.backsightYText);
  fn("toleranceXy", form.toleranceXyText);
  fn("toleranceZ", form.toleranceZText);
}

// The points table of version 2 had name, x, y, z; the intended station and offset of the
// deviation report came after. A table without them is saved as before, so that the file
// stays as it was and opens in a program that knows no such columns.
constexpr std::size_t kPointsV2Columns = 4;
std::size_t SavedWidth(const AlignmentForm& form, TableId id) {
  const std::size_t width = AlignmentForm::Columns(id).size();
  if (id != TableId::Points) return width;
  for (const auto& row : form.Table(id)) {
    for (std::size_t i = kPointsV2Columns; i < row.size(); ++i) {
      if (!RowBlank({row[i]})) return width;
    }
  }
  return kPointsV2Columns;
}

// The caps of the batch program's tables (the points table's lower, see kMaxProjectBytes): a
// project holds nothing the program would refuse for its size.
std::size_t MaxRows(TableId id) {
  switch (id) {
    case TableId::Jd: return kMaxJdRows;
    case TableId::Elements: return kMaxElements;
    case TableId::Equations: return kMaxEquationRows;
    case TableId::Profile: return kMaxProfileRows;
    case TableId::Points: return kMaxProjectPointRows;
  }
  return 0;
}

// The number of the "version" key as the bytes spell it (at most 40 characters). A quote
// inside a text value is escaped, so the key in quotes followed by a colon is the key.
QString VersionAsWritten(const QByteArray& bytes) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  for (qsizetype at = bytes.indexOf("\"version\""); at >= 0; at = bytes.indexOf("\"version\"", at + 1)) {
    qsizetype i = at + 9;
    while (i < bytes.size() && blank(bytes[i])) ++i;
    if (i >= bytes.size() || bytes[i] != ':') continue;
    ++i;
    while (i < bytes.size() && blank(bytes[i])) ++i;
    qsizetype end = i;
    while (end < bytes.size() && end - i < 40 && QByteArrayView("+-.0123456789eE").contains(bytes[end])) ++end;
    return QString::fromLatin1(bytes.mid(i, end - i));
  }
  return QStringLiteral("?");
}

const char* SectionTableKey(SectionTableId id) {
  switch (id) {
    case SectionTableId::Section: return "typical";
    case SectionTableId::Superelevation: return "superelevation";
    case SectionTableId::Widening: return "widening";
    case SectionTableId::Slopes: return "slopes";
  }
  return "";
}

QJsonArray GridJson(const std::vector<std::vector<std::string>>& grid) {
  QJsonArray rows;
  for (const auto& row : grid) {
    QJsonArray cells;
    for (const std::string& c : row) cells.append(platform::ToQString(c));
    rows.append(cells);
  }
  return rows;
}

// Rows of `width` text cells, at most `maxRows`; "" when fine, else why not (naming `title`).
QString GridFromJson(const QJsonValue& value, std::size_t width, std::size_t maxRows, const QString& title,
                     std::vector<std::vector<std::string>>& grid) {
  if (!value.isArray()) return QStringLiteral("%1不是行的列表。").arg(title);
  const QJsonArray array = value.toArray();
  if (static_cast<std::size_t>(array.size()) > maxRows) return QStringLiteral("%1超过 %2 行。").arg(title).arg(maxRows);
  grid.clear();
  for (const QJsonValue& rowValue : array) {
    if (!rowValue.isArray() || static_cast<std::size_t>(rowValue.toArray().size()) != width) {
      return QStringLiteral("%1第 %2 行的格数不对。").arg(title).arg(grid.size() + 1);
    }
    std::vector<std::string> row;
    for (const QJsonValue& cell : rowValue.toArray()) {
      if (!cell.isString()) return QStringLiteral("%1第 %2 行有不是文字的格子。").arg(title).arg(grid.size() + 1);
      row.push_back(cell.toString().toStdString());
    }
    grid.push_back(std::move(row));
  }
  return {};
}

// The fields version 2 did not have, left out while they hold what opening a file without them
// gives, so that such a project saves as before.
bool FieldAtItsDefault(std::string_view name, const std::string& value) {
  static const AlignmentForm defaults;
  if (name == "locateZ") return value == defaults.locateZText;
  if (name == "toleranceXy") return value == defaults.toleranceXyText;
  if (name == "toleranceZ") return value == defaults.toleranceZText;
  return false;
}

// Whether the project holds what only version 3 keeps (see kProjectVersion).
bool HoldsFieldChecks(const AlignmentForm& form) {
  if (!form.section.Grid(SectionTableId::Slopes).empty()) return true;
  if (SavedWidth(form, TableId::Points) > kPointsV2Columns) return true;
  bool added = false;
  ForEachField(form, [&](const char* name, const std::string& value) {
    const std::string_view key(name);
    if ((key == "locateZ" || key == "toleranceXy" || key == "toleranceZ") && !FieldAtItsDefault(key, value)) added = true;
  });
  return added;
}

QJsonObject SectionJson(const SectionInputs& inputs) {
  QJsonObject section;
  for (SectionTableId id : kSectionTables) {
    // The slopes came after version 2: a project without them is saved as it always was.
    if (id == SectionTableId::Slopes && inputs.Grid(id).empty()) continue;
    section[QString::fromLatin1(SectionTableKey(id))] = GridJson(inputs.Grid(id));
  }
  section[QStringLiteral("profileAt")] = QString::fromLatin1(ProfileAtKey(inputs.options.profileAt));
  section[QStringLiteral("rotateAbout")] = QString::fromLatin1(RotateAboutKey(inputs.options.rotateAbout));
  section[QStringLiteral("wideningTransition")] = QString::fromLatin1(TransitionKey(inputs.options.widening));
  return section;
}

// "" when read, else why not.
QString SectionFromJson(const QJsonValue& value, SectionInputs& inputs) {
  if (!value.isObject()) return QStringLiteral("横断面（section）不是对象。");
  const QJsonObject section = value.toObject();
  for (SectionTableId id : kSectionTables) {
    const QJsonValue t = section.value(QString::fromLatin1(SectionTableKey(id)));
    if (t.isUndefined()) continue;
    const QString why = GridFromJson(t, SectionInputs::Columns(id).size(), kMaxSectionRows,
                                     platform::ToQString(SectionInputs::Title(id)), inputs.Grid(id));
    if (!why.isEmpty()) return why;
  }
  const auto option = [&](const char* key, auto parse, auto& member) -> QString {
    const QJsonValue v = section.value(QString::fromLatin1(key));
    if (v.isUndefined()) return {};
    const auto parsed = v.isString() ? parse(v.toString().toStdString()) : std::nullopt;
    if (!parsed) return QStringLiteral("横断面选项 %1 的值“%2”不认识。").arg(QString::fromLatin1(key), v.toVariant().toString());
    member = *parsed;
    return {};
  };
  if (QString why = option("profileAt", ProfileAtFromKey, inputs.options.profileAt); !why.isEmpty()) return why;
  if (QString why = option("rotateAbout", RotateAboutFromKey, inputs.options.rotateAbout); !why.isEmpty()) return why;
  if (QString why = option("wideningTransition", TransitionFromKey, inputs.options.widening); !why.isEmpty()) return why;
  return {};
}

}  // namespace

QByteArray ProjectBytes(const AlignmentForm& form) {
  QJsonObject root;
  root[QStringLiteral("format")] = QString::fromLatin1(kProjectFormat);
  root[QStringLiteral("version")] = HoldsFieldChecks(form) ? kProjectVersion : kProjectVersionWithoutFieldChecks;
  root[QStringLiteral("inputKind")] = form.inputKind == InputKind::Jd ? QStringLiteral("jd") : QStringLiteral("elements");
  root[QStringLiteral("degrees")] = form.degrees;
  QJsonObject fields;
  ForEachField(form, [&](const char* name, const std::string& value) {
    if (FieldAtItsDefault(name, value)) return;
    fields[QString::fromLatin1(name)] = platform::ToQString(value);
  });
  root[QStringLiteral("fields")] = fields;
  QJsonObject tables;
  for (TableId id : kAllTables) {
    QJsonArray rows;
    const std::size_t width = SavedWidth(form, id);
    for (const auto& row : form.Table(id)) {
      QJsonArray cells;
      for (std::size_t i = 0; i < width && i < row.size(); ++i) cells.append(platform::ToQString(row[i]));
      rows.append(cells);
    }
    tables[QString::fromLatin1(TableKey(id))] = rows;
  }
  root[QStringLiteral("tables")] = tables;
  root[QStringLiteral("section")] = SectionJson(form.section);
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<AlignmentForm> FormFromProjectBytes(const QByteArray& bytes, QString* error) {
  const auto fail = [&](const QString& why) -> std::optional<AlignmentForm> {
    if (error) *error = why;
    return std::nullopt;
  };
  QJsonParseError parseError;
  const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
  if (doc.isNull()) return fail(QStringLiteral("文件已损坏（第 %1 字节：%2）。").arg(parseError.offset).arg(parseError.errorString()));
  if (!doc.isObject()) return fail(QStringLiteral("不是路线项目文件。"));
  const QJsonObject root = doc.object();
  if (root.value(QStringLiteral("format")).toString() != QString::fromLatin1(kProjectFormat)) {
    return fail(QStringLiteral("不是路线项目文件。"));
  }
  const QJsonValue version = root.value(QStringLiteral("version"));
  if (!version.isDouble()) return fail(QStringLiteral("文件没有版本号。"));
  const double number = version.toDouble();
  if (number != std::trunc(number) || number > kProjectVersion || number < 1) {
    // As the file wrote it: 1.5 is not version 1, nor 1e300 version 0.
    return fail(QStringLiteral("文件版本 %1 不受支持（本程序读版本 1 到 %2）。").arg(VersionAsWritten(bytes)).arg(kProjectVersion));
  }
  AlignmentForm form;
  const QString kind = root.value(QStringLiteral("inputKind")).toString();
  if (kind == QStringLiteral("jd")) form.inputKind = InputKind::Jd;
  else if (kind == QStringLiteral("elements")) form.inputKind = InputKind::Elements;
  else return fail(QStringLiteral("输入方式“%1”不认识。").arg(kind));
  const QJsonValue degrees = root.value(QStringLiteral("degrees"));
  if (!degrees.isBool()) return fail(QStringLiteral("缺少角度单位（degrees）。"));
  form.degrees = degrees.toBool();
  const QJsonValue fieldsValue = root.value(QStringLiteral("fields"));
  if (!fieldsValue.isObject()) return fail(QStringLiteral("缺少输入项（fields）。"));
  const QJsonObject fields = fieldsValue.toObject();
  QString bad;
  ForEachField(form, [&](const char* name, std::string& value) {
    const QJsonValue v = fields.value(QString::fromLatin1(name));
    if (v.isUndefined()) return;  // a field added later keeps its default
    if (!v.isString()) {
      bad = QString::fromLatin1(name);
      return;
    }
    value = v.toString().toStdString();
  });
  if (!bad.isEmpty()) return fail(QStringLiteral("输入项 %1 不是文字。").arg(bad));
  const QJsonValue tablesValue = root.value(QStringLiteral("tables"));
  if (!tablesValue.isObject()) return fail(QStringLiteral("缺少表格（tables）。"));
  const QJsonObject tables = tablesValue.toObject();
  for (TableId id : kAllTables) {
    const QJsonValue t = tables.value(QString::fromLatin1(TableKey(id)));
    if (t.isUndefined()) continue;
    if (!t.isArray()) return fail(QStringLiteral("表格 %1 不是行的列表。").arg(QString::fromLatin1(TableKey(id))));
    if (static_cast<std::size_t>(t.toArray().size()) > MaxRows(id)) {
      return fail(QStringLiteral("%1超过 %2 行。").arg(platform::ToQString(AlignmentForm::TableTitle(id))).arg(MaxRows(id)));
    }
    const std::size_t width = AlignmentForm::Columns(id).size();
    Grid grid;
    for (const QJsonValue& rowValue : t.toArray()) {
      const std::size_t cells = rowValue.isArray() ? static_cast<std::size_t>(rowValue.toArray().size()) : 0;
      if (!rowValue.isArray() || (cells != width && !(id == TableId::Points && cells == kPointsV2Columns))) {
        return fail(QStringLiteral("%1第 %2 行的格数不对。").arg(platform::ToQString(AlignmentForm::TableTitle(id))).arg(grid.size() + 1));
      }
      std::vector<std::string> row;
      for (const QJsonValue& cell : rowValue.toArray()) {
        if (!cell.isString()) return fail(QStringLiteral("%1第 %2 行有不是文字的格子。").arg(platform::ToQString(AlignmentForm::TableTitle(id))).arg(grid.size() + 1));
        row.push_back(cell.toString().toStdString());
      }
      row.resize(width);
      grid.push_back(std::move(row));
    }
    form.Table(id) = std::move(grid);
  }
  // Version 1 had no cross-sections: such a project opens with empty section tables.
  if (const QJsonValue section = root.value(QStringLiteral("section")); !section.isUndefined()) {
    if (const QString why = SectionFromJson(section, form.section); !why.isEmpty()) return fail(why);
  }
  return form;
}

bool SaveProject(const AlignmentForm& form, const QString& path, QString* error) {
  // The suite's one writer: a failure leaves the earlier project file as it was.
  const QByteArray bytes = ProjectBytes(form);
  const survey::Outcome outcome =
      platform::WriteFileAtomically(path.toStdString(), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (!outcome.ok() && error) *error = QStringLiteral("无法保存“%1”：%2").arg(path, QString::fromStdString(outcome.error));
  return outcome.ok();
}

std::optional<AlignmentForm> OpenProject(const QString& path, QString* error) {
  // Through the suite's bounded reader: a link to a device or a FIFO is refused at once
  // instead of read without end or waited on.
  survey::ReadOutcome read = survey::ReadBoundedFile(path.toStdString(), kMaxProjectBytes);
  if (!read.ok) {
    if (error) *error = QStringLiteral("无法打开“%1”：%2").arg(path, QString::fromStdString(read.reason));
    return std::nullopt;
  }
  const QByteArray bytes = QByteArray::fromStdString(read.bytes);
  read.bytes = std::string();
  QString why;
  std::optional<AlignmentForm> form = FormFromProjectBytes(bytes, &why);
  if (!form && error) *error = QStringLiteral("无法打开“%1”：%2").arg(path, why);
  return form;
}

}  // namespace survey::alignment::window
