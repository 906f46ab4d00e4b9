// window_shots DIR: opens the windows of the suite one after another in states worth looking
// at (long national-grid coordinates in the grids, a computed report, the help text) and
// saves a capture of the screen for each as DIR/<name>.png. Run it on a display of its own:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/window_shots /work/shots
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QTextCursor>
#include <QTextEdit>
#include <cstdio>

#include "brannock/curve_deflection_window.h"
#include "dovetree/deflection_window.h"
#include "fennick/kestrel_command.h"
#include "marlowby/straight_line_window.h"
#include "platform/program_setup.h"
#include "platform/qt_host.h"
#include "tallyfen/curve/curve_coordinate_window.h"

namespace {

QString outDir;

void Wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

bool Capture(QWidget& window, const QString& name) {
  window.move(20, 20);
  window.show();
  window.raise();
  window.activateWindow();
  Wait(700);
  const QRect frame = window.frameGeometry().adjusted(-4, -4, 4, 4);
  const QPixmap shot = window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
  const QString path = QDir(outDir).filePath(name + QStringLiteral(".png"));
  const bool ok = shot.save(path);
  std::printf("%s %s\n", ok ? "saved" : "FAILED", qPrintable(path));
  return ok;
}

void Fill(QWidget& w, const std::vector<const char*>& values) {
  for (std::size_t i = 0; i < values.size(); ++i)
    w.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(i + 1))->setText(QString::fromUtf8(values[i]));
}

void ClickFloating(QWidget& w, const char* name) { emit w.findChild<fennick::KestrelCommand*>(QLatin1String(name))->Click(); }

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_shots DIR\n");
    return 2;
  }
  outDir = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(outDir);
  QTemporaryDir data;
  qputenv("SURVEY_DATA_HOME", data.path().toUtf8());
  qputenv("SURVEY_LOCK_DIR", data.path().toUtf8());
  platform::MessageRecorder quiet;  // "计算成功！" and the like would block on a modal box
  bool ok = true;

  {
    platform::PrepareApplication(app, QStringLiteral("marlowby"));
    marlowby::StraightLineWindow w(nullptr, QDir(data.path()).filePath(QStringLiteral("zxzb.db")));
    Fill(w, {"3456789.123", "38512352.012", "3457789.123", "38511352.012", "10", "12.5", "0", "200"});
    ClickFloating(w, "KestrelCommand1");
    ok &= Capture(w, QStringLiteral("marlowby-grid-8-digits"));
    auto* grid = w.findChild<QTableView*>(QStringLiteral("MSFlexGrid1"));
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    ok &= Capture(w, QStringLiteral("marlowby-grid-8-digits-scrolled"));
    w.resize(w.width() + 260, w.height() + 200);
    ok &= Capture(w, QStringLiteral("marlowby-grid-larger-window"));
    // The keyboard's way to the buttons: Tab from the last field lands on "计  算".
    w.findChild<QLineEdit*>(QStringLiteral("Text10"))->setFocus();
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    if (QWidget* focused = QApplication::focusWidget()) QApplication::sendEvent(focused, &tab);
    ok &= Capture(w, QStringLiteral("marlowby-button-focus"));
    w.close();
  }
  {
    platform::PrepareApplication(app, QStringLiteral("tallyfen"));
    tallyfen::CurveCoordinateWindow w;
    Fill(w, {"3456789.123", "38512352.012", "3456889.123", "38512452.012"});
    ClickFloating(w, "Command1");
    ok &= Capture(w, QStringLiteral("tallyfen-curve-grid-8-digits"));
    w.close();
  }
  {
    platform::PrepareApplication(app, QStringLiteral("brannock"));
    brannock::CurveDeflectionWindow w;
    Fill(w, {"1000", "30.0000", "500", "60", "855"});
    w.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    w.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    ok &= Capture(w, QStringLiteral("brannock-window"));
    w.close();
  }
  {
    platform::PrepareApplication(app, QStringLiteral("dovetree"));
    dovetree::DeflectionWindow w;
    ok &= Capture(w, QStringLiteral("dovetree-help"));
    Fill(w, {"1000", "30.0000", "500", "60", "870", "885.25"});
    w.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    w.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    w.findChild<QTextEdit*>(QStringLiteral("RichTextBox1"))->moveCursor(QTextCursor::Start);
    ok &= Capture(w, QStringLiteral("dovetree-report"));
    w.close();
  }
  return ok ? 0 : 1;
}
