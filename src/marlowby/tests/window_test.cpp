#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "coordinates/report_printing.h"
#include "fennick/kestrel_command.h"
#include "marlowby/window.h"
#include "platform/qt_host.h"

using marlowby::Form1;

class WindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Db() const { return dir_.filePath(QStringLiteral("zxzb.db")); }

  static QLineEdit* Field(QWidget& w, int n) { return w.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n)); }
  static void Click(QWidget& w, int n) {
    auto* b = w.findChild<fennick::KestrelCommand*>(QStringLiteral("KestrelCommand%1").arg(n));
    QVERIFY(b);
    emit b->Click();
  }

 private slots:
  void initTestCase() { qputenv("SURVEY_DATA_HOME", dir_.path().toUtf8()); }

  void controlsCarryTheirNamesAndCaptions() {
    Form1 w(nullptr, Db());
    QCOMPARE(w.size(), QSize(661, 309));
    const char* captions[] = {"计  算", "打  印", "导  出", "加  桩", "打  开", "保  存"};
    for (int n = 1; n <= 6; ++n) {
      auto* b = w.findChild<fennick::KestrelCommand*>(QStringLiteral("KestrelCommand%1").arg(n));
      QVERIFY2(b, qPrintable(QString::number(n)));
      QCOMPARE(b->Caption(), QString::fromUtf8(captions[n - 1]));
    }
    QCOMPARE(Field(w, 1)->text(), QStringLiteral("46276.097"));
    QCOMPARE(Field(w, 9)->text(), QString());
    QCOMPARE(Field(w, 10)->geometry(), QRect(160, 130, 33, 18));
    QVERIFY(w.findChild<QTableView*>(QStringLiteral("MSFlexGrid1")));
  }

  void enterMovesOnInTheFirstEightFieldsOnly() {
    Form1 w(nullptr, Db());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (int n = 1; n <= 8; ++n) {
      Field(w, n)->setFocus();
      QTest::keyClick(Field(w, n), Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget(), Field(w, n + 1));
    }
    Field(w, 10)->setFocus();
    QTest::keyClick(Field(w, 10), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), Field(w, 10));
    QCOMPARE(Field(w, 8)->text(), QStringLiteral("4734"));  // nothing typed by Enter
  }

  void doubleClickEmptiesAndTheComputeThenRefuses() {
    platform::MessageRecorder recorder;
    Form1 w(nullptr, Db());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseDClick(Field(w, 7), Qt::LeftButton);
    QCOMPARE(Field(w, 7)->text(), QString());
    QCOMPARE(QApplication::focusWidget(), Field(w, 7));
    Click(w, 1);
    QCOMPARE(recorder.messages.size(), size_t(1));
    QCOMPARE(recorder.messages[0].text, std::string("你输入所有数据了吗？\r\n请重新输入。"));
    // Text10 keeps its text on a double click.
    QTest::mouseDClick(Field(w, 10), Qt::LeftButton);
    QCOMPARE(Field(w, 10)->text(), QStringLiteral("0"));
  }

  void computeFillsAndColoursTheGridAndCloseEmptiesIt() {
    platform::MessageRecorder recorder;
    {
      Form1 w(nullptr, Db());
      Click(w, 1);
      QCOMPARE(recorder.messages.back().text, std::string("计算成功！\r\n你可以再进行加桩计算，也可以打印。"));
      auto* grid = w.findChild<QTableView*>(QStringLiteral("MSFlexGrid1"));
      QAbstractItemModel* model = grid->model();
      QCOMPARE(model->rowCount(), 294);
      QCOMPARE(model->columnCount(), 7);
      QCOMPARE(model->index(293, 0).data().toString(), QStringLiteral("4734"));
      QCOMPARE(model->index(0, 3).data().toString(), QStringLiteral("46276.097"));
      for (int c = 0; c < 7; ++c) {
        QCOMPARE(model->index(0, c).data(Qt::BackgroundRole).value<QColor>(), QColor(128, 255, 128));
        QCOMPARE(model->index(1, c).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 255, 255));
        QCOMPARE(model->index(292, c).data(Qt::BackgroundRole).value<QColor>(), QColor(128, 255, 128));
      }
      // MARLOWBY_SHOT names a PNG to look at the computed window (kept out of the tests' checks).
      if (const QString shot = qEnvironmentVariable("MARLOWBY_SHOT"); !shot.isEmpty()) {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.grab().save(shot);
      }
      // A second window on the same file (another copy) opens on the table as stored.
      Form1 other(nullptr, Db());
      QCOMPARE(other.findChild<QTableView*>(QStringLiteral("MSFlexGrid1"))->model()->rowCount(), 294);
      w.close();
      other.close();
    }
    Form1 reopened(nullptr, Db());
    QCOMPARE(reopened.findChild<QTableView*>(QStringLiteral("MSFlexGrid1"))->model()->rowCount(), 0);
  }

  // National-grid coordinates (7 and 8 digits before the point) are never cut: every column is
  // at least as wide as its longest text and as its laid-out width, the grid scrolls sideways,
  // and the headings stay over their columns.
  void gridColumnsShowEveryNumberWhole() {
    platform::MessageRecorder recorder;
    Form1 w(nullptr, Db());
    auto* grid = w.findChild<QTableView*>(QStringLiteral("MSFlexGrid1"));
    std::vector<int> laidOut;
    for (int c = 0; c < 7; ++c) laidOut.push_back(grid->columnWidth(c));
    const char* values[] = {"3456789.123", "-38512352.012", "3457789.123", "-38511352.012", "10", "12.5", "0", "200"};
    for (int n = 1; n <= 8; ++n) Field(w, n)->setText(QString::fromLatin1(values[n - 1]));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Click(w, 1);
    QAbstractItemModel* model = grid->model();
    QVERIFY(model->rowCount() > 10);
    QCOMPARE(model->index(0, 4).data().toString(), QStringLiteral("-38512352.012"));
    const QFontMetrics metrics(grid->font());
    for (int c = 0; c < 7; ++c) {
      QVERIFY(grid->columnWidth(c) >= laidOut[static_cast<std::size_t>(c)]);
      for (int r = 0; r < model->rowCount(); ++r) {
        const QString text = model->index(r, c).data().toString();
        // The text, its margins (2 and 1) and the grid line.
        QVERIFY2(grid->columnWidth(c) >= metrics.horizontalAdvance(text) + 4, qPrintable(text));
        QCOMPARE(model->index(r, c).data(Qt::ToolTipRole).toString(), text);
      }
    }
    QTRY_VERIFY(grid->horizontalScrollBar()->maximum() > 0);
    // The headings stand over their columns, 7 pixels in, as laid out; scrolled to the right end,
    // the first column's heading is gone with its column.
    const auto heading = [&](int c) { return w.findChild<QLabel*>(QStringLiteral("Label%1").arg(13 + c)); };
    const auto columnLeft = [&](int c) { return grid->viewport()->mapTo(&w, QPoint(grid->columnViewportPosition(c), 0)).x(); };
    for (int c = 0; c < 7; ++c) {
      if (!heading(c)->isVisible()) continue;
      QCOMPARE(heading(c)->x(), columnLeft(c) + 7);
    }
    QVERIFY(heading(0)->isVisible());
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    QVERIFY(!heading(0)->isVisible());
    QVERIFY(heading(6)->isVisible());
    QCOMPARE(heading(6)->x(), columnLeft(6) + 7);
    // A computation with short numbers brings the laid-out widths back.
    for (int n = 1; n <= 4; ++n) Field(w, n)->setText(QString::number(n * 10));
    Click(w, 1);
    for (int c = 0; c < 7; ++c) QCOMPARE(grid->columnWidth(c), laidOut[static_cast<std::size_t>(c)]);
    w.close();
  }

  void saveAndOpenGoThroughTheFileDialogs() {
    platform::MessageRecorder recorder;
    const QString path = dir_.filePath(QStringLiteral("坐标参数.xq"));
    platform::SetFileChooser([&](QWidget*, bool, const survey::FileRequest&) { return path; });
    Form1 w(nullptr, Db());
    Field(w, 9)->setText(QStringLiteral("2000"));
    Click(w, 6);
    QCOMPARE(recorder.messages.back().text, std::string("保存成功"));
    Field(w, 1)->setText(QStringLiteral("1"));
    Field(w, 9)->clear();
    Click(w, 5);
    QCOMPARE(recorder.messages.back().text, std::string("打开文件成功"));
    QCOMPARE(Field(w, 1)->text(), QStringLiteral("46276.097"));
    QCOMPARE(Field(w, 9)->text(), QStringLiteral("2000"));
    platform::SetFileChooser({});
  }

  void longComputationFinishesAndExportsWhatTheGridShows() {
    platform::MessageRecorder recorder;
    const QString ly = dir_.filePath(QStringLiteral("直线坐标导出文件.ly"));
    platform::SetFileChooser([&](QWidget*, bool, const survey::FileRequest& r) {
      return r.initialName == "直线坐标导出文件" ? ly : QString();
    });
    Form1 w(nullptr, Db());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Field(w, 7)->setText(QStringLiteral("0"));
    Field(w, 8)->setText(QStringLiteral("99999"));  // the start row and 99,999 stakes: the row cap
    Field(w, 5)->setText(QStringLiteral("1"));
    Click(w, 1);
    QCOMPARE(w.findChild<QTableView*>(QStringLiteral("MSFlexGrid1"))->model()->rowCount(), 100000);
    QVERIFY(w.isEnabled());
    Click(w, 3);
    platform::SetFileChooser({});
    QCOMPARE(recorder.messages.back().text, std::string("导出成功"));
    QFile f(ly);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll().count("\r\n"), 100000);
    w.close();
  }

  void printShowsThePreviewOfTheTable() {
    platform::MessageRecorder recorder;
    int previews = 0;
    coordinates::SetPreviewPresenter([&](QWidget*, const std::function<void(QPrinter*)>&) { ++previews; });
    Form1 w(nullptr, Db());
    Click(w, 2);
    coordinates::SetPreviewPresenter({});
    QCOMPARE(previews, 1);
    QVERIFY(recorder.messages.empty());
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
