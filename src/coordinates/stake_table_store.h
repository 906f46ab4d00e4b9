// The stake table zbb kept in an SQLite database file through Qt SQL.
//
// Several copies of a program may share one file: every change is one transaction (a reader
// sees the old table or the new one, never a mix, even when the writer is killed midway),
// each store object has a connection of its own, and a busy file is waited for instead of
// failing at once. Rows are read back in the order they were appended.
#pragma once

#include <QString>

#include "coordinates/stake_record.h"

namespace coordinates {

// Database files of the two calculators, in the per-user data folder: zxzb (直线坐标,
// straight-line coordinates) and zb (坐标, the curve window's coordinates).
inline constexpr char kStraightLineDatabase[] = "zxzb.db";
inline constexpr char kCurveDatabase[] = "zb.db";

class SqliteStakeTable final : public StakeTable {
 public:
  // Opens the database file at `path`, creating the file and the table when missing.
  explicit SqliteStakeTable(const QString& path);
  ~SqliteStakeTable() override;
  SqliteStakeTable(const SqliteStakeTable&) = delete;
  SqliteStakeTable& operator=(const SqliteStakeTable&) = delete;

  // The path of `fileName` ("zxzb.db", "zb.db") in platform::UserDataDir().
  static QString UserFile(const QString& fileName);

  bool IsOpen() const { return open_; }
  QString Path() const { return path_; }

  bool Replace(const std::vector<StakeRecord>& rows, const Progress& progress) override;
  bool Append(const StakeRecord& row) override;
  bool Clear() override;
  bool ReadRows(std::vector<StakeRecord>& rows) override;
  std::string LastError() const override { return error_; }

 private:
  bool Fail(const QString& what, const QString& reason);

  QString path_;
  QString connection_;
  bool open_ = false;
  std::string error_;
};

}  // namespace coordinates
