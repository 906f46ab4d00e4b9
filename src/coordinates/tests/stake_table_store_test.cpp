#include <QApplication>
#include <QFile>
#include <QHeaderView>
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
  // Rows come back in their order, NULL and a single blank apart, after a reopen; the file's
  // table has its seven text columns; a second store on the file sees each commit.
  void rowsSurviveReopeningInOrderWithNulls() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zxzb.db"));
    const std::vector<StakeRecord> rows = {
        {"875.262", std::nullopt, std::nullopt, "46722.855", "-7619.616", std::nullopt, std::nullopt},
        {"1810.791", " ", " ", "46276.097", "-4532.808", " ", " "},
        {"加桩1000.5", "1", "2", "3", "4", "5", "6"}};
    {
      SqliteStakeTable table(path);
      QVERIFY2(table.IsOpen(), table.LastError().c_str());
      QVERIFY(table.Replace({rows[0], rows[1]}, {}));
      QVERIFY(table.Append(rows[2]));
    }
    SqliteStakeTable reopened(path), second(path);
    std::vector<StakeRecord> back;
    QVERIFY(reopened.ReadRows(back));
    QCOMPARE(back, rows);
    QVERIFY(second.Clear() && reopened.ReadRows(back));
    QVERIFY(back.empty());
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
      db.setDatabaseName(path);
      QVERIFY(db.open());
      QSqlQuery q(db);
      QVERIFY(q.exec(QStringLiteral("SELECT group_concat(name || ' ' || type) FROM pragma_table_info('zbb')")) && q.next());
      QCOMPARE(q.value(0).toString(), QStringLiteral("zh TEXT,zbx TEXT,zby TEXT,zx TEXT,zy TEXT,ybx TEXT,yby TEXT"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
  }

  // A cancel, a killed writer and a damaged file: the old rows, or a failure with its reason,
  // never a part of a table.
  void failedWritesAndReadsLoseNoRowSilently() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zxzb.db"));
    {
      SqliteStakeTable table(path);
      QVERIFY(table.Replace(MakeRows(294, "old"), {}));
      std::size_t calls = 0;
      QVERIFY(!table.Replace(MakeRows(10000, "new"), [&](std::size_t done, std::size_t) { return ++calls, done < 4000; }));
      QCOMPARE(calls, std::size_t(2));
    }
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-write"), path, QStringLiteral("20000")});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    std::vector<StakeRecord> rows;
    {
      SqliteStakeTable table(path);
      QVERIFY(table.ReadRows(rows));
      QCOMPARE(rows, MakeRows(294, "old"));
      QVERIFY(table.Replace(MakeRows(20000, "row"), {}));
    }  // closing checkpoints the log into the file
    {
      QFile file(path);
      QVERIFY(file.open(QIODevice::ReadWrite) && file.size() > 200000);
      // Garbage over pages of the second half, leaving the header and the schema intact.
      for (qint64 at = file.size() / 2; at < file.size() - 4096; at += 4096 * 3) {
        file.seek(at);
        file.write(QByteArray(4096, '\xA5'));
      }
    }
    SqliteStakeTable damaged(path);
    QVERIFY2(damaged.IsOpen(), damaged.LastError().c_str());
    QVERIFY(!damaged.ReadRows(rows));
    QVERIFY(rows.empty() && !damaged.LastError().empty());
    SqliteStakeTable nowhere(QStringLiteral("/proc/no/such/dir/zb.db"));
    QVERIFY(!nowhere.IsOpen() && !nowhere.LastError().empty());
    QVERIFY(!nowhere.Replace(MakeRows(1, "x"), {}) && !nowhere.ReadRows(rows));
  }

  // No header row or column; a field without value shows empty, a blank as a blank.
  void gridShowsSevenColumnsAndAlternatingColours() {
    coordinates::StakeTableModel model;
    QTableView view;
    coordinates::ConfigureStakeGrid(&view, &model);
    model.SetRows({{"875.262", std::nullopt, std::nullopt, "1", "2", std::nullopt, std::nullopt}, {"880", " ", " ", "3", "4", " ", " "}});
    QVERIFY(model.rowCount() == 2 && model.columnCount() == 7);
    QVERIFY(view.horizontalHeader()->isHidden() && view.verticalHeader()->isHidden());
    QCOMPARE(model.index(0, 0).data().toString() + "|" + model.index(0, 1).data().toString() + "|" + model.index(1, 1).data().toString(),
             QStringLiteral("875.262|| "));
    QCOMPARE(model.index(0, 6).data(Qt::BackgroundRole).value<QColor>(), QColor(128, 255, 128));
    QCOMPARE(model.index(1, 6).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 255, 255));
  }

  // National-grid coordinates widen their columns (never below the laid-out widths) rather
  // than being cut; a short table brings the laid-out widths back.
  void columnsWidenToTheirLongestNumber() {
    coordinates::StakeTableModel model;
    QTableView view;
    coordinates::ConfigureStakeGrid(&view, &model);
    const std::vector<int> laidOut(7, 40);
    coordinates::KeepStakeColumnsWhole(&view, laidOut);
    model.SetRows({{"1850", "3456789.123", "-38512352.012", "3457789.123", "-38511352.012", "1", "2"}});
    const QFontMetrics metrics(view.font());
    for (int c = 0; c < 7; ++c) {
      const QString text = model.index(0, c).data().toString();
      QVERIFY2(view.columnWidth(c) >= std::max(40, metrics.horizontalAdvance(text) + 4), qPrintable(text));
    }
    model.SetRows({});
    for (int c = 0; c < 7; ++c) QCOMPARE(view.columnWidth(c), 40);
  }

  void reportGoesToPdfOrThePreviewAndAMissingLayoutIsReported() {
    QTemporaryDir dir;
    QFile layout(dir.filePath(QStringLiteral("zxzb.html")));
    QVERIFY(layout.open(QIODevice::WriteOnly) && layout.write("<p>项目：{{VarC}}</p>") > 0);
    layout.close();
    coordinates::QtReportPrinter printer(nullptr, layout.fileName());
    const QString preview = dir.filePath(QStringLiteral("p.pdf")), pdf = dir.filePath(QStringLiteral("r.pdf"));
    const coordinates::ScopedPreviewPresenter presenter([&](QWidget*, const std::function<void(QPrinter*)>& paint) {
      QPrinter printed;
      printed.setOutputFileName(preview);
      paint(&printed);
    });
    std::string error;
    coordinates::ReportData data;
    QVERIFY(printer.ShowReport(data, &error) && QFile::exists(preview));  // an empty table prints an empty report
    printer.SetPdfFile(pdf.toStdString());
    data.rows = MakeRows(300, "r");  // several pages
    QVERIFY2(printer.ShowReport(data, &error), error.c_str());
    QFile out(pdf);
    QVERIFY(out.open(QIODevice::ReadOnly) && out.read(5) == "%PDF-");
    coordinates::QtReportPrinter missing(nullptr, dir.filePath(QStringLiteral("none.html")));
    QVERIFY(!missing.ShowReport(data, &error) && error.find("none.html") != std::string::npos);
  }

  // The report values are texts with meaningful blanks (two between the x and y of a point,
  // one before a non-negative number); the delivered layouts must show them as they are.
  void deliveredLayoutsShowTheValuesWithTheirBlanks() {
    coordinates::ReportValues values;
    values[1] = " 55° 56′ 59″";
    values[5] = "x: 46722.855  y:-7619.616";
    for (const auto& [program, file] : {std::pair{"tallyfen", "zb.html"}, std::pair{"marlowby", "zxzb.html"}}) {
      QFile f(coordinates::ReportLayoutPath(QString::fromLatin1(program), QString::fromLatin1(file)));
      QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
      QTextDocument doc;
      doc.setHtml(QString::fromStdString(coordinates::FillReportLayout(f.readAll().toStdString(), values)));
      for (const std::string& v : {values[1], values[5]}) QVERIFY2(doc.toPlainText().contains(QString::fromStdString(v)), file);
    }
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
