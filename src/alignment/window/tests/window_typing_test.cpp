// The alignment window's grids typed into with real keys, as a surveyor fills a table: moving
// on, adding rows, fill down, rows inserted and deleted at the cursor, pasted blocks.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <sys/stat.h>
#include <sstream>

#include "alignment/cli/program.h"
#include "alignment/window/main_window.h"
#include "alignment/window/project_file.h"
#include "alignment/window/report.h"
#include "platform/testing/pdf_columns.h"

using namespace survey::alignment::window;
using survey::alignment::cli::RunBatch;

#include "alignment/window/tests/window_fixture.h"

using namespace window_fixture;

class AlignmentWindowTypingTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { qputenv("SURVEY_DATA_HOME", dir_.path().toUtf8()); }
  // Typed through the view with real keys, as a surveyor fills a new JD table: the starter pair,
  // Tab and Enter moving on with typing continuing in the cell reached, a row added by typing
  // below the last. A commit that reset the view once lost every key after the first cell.
  void TypingThroughTheViewFillsTheTable() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral("commitData|editor")));
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    QTableView* view = w.SourceView(TableId::Jd);
    SourceGridModel* m = w.Model(TableId::Jd);
    // The starter pair: two blank rows hinted QD and ZD, no row in the table itself.
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(m->data(m->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("QD"));
    QCOMPARE(m->data(m->index(1, 0), Qt::DisplayRole).toString(), QStringLiteral("ZD"));
    QVERIFY(w.Form().Table(TableId::Jd).empty());
    w.show();
    w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentWidget(view);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    view->setFocus();
    view->setCurrentIndex(m->index(0, 0));
    // Keys go where the keyboard is: the open editor, or the view between cells.
    const auto type = [](const QString& text) {
      for (QChar c : text) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    };
    const auto key = [](Qt::Key k) {
      QTest::keyClick(QApplication::focusWidget(), k);
      QCoreApplication::processEvents();  // Enter commits on the next turn of the event loop
    };
    type(QStringLiteral("QD"));
    key(Qt::Key_Tab);
    type(QStringLiteral("3000"));
    key(Qt::Key_Tab);
    type(QStringLiteral("5000"));
    key(Qt::Key_Return);
    QCOMPARE(view->currentIndex(), m->index(1, 2));  // Enter moved down
    type(QStringLiteral("5400"));
    key(Qt::Key_Return);
    type(QStringLiteral("9000"));  // below the last row: a new row
    key(Qt::Key_Return);
    const Grid expected = {{"QD", "3000", "5000", "", "", ""}, {"", "", "5400", "", "", ""}, {"", "", "9000", "", "", ""}};
    QCOMPARE(w.Form().Table(TableId::Jd), expected);
    QCOMPARE(m->rowCount(), 4);  // three rows and the blank one to type into
    QCOMPARE(view->currentIndex(), m->index(3, 2));
    // Tab past the last column goes on at the next row's first cell.
    view->setCurrentIndex(m->index(1, 5));
    type(QStringLiteral("7"));
    key(Qt::Key_Tab);
    type(QStringLiteral("JD1"));
    key(Qt::Key_Return);
    QCOMPARE(w.Form().Table(TableId::Jd)[1][5], std::string("7"));
    QCOMPARE(w.Form().Table(TableId::Jd)[2][0], std::string("JD1"));
    // Ctrl+Z takes back the last cell, Ctrl+Y and Ctrl+Shift+Z put it back.
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.Form().Table(TableId::Jd)[2][0], std::string());
    QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(w.Form().Table(TableId::Jd)[2][0], std::string("JD1"));
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.Form().Table(TableId::Jd)[2][0], std::string("JD1"));
    QVERIFY(recorder.messages.empty());
  }

  // Ctrl+D fills the selected cells from the top of the selection, one cell from the one above;
  // one undo step each.
  void FillDownCopiesTheTopCell() {
    AlignmentWindow w;
    QTableView* view = w.SourceView(TableId::Jd);
    SourceGridModel* m = w.Model(TableId::Jd);
    m->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    w.show();
    w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentWidget(view);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    view->setFocus();
    view->selectionModel()->select(QItemSelection(m->index(1, 4), m->index(3, 5)), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);
    const Grid& t = w.Form().Table(TableId::Jd);
    for (int r = 1; r <= 3; ++r) {
      QCOMPARE(t[static_cast<std::size_t>(r)][4], std::string("120"));
      QCOMPARE(t[static_cast<std::size_t>(r)][5], std::string());
    }
    QCOMPARE(t[4][4], std::string("120"));  // outside the selection
    QCOMPARE(t[2][3], std::string("800"));
    view->selectionModel()->clearSelection();
    view->setCurrentIndex(m->index(5, 3));
    view->selectionModel()->select(m->index(5, 3), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(w.Form().Table(TableId::Jd)[5][3], std::string("700"));
    w.Undo().undo();
    QCOMPARE(w.Form().Table(TableId::Jd)[5][3], std::string("600"));
    w.Undo().undo();
    QCOMPARE(w.Form().Table(TableId::Jd)[2][4], std::string("100"));
  }

  // Ctrl+Insert puts a blank row at the cursor's row (at the end without a cursor); Ctrl+Delete
  // removes the selected rows, else the cursor's row.
  void InsertAndDeleteRowsWhereTheCursorIs() {
    AlignmentWindow w;
    QTableView* view = w.SourceView(TableId::Jd);
    SourceGridModel* m = w.Model(TableId::Jd);
    m->PasteBlock(0, 0, QString::fromUtf8(kJdBlock));
    w.show();
    w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentWidget(view);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    view->setFocus();
    const auto names = [&w] {
      QStringList out;
      for (const std::vector<std::string>& row : w.Form().Table(TableId::Jd)) out << QString::fromStdString(row[0]);
      return out.join(u' ');
    };
    view->setCurrentIndex(QModelIndex());
    QTest::keyClick(view, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(names(), QStringLiteral("QD JD1 JD2 JD3 JD4 JD5 ZD "));
    view->setCurrentIndex(m->index(2, 1));
    QTest::keyClick(view, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(names(), QStringLiteral("QD JD1  JD2 JD3 JD4 JD5 ZD "));
    view->selectionModel()->select(QItemSelection(m->index(4, 0), m->index(5, 2)), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(names(), QStringLiteral("QD JD1  JD2 JD5 ZD "));
    view->selectionModel()->clearSelection();
    view->setCurrentIndex(m->index(2, 0));
    view->selectionModel()->clearSelection();
    QTest::keyClick(view, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(names(), QStringLiteral("QD JD1 JD2 JD5 ZD "));
  }

  // A block copied with its header row: the header is skipped, the data kept, wherever it lands.
  void PasteSkipsAHeaderRow_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("first");  // the first pasted row's cells from `column`, tab-separated
    QTest::addColumn<int>("rows");
    QTest::newRow("titles") << 0 << "点名\tX (m)\tY (m)\tR (m)\tLs1 (m)\tLs2 (m)\nQD\t3000\t5000\nZD\t3600\t5400" << "QD\t3000\t5000" << 2;
    QTest::newRow("keys") << 0 << "name,x,y\nQD\t3000\t5000" << "QD\t3000\t5000" << 1;
    QTest::newRow("own words") << 0 << "交点\t北坐标\t东坐标\nQD\t3000\t5000" << "QD\t3000\t5000" << 1;
    QTest::newRow("at a column") << 1 << "X\tY\n3000\t5000\n3600\t5400" << "3000\t5000" << 2;
    QTest::newRow("no header") << 0 << "QD\t3000\t5000\nZD\t3600\t5400" << "QD\t3000\t5000" << 2;
    QTest::newRow("single line kept") << 0 << "X1\tX\tY" << "X1\tX\tY" << 1;
    QTest::newRow("text only: kept") << 1 << "X\tY\nX\tY" << "X\tY" << 2;
  }
  void PasteSkipsAHeaderRow() {
    QFETCH(int, column);
    QFETCH(QString, block);
    QFETCH(QString, first);
    QFETCH(int, rows);
    AlignmentWindow w;
    w.Model(TableId::Jd)->PasteBlock(0, column, block.replace(QLatin1Char(','), QLatin1Char('\t')));
    const Grid& t = w.Form().Table(TableId::Jd);
    QCOMPARE(static_cast<int>(t.size()), rows);
    QStringList cells;
    for (std::size_t c = static_cast<std::size_t>(column); c < t[0].size(); ++c) cells << QString::fromStdString(t[0][c]);
    while (!cells.isEmpty() && cells.last().isEmpty()) cells.removeLast();
    QCOMPARE(cells.join(QLatin1Char('\t')), first);
  }

 private:
  QTemporaryDir dir_;
};

QTEST_MAIN(AlignmentWindowTypingTest)
#include "window_typing_test.moc"
