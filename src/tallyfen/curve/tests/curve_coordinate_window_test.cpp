#include "tallyfen/curve/curve_coordinate_window.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "fennick/factory.h"

namespace {

using fennick::KestrelCommand;
using tallyfen::CurveCoordinateWindow;

QLineEdit* Field(QWidget& w, int i) { return w.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(i)); }
QRadioButton* Option(QWidget& w, int i) { return w.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(i)); }
QTableView* Grid(QWidget& w) { return w.findChild<QTableView*>(QStringLiteral("MSFlexGrid1")); }
int GridRows(QWidget& w) { return Grid(w)->model()->rowCount(); }
QString Cell(QWidget& w, int row, int column) { return Grid(w)->model()->index(row, column).data().toString(); }

// Clicks a button the way a user does: the pointer moves over it, presses and releases.
void Click(QWidget& window, const char* name) {
  auto* button = window.findChild<KestrelCommand*>(QString::fromLatin1(name));
  QVERIFY2(button != nullptr, name);
  const QPoint at = button->mapTo(&window, QPoint(button->width() / 2, button->height() / 2));
  QTest::mouseMove(window.windowHandle(), QPoint(1, 1));
  QTest::mouseMove(window.windowHandle(), at);
  QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, at);
  QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, at);
}

// While it lives, file dialogs choose `path` and report previews are counted, not shown.
struct FileDialogScope {
  explicit FileDialogScope(const QString& path) : choice(path) {}
  platform::ScopedFileChoice choice;
  int previews = 0;
  coordinates::ScopedPreviewPresenter presenter{[this](QWidget*, const std::function<void(QPrinter*)>&) { ++previews; }};
};

}  // namespace

class CurveCoordinateWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    qputenv("SURVEY_DATA_HOME", home_.path().toUtf8());
  }

  void init() {
    window_ = std::make_unique<CurveCoordinateWindow>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }

  void cleanup() {
    if (window_) window_->close();
    window_.reset();
  }

  // The fields start from the defaults; typed texts reach the form under their fields, the
  // computed rows the grid.
  void computeFillsTheGrid() {
    platform::MessageRecorder messages;
    QCOMPARE(window_->objectName(), QStringLiteral("qxForm1"));
    const char* defaults[] = {"46722.855", "-7619.616", "47307.8854", "-7992.9398", "875.262", "55.5659",
                              "1250",      "0",         "",           "0",          "用鼠标双击后输入工程名称", ""};
    for (int i = 1; i <= 12; ++i) QCOMPARE(Field(*window_, i)->text(), QString::fromUtf8(defaults[i - 1]));
    QCOMPARE(Field(*window_, 11)->palette().color(QPalette::Text), QColor(Qt::red));
    QVERIFY(Option(*window_, 1)->isChecked());
    const char* worked[] = {"1000", "2000", "1116.0018", "2116.0018", "1003.5", "30.0000", "500", "60", "", "5"};
    for (int i = 1; i <= 10; ++i) Field(*window_, i)->setText(QString::fromLatin1(worked[i - 1]));
    Option(*window_, 2)->setChecked(true);
    Click(*window_, "Command1");
    QCOMPARE(GridRows(*window_), 37);
    const char* row[] = {"1010", "1008.133", "2001.064", "1004.595", "2004.597", "1001.057", "2008.13"};
    for (int c = 0; c < 7; ++c) QCOMPARE(Cell(*window_, 1, c), QString::fromLatin1(row[c]));
  }

  // Tab goes on from the last field to the buttons, row by row; Enter on "计  算" computes.
  void keyboardReachesTheButtons() {
    platform::MessageRecorder messages;
    const char* worked[] = {"1000", "2000", "1116.0018", "2116.0018", "1003.5", "30.0000", "500", "60", "", "5"};
    for (int i = 1; i <= 10; ++i) Field(*window_, i)->setText(QString::fromLatin1(worked[i - 1]));
    QApplication::setActiveWindow(window_.get());
    Field(*window_, 12)->setFocus();
    QTRY_VERIFY(Field(*window_, 12)->hasFocus());
    for (const char* name : {"KestrelCommand1", "bCommand1", "Command6", "Command4", "Command2", "Command3", "Command1"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(GridRows(*window_), 37);
  }

  // A double click empties a field, "计  算" writes Ls 0 back, "加  桩" appends, "清  空" keeps
  // offset and names, closing empties the table: a new window starts without rows.
  void handlersThroughTheirButtons() {
    platform::MessageRecorder messages;
    QTest::mouseDClick(Field(*window_, 8), Qt::LeftButton);
    QCOMPARE(Field(*window_, 8)->text(), QString());
    QVERIFY(Field(*window_, 8)->hasFocus());
    Click(*window_, "Command1");
    QCOMPARE(Field(*window_, 8)->text(), QStringLiteral("0"));
    Field(*window_, 9)->setText(QStringLiteral("900"));
    Click(*window_, "Command3");
    QCOMPARE(GridRows(*window_), 126);
    QCOMPARE(Cell(*window_, 125, 0), QStringLiteral("加桩900"));
    Field(*window_, 10)->setText(QStringLiteral("5"));
    Click(*window_, "Command2");
    for (int i = 1; i <= 12; ++i) QCOMPARE(Field(*window_, i)->text().isEmpty(), (i <= 9 && i != 8) || i == 12);
    QCOMPARE(Field(*window_, 8)->text(), QStringLiteral("0"));
    Click(*window_, "Command1");
    QVERIFY(messages.messages.back().refusal);
    QCOMPARE(GridRows(*window_), 126);
    window_->close();
    QCOMPARE(GridRows(*window_), 0);
    window_ = std::make_unique<CurveCoordinateWindow>();
    window_->show();
    Field(*window_, 9)->setText(QStringLiteral("900"));
    Click(*window_, "Command3");
    QCOMPARE(GridRows(*window_), 1);
  }

  // Each file button runs its own command: what it shows tells which one ran.
  void fileButtonsSaveOpenExportPrint() {
    platform::MessageRecorder messages;
    const QString path = home_.filePath(QStringLiteral("curve.xq"));
    FileDialogScope dialogs(path);
    Click(*window_, "Command1");
    const std::pair<const char*, const char*> buttons[] = {
        {"bCommand1", "保存成功"}, {"KestrelCommand1", "打开文件成功"}, {"Command6", "导出成功"}};
    for (const auto& [name, shown] : buttons) {
      Click(*window_, name);
      QCOMPARE(QString::fromStdString(messages.messages.back().text), QString::fromUtf8(shown));
    }
    Click(*window_, "Command4");
    QCOMPARE(dialogs.previews, 1);
  }

  // The grid's context menu writes the CASS list: east before north, GBK, named by station.
  void gridMenuExportsACassPointList() {
    platform::MessageRecorder messages;
    const QString path = home_.filePath(QStringLiteral("curve.dat"));
    FileDialogScope dialogs(path);
    const char* worked[] = {"1000", "2000", "1116.0018", "2116.0018", "1003.5", "30.0000", "500", "60", "", "5"};
    for (int i = 1; i <= 10; ++i) Field(*window_, i)->setText(QString::fromLatin1(worked[i - 1]));
    Option(*window_, 2)->setChecked(true);
    Click(*window_, "Command1");
    auto* action = Grid(*window_)->findChild<QAction*>(QStringLiteral("exportCassAction"));
    QVERIFY(action);
    QCOMPARE(Grid(*window_)->contextMenuPolicy(), Qt::ActionsContextMenu);
    action->trigger();
    QCOMPARE(QString::fromStdString(messages.messages.back().text), QStringLiteral("导出成功"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Row 1 of the grid: 1010, left 1008.133/2001.064, centre 1004.595/2004.597.
    QVERIFY2(bytes.contains("\r\nK1+010,,2004.597,1004.595,\r\nK1+010\xD7\xF3" "5,,2001.064,1008.133,\r\n"),
             bytes.left(200).constData());
    QCOMPARE(bytes.count("\r\n"), 37 * 3);
  }

 private:
  QTemporaryDir home_;
  std::unique_ptr<CurveCoordinateWindow> window_;
};

QTEST_MAIN(CurveCoordinateWindowTest)
#include "curve_coordinate_window_test.moc"
