#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTest>
#include <csignal>
#include <unistd.h>

#include "coordinates/report_printing.h"
#include "coordinates/stake_grid.h"
#include "coordinates/stake_table_store.h"

using coordinates::SqliteStakeTable;
using coordinates::StakeRecord;

namespace {

std::vector<StakeRecord> MakeRows(std::size_t n, const std::string& tag) {
  std::vector<StakeRecord> rows;
  rows.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    rows.push_back({tag + std::to_string(i), " ", " ", std::to_string(i * 2), "-4532.808", " ", " "});
  }
  return rows;
}

// Child mode: write `count` new rows over the table and die by SIGKILL halfway through.
int ChildWriteAndDie(const QString& path, std::size_t count) {
  SqliteStakeTable table(path);
  if (!table.IsOpen()) return 3;
  table.Replace(MakeRows(count, "new"), [count](std::size_t done, std::size_t) {
    if (done >= count / 2) ::kill(::getpid(), SIGKILL);
    return true;
  });
  return 4;  // not reached when the kill works
}

}  // namespace

class StakeTableStoreTest : public QObject {
  Q_OBJECT

 private slots:
  // A table whose pages are damaged half-way: the read fails with the reason instead of
  // handing back the rows before the damage as the whole table.
  void aReadThatFailsPartWayLosesNoRowSilently() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zb.db"));
    {
      SqliteStakeTable table(path);
      QVERIFY(table.Replace(MakeRows(20000, "row"), {}));
    }  // closing checkpoints the log into the file
    {
      QFile file(path);
      QVERIFY(file.open(QIODevice::ReadWrite));
      const qint64 size = file.size();
      QVERIFY(size > 200000);
      // Garbage over pages of the second half, leaving the header and the schema intact.
      for (qint64 at = size / 2; at < size - 4096; at += 4096 * 3) {
        file.seek(at);
        file.write(QByteArray(4096, '\xA5'));
      }
    }
    SqliteStakeTable table(path);
    QVERIFY2(table.IsOpen(), table.LastError().c_str());
    std::vector<StakeRecord> rows;
    QVERIFY(!table.ReadRows(rows));
    QVERIFY(rows.empty());
    QVERIFY(!table.LastError().empty());
  }

  void cancelledReplaceKeepsTheOldRows() {
    QTemporaryDir dir;
    SqliteStakeTable table(dir.filePath(QStringLiteral("zb.db")));
    QVERIFY(table.Replace(MakeRows(10, "old"), {}));
    std::size_t calls = 0;
    QVERIFY(!table.Replace(MakeRows(10000, "new"), [&](std::size_t done, std::size_t) {
      ++calls;
      return done < 4000;
    }));
    QCOMPARE(calls, std::size_t(2));
    std::vector<StakeRecord> rows;
    QVERIFY(table.ReadRows(rows));
    QCOMPARE(rows, MakeRows(10, "old"));
    QVERIFY(table.Replace(MakeRows(3, "after"), {}));  // the table is usable after a cancel
  }

  void rowsSurviveReopeningInOrderWithNulls() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zb.db"));
    {
      SqliteStakeTable table(path);
      QVERIFY2(table.IsOpen(), table.LastError().c_str());
      std::vector<StakeRecord> rows = {
          {"875.262", std::nullopt, std::nullopt, "46722.855", "-7619.616", std::nullopt, std::nullopt},
          {"1810.791", " ", " ", "46276.097", "-4532.808", " ", " "},
      };
      QVERIFY(table.Replace(rows, {}));
      QVERIFY(table.Append({"加桩1000.5", "1", "2", "3", "4", "5", "6"}));
    }
    SqliteStakeTable reopened(path);
    std::vector<StakeRecord> back;
    QVERIFY(reopened.ReadRows(back));
    QCOMPARE(back.size(), size_t(3));
    QVERIFY(!back[0].zbx.has_value());  // no value stays NULL ...
    QCOMPARE(*back[1].zbx, std::string(" "));  // ... and a single blank stays a blank
    QCOMPARE(*back[2].zh, std::string("加桩1000.5"));
    QCOMPARE(*back[2].yby, std::string("6"));
    QVERIFY(reopened.Clear());
    QVERIFY(reopened.ReadRows(back));
    QVERIFY(back.empty());
  }

  void tableHasItsSevenTextColumnsInOrder() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zxzb.db"));
    { SqliteStakeTable table(path); }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
    db.setDatabaseName(path);
    QVERIFY(db.open());
    QSqlQuery q(db);
    QVERIFY(q.exec(QStringLiteral("PRAGMA table_info(zbb)")));
    QStringList columns;
    while (q.next()) {
      columns << q.value(1).toString();
      QCOMPARE(q.value(2).toString(), QStringLiteral("TEXT"));
    }
    QCOMPARE(columns.join(QLatin1Char(',')), QStringLiteral("zh,zbx,zby,zx,zy,ybx,yby"));
    q = QSqlQuery();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
  }

  void twoStoresOnOneFileSeeEachOthersCommits() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zxzb.db"));
    SqliteStakeTable first(path);
    SqliteStakeTable second(path);
    QVERIFY(first.Replace(MakeRows(10, "a"), {}));
    std::vector<StakeRecord> seen;
    QVERIFY(second.ReadRows(seen));
    QCOMPARE(seen.size(), size_t(10));
    QVERIFY(second.Replace(MakeRows(3, "b"), {}));
    QVERIFY(first.ReadRows(seen));
    QCOMPARE(seen.size(), size_t(3));
    QCOMPARE(*seen[0].zh, std::string("b0"));
  }

  void killedComputationLeavesTheOldTable() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zxzb.db"));
    {
      SqliteStakeTable table(path);
      QVERIFY(table.Replace(MakeRows(294, "old"), {}));
    }
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-write"), path, QStringLiteral("20000")});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    SqliteStakeTable table(path);
    std::vector<StakeRecord> rows;
    QVERIFY(table.ReadRows(rows));
    QCOMPARE(rows.size(), size_t(294));
    QCOMPARE(*rows.back().zh, std::string("old293"));
    // The file still takes a whole new table afterwards.
    QVERIFY(table.Replace(MakeRows(20000, "new"), {}));
    QVERIFY(table.ReadRows(rows));
    QCOMPARE(rows.size(), size_t(20000));
  }

  void unwritablePlaceIsReported() {
    SqliteStakeTable table(QStringLiteral("/proc/no/such/dir/zb.db"));
    QVERIFY(!table.IsOpen());
    QVERIFY(!table.LastError().empty());
    QVERIFY(!table.Replace(MakeRows(1, "x"), {}));
    std::vector<StakeRecord> rows;
    QVERIFY(!table.ReadRows(rows));
  }

  void gridShowsSevenColumnsAndAlternatingColours() {
    coordinates::StakeTableModel model;
    QTableView view;
    coordinates::ConfigureStakeGrid(&view, &model);
    model.SetRows({{"875.262", std::nullopt, std::nullopt, "1", "2", std::nullopt, std::nullopt},
                   {"880", " ", " ", "3", "4", " ", " "},
                   {"890", "5", "6", "7", "8", "9", "10"}});
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 7);
    QVERIFY(view.horizontalHeader()->isHidden());
    QVERIFY(view.verticalHeader()->isHidden());
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("875.262"));
    QCOMPARE(model.index(0, 1).data().toString(), QString());
    QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral(" "));
    QCOMPARE(model.index(2, 6).data().toString(), QStringLiteral("10"));
    for (int c = 0; c < 7; ++c) {
      QCOMPARE(model.index(0, c).data(Qt::BackgroundRole).value<QColor>(), QColor(128, 255, 128));
      QCOMPARE(model.index(1, c).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 255, 255));
      QCOMPARE(model.index(2, c).data(Qt::BackgroundRole).value<QColor>(), QColor(128, 255, 128));
    }
  }

  void reportGoesToPdfAndMissingLayoutIsReported() {
    QTemporaryDir dir;
    const QString layout = dir.filePath(QStringLiteral("zxzb.html"));
    QFile f(layout);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<p>项目：{{VarC}}</p>");
    f.close();
    coordinates::QtReportPrinter printer(nullptr, layout);
    const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
    printer.SetPdfPath(pdf);
    coordinates::ReportData data;
    data.rows = MakeRows(300, "r");  // several pages
    std::string error;
    QVERIFY2(printer.ShowReport(data, &error), error.c_str());
    QFile out(pdf);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QVERIFY(out.read(5) == "%PDF-");
    data.rows.clear();  // an empty table prints an empty report
    QVERIFY(printer.ShowReport(data, &error));

    coordinates::QtReportPrinter missing(nullptr, dir.filePath(QStringLiteral("none.html")));
    QVERIFY(!missing.ShowReport(data, &error));
    QVERIFY(QString::fromStdString(error).contains(QStringLiteral("none.html")));
  }

  // The report values are texts with meaningful blanks (two between the x and y of a point,
  // one before a non-negative number); the delivered layouts must show them as they are.
  void deliveredLayoutsShowTheValuesWithTheirBlanks() {
    coordinates::ReportValues values;
    values[1] = " 55° 56′ 59″";
    values[2] = " 875.262";
    values[5] = "x: 46722.855  y:-7619.616";
    values[6] = "x: 47307.8854  y:-7992.9398";
    for (const auto& [program, file] : {std::pair{"tallyfen", "zb.html"}, std::pair{"marlowby", "zxzb.html"}}) {
      QFile f(coordinates::ReportLayoutPath(QString::fromLatin1(program), QString::fromLatin1(file)));
      QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
      const QByteArray layout = f.readAll();
      const std::string html =
          coordinates::FillReportLayout(std::string_view(layout.constData(), static_cast<std::size_t>(layout.size())), values);
      QTextDocument doc;
      doc.setHtml(QString::fromStdString(html));
      const QString shown = doc.toPlainText();
      for (const std::string& v : {values[1], values[2], values[5], values[6]}) {
        QVERIFY2(shown.contains(QString::fromStdString(v)), qPrintable(QString::fromLatin1(file) + QStringLiteral(": ") + QString::fromStdString(v)));
      }
    }
  }

  void previewPaintsThroughThePresenter() {
    QTemporaryDir dir;
    const QString layout = dir.filePath(QStringLiteral("zb.html"));
    QFile f(layout);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<p>{{r}}</p>");
    f.close();
    int painted = 0;
    coordinates::SetPreviewPresenter([&](QWidget*, const std::function<void(QPrinter*)>& paint) {
      QPrinter printer;
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(dir.filePath(QStringLiteral("p.pdf")));
      paint(&printer);
      ++painted;
    });
    coordinates::QtReportPrinter printer(nullptr, layout);
    std::string error;
    QVERIFY(printer.ShowReport({}, &error));
    coordinates::SetPreviewPresenter({});
    QCOMPARE(painted, 1);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("p.pdf"))));
  }
};

int main(int argc, char** argv) {
  if (argc == 4 && QByteArray(argv[1]) == "--child-write") {
    QCoreApplication app(argc, argv);
    return ChildWriteAndDie(QString::fromLocal8Bit(argv[2]), std::stoul(argv[3]));
  }
  QApplication app(argc, argv);
  StakeTableStoreTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "stake_table_store_test.moc"
