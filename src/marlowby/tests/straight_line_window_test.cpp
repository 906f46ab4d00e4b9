#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "fennick/kestrel_command.h"
#include "marlowby/straight_line_window.h"
#include "platform/testing/pdf_columns.h"

using marlowby::StraightLineWindow;

class WindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  platform::MessageRecorder recorder_;
  QString Db() const { return dir_.filePath(QStringLiteral("zxzb.db")); }
  static QLineEdit* Field(QWidget& w, int n) { return w.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n)); }
  static QTableView* Grid(QWidget& w) { return w.findChild<QTableView*>(QStringLiteral("MSFlexGrid1")); }
  static QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  static void Click(QWidget& w, int n) {
    auto* b = w.findChild<fennick::KestrelCommand*>(QStringLiteral("KestrelCommand%1").arg(n));
    QVERIFY(b);
    emit b->Click();
  }

 private slots:
  // Each field is bound to its own member (the saved file lists them in the file's order).
  // Enter moves on from Text1 .. Text8; a double click empties Text1 .. Text9.
  void fieldsAreBoundByObjectName() {
    const QString path = dir_.filePath(QStringLiteral("坐标参数.xq"));
    StraightLineWindow w(nullptr, Db());
    {
      platform::ScopedFileChoice choice(path);
      for (int n = 1; n <= 10; ++n) Field(w, n)->setText(QString::number(n));
      Click(w, 6);
      for (int n = 1; n <= 10; ++n) Field(w, n)->setText(QStringLiteral("x"));
      Click(w, 5);
    }
    QCOMPARE(Read(path), QByteArray("[zxzb]\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n"));
    for (int n = 1; n <= 10; ++n) QCOMPARE(Field(w, n)->text(), QString::number(n));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (int n : {1, 8, 10}) {
      Field(w, n)->setFocus();
      QTest::keyClick(Field(w, n), Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget(), Field(w, n == 10 ? 10 : n + 1));
    }
    for (int n : {9, 10}) QTest::mouseDClick(Field(w, n), Qt::LeftButton);
    QCOMPARE(Field(w, 9)->text() + Field(w, 10)->text(), QStringLiteral("10"));
  }

  // The grid shows the table; the program's batch run meanwhile has a table of its own, writes
  // its files and prints the lines; the window's close empties its table.
  // At its opening size the grid shows 右边桩Y only after scrolling; a larger window gives the
  // grid the room, the fields stay where they are.
  void gridGrowsWithTheWindow() {
    StraightLineWindow w(nullptr, Db());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Coordinates of a national grid: eight digits before the point, as wide as columns get.
    for (const auto& [n, text] : {std::pair{1, "3456789.123"}, {2, "51234567.8"}, {3, "3456889.123"}, {4, "51234667.8"}})
      Field(w, n)->setText(QString::fromLatin1(text));
    Click(w, 1);
    QTableView* grid = Grid(w);
    const QRect field = Field(w, 1)->geometry();
    const auto lastColumnShown = [grid] {
      const int last = grid->model()->columnCount() - 1;
      return grid->columnViewportPosition(last) + grid->columnWidth(last) <= grid->viewport()->width();
    };
    QCOMPARE(grid->geometry().topLeft(), QPoint(208, 24));
    QCOMPARE(grid->geometry().bottomRight(), QPoint(w.width() - 1, w.height() - 1));
    QVERIFY(!lastColumnShown());
    w.resize(w.width() + 400, w.height() + 300);
    QTRY_COMPARE(grid->geometry().bottomRight(), QPoint(w.width() - 1, w.height() - 1));
    QCOMPARE(grid->geometry().topLeft(), QPoint(208, 24));
    QTRY_VERIFY(lastColumnShown());
    QCOMPARE(Field(w, 1)->geometry(), field);
    // Never smaller than the layout of its fields and buttons.
    w.resize(100, 100);
    QTRY_COMPARE(w.size(), w.minimumSize());
  }

  // Tab goes on from the last field to the buttons, row by row; Space on "计  算" computes.
  void keyboardReachesTheButtons() {
    StraightLineWindow w(nullptr, Db());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    Field(w, 10)->setFocus();
    QTRY_VERIFY(Field(w, 10)->hasFocus());
    for (const int n : {1, 4, 5, 3, 2, 6}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("KestrelCommand%1").arg(n));
    }
    for (int i = 0; i < 5; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("KestrelCommand1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(Grid(w)->model()->rowCount(), 294);
  }

  void gridShowsTheTableWhichBatchRunsLeaveAlone() {
    {
      StraightLineWindow w(nullptr, Db());
      Click(w, 1);
      QCOMPARE(Grid(w)->model()->rowCount(), 294);
      QProcess p;
      const QString ly = dir_.filePath(QStringLiteral("直线.ly")), pdf = dir_.filePath(QStringLiteral("r.pdf"));
      p.start(QStringLiteral(MARLOWBY_PROGRAM), {QStringLiteral("--end-station=1830"), QStringLiteral("--export"), ly,
                                                  QStringLiteral("--report"), pdf});
      QVERIFY(p.waitForFinished(60000));
      QCOMPARE(p.readAllStandardError() + p.readAllStandardOutput(),
               QByteArray("1810.791, , ,46276.097,-4532.808, , \n1820, , ,46272.054,-4524.534, , \n1830, , ,46267.664,-4515.549, , \n"));
      QCOMPARE(Read(ly).count("\r\n"), 3);
      // The report reads back as printed: headings with 中心 and 项目, the stations.
      QString error;
      const QString text = platform::testing::PdfPlainText(pdf, &error).remove(QLatin1Char(' '));
      QVERIFY2(error.isEmpty(), qPrintable(error));
      for (const char* printed : {"直线中边桩坐标计算表", "项目名称：", "中心桩X", "制表人：", "1810.791", "-4515.549", "第1页"})
        QVERIFY2(text.contains(QString::fromUtf8(printed)), printed);
      StraightLineWindow other(nullptr, Db());
      QCOMPARE(Grid(other)->model()->rowCount(), 294);
      w.close();
    }
    StraightLineWindow reopened(nullptr, Db());
    QCOMPARE(Grid(reopened)->model()->rowCount(), 0);
  }

  // The grid's context menu writes the CASS list (east before north, GBK on disk); the batch
  // option writes the same list.
  void gridMenuExportsACassPointList() {
    const QString dat = dir_.filePath(QStringLiteral("直线.dat"));
    StraightLineWindow w(nullptr, Db());
    Field(w, 6)->setText(QStringLiteral("5"));
    Field(w, 8)->setText(QStringLiteral("1830"));
    Click(w, 1);
    auto* action = Grid(w)->findChild<QAction*>(QStringLiteral("exportCassAction"));
    QVERIFY(action);
    QVERIFY(Grid(w)->actions().contains(action));
    QCOMPARE(Grid(w)->contextMenuPolicy(), Qt::ActionsContextMenu);
    {
      platform::ScopedFileChoice choice(dat);
      action->trigger();
    }
    const QByteArray expected("K1+810.791,,-4532.808,46276.097,\r\n"
                              "K1+810.791\xD7\xF3" "5,,-4530.613,46280.589,\r\n");
    QVERIFY2(Read(dat).startsWith(expected), Read(dat).constData());
    QCOMPARE(Read(dat).count("\r\n"), 9);

    const QString batchDat = dir_.filePath(QStringLiteral("batch.dat"));
    QProcess p;
    p.start(QStringLiteral(MARLOWBY_PROGRAM), {QStringLiteral("--offset=5"), QStringLiteral("--end-station=1830"),
                                                QStringLiteral("--export-cass"), batchDat});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(Read(batchDat), Read(dat));
    w.close();
  }
};

QTEST_MAIN(WindowTest)
#include "straight_line_window_test.moc"
