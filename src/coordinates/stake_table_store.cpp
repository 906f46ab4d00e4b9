#include "coordinates/stake_table_store.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include "platform/paths.h"

namespace coordinates {

namespace {

constexpr char kInsert[] = "INSERT INTO zbb (zh, zbx, zby, zx, zy, ybx, yby) VALUES (?, ?, ?, ?, ?, ?, ?)";
// Progress is reported every so many rows.
constexpr std::size_t kProgressStep = 2000;

QVariant FieldValue(const StakeField& f) {
  if (!f) return QVariant(QMetaType::fromType<QString>());  // NULL
  return QVariant(QString::fromUtf8(f->data(), static_cast<qsizetype>(f->size())));
}

bool BindAndInsert(QSqlQuery& insert, const StakeRecord& row) {
  for (std::size_t i = 0; i < kStakeFieldCount; ++i) insert.bindValue(static_cast<int>(i), FieldValue(row.Field(i)));
  return insert.exec();
}

}  // namespace

QString SqliteStakeTable::UserFile(const QString& fileName) { return QDir(platform::UserDataDir()).filePath(fileName); }

SqliteStakeTable::SqliteStakeTable(const QString& path)
    : path_(path), connection_(QStringLiteral("zbb-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
  if (!db.isValid()) {
    Fail(QStringLiteral("无法使用数据库驱动"), db.lastError().text());
    return;
  }
  db.setDatabaseName(path);
  // Another copy of the program may be writing: wait for it rather than fail.
  db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
  if (!db.open()) {
    Fail(QStringLiteral("无法打开坐标数据库 ") + path, db.lastError().text());
    return;
  }
  QSqlQuery q(db);
  // Write-ahead logging lets readers go on while a computation writes; a crash of the writer
  // leaves the last committed table. A file system without WAL keeps SQLite's rollback
  // journal, which is as safe; an in-memory table answers "memory". Only an error is fatal.
  if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) ||
      !q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"))) {
    Fail(QStringLiteral("无法设置坐标数据库 ") + path, q.lastError().text());
    return;
  }
  if (!q.exec(QStringLiteral(
          "CREATE TABLE IF NOT EXISTS zbb (zh TEXT, zbx TEXT, zby TEXT, zx TEXT, zy TEXT, ybx TEXT, yby TEXT)"))) {
    Fail(QStringLiteral("无法建立坐标表 ") + path, q.lastError().text());
    return;
  }
  open_ = true;
}

SqliteStakeTable::~SqliteStakeTable() {
  {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (db.isOpen()) db.close();
  }
  QSqlDatabase::removeDatabase(connection_);
}

bool SqliteStakeTable::Fail(const QString& what, const QString& reason) {
  error_ = (what + QStringLiteral("：") + reason).toStdString();
  return false;
}

bool SqliteStakeTable::Replace(const std::vector<StakeRecord>& rows, const Progress& progress) {
  if (!open_) return false;
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  QSqlQuery control(db);
  // IMMEDIATE takes the write lock at once, so two copies never both hold a read snapshot and
  // then fail to upgrade it.
  if (!control.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
    return Fail(QStringLiteral("无法写入坐标数据库"), control.lastError().text());
  }
  const auto rollback = [&](const QSqlQuery& failed) {
    const QString reason = failed.lastError().text();
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return Fail(QStringLiteral("无法写入坐标数据库"), reason);
  };
  {
    QSqlQuery clear(db);
    if (!clear.exec(QStringLiteral("DELETE FROM zbb"))) return rollback(clear);
    QSqlQuery insert(db);
    if (!insert.prepare(QString::fromLatin1(kInsert))) return rollback(insert);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (!BindAndInsert(insert, rows[i])) return rollback(insert);
      if (progress && (i + 1) % kProgressStep == 0 && !progress(i + 1, rows.size())) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return Fail(QStringLiteral("坐标计算已取消"), QStringLiteral("cancelled"));
      }
    }
  }
  if (!control.exec(QStringLiteral("COMMIT"))) return rollback(control);
  if (progress) progress(rows.size(), rows.size());
  return true;
}

bool SqliteStakeTable::Append(const StakeRecord& row) {
  if (!open_) return false;
  QSqlQuery insert(QSqlDatabase::database(connection_, false));
  if (!insert.prepare(QString::fromLatin1(kInsert)) || !BindAndInsert(insert, row)) {
    return Fail(QStringLiteral("无法写入坐标数据库"), insert.lastError().text());
  }
  return true;
}

bool SqliteStakeTable::Clear() {
  if (!open_) return false;
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  if (!q.exec(QStringLiteral("DELETE FROM zbb"))) {
    return Fail(QStringLiteral("无法清空坐标数据库"), q.lastError().text());
  }
  return true;
}

bool SqliteStakeTable::ReadRows(std::vector<StakeRecord>& rows) {
  rows.clear();
  if (!open_) return false;
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("SELECT zh, zbx, zby, zx, zy, ybx, yby FROM zbb ORDER BY rowid"))) {
    return Fail(QStringLiteral("无法读取坐标数据库"), q.lastError().text());
  }
  while (q.next()) {
    StakeRecord& row = rows.emplace_back();
    for (std::size_t i = 0; i < kStakeFieldCount; ++i) {
      const int column = static_cast<int>(i);
      if (!q.isNull(column)) row.Field(i) = q.value(column).toString().toStdString();
    }
  }
  // next() is false at the end and on an error alike; rows lost to an error are no table.
  if (q.lastError().isValid()) {
    rows.clear();
    return Fail(QStringLiteral("无法读取坐标数据库"), q.lastError().text());
  }
  return true;
}

}  // namespace coordinates
