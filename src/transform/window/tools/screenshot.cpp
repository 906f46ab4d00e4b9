// Shows the window with every tab's tables filled and computed, for screenshots under Xvfb:
//   transform_window_shot OUT-PREFIX  -> OUT-PREFIX-1.png … OUT-PREFIX-4.png
//   transform_window_shot OUT-PREFIX running -> OUT-PREFIX-running.png, half a second into the
//   projection of a million points
#include <QApplication>
#include <QEventLoop>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>

#include "transform/window/main_window.h"

using namespace survey::transform::window;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  TransformWindow w;
  w.show();
  w.findChild<PointGrid*>("projectionInput")
      ->PasteText("K1\t30.45254425\t111.17583596\t452.3\nK2\t30.4630\t111.1905\t448.0\nK3\t30.4712\t111.2110\t440.1\n");
  w.ProjectTable();
  w.findChild<QLineEdit*>("pointFirst")->setText("30.45254425");
  w.findChild<QLineEdit*>("pointSecond")->setText("111.17583596");
  w.ProjectPoint();
  w.findChild<PointGrid*>("rezoneInput")
      ->PasteText("K1\t3404079.3582\t528680.0889\t452.3\nK2\t3405853.1200\t531140.2500\t448.0\n");
  w.RezoneTable();
  w.findChild<PointGrid*>("commonPoints")
      ->PasteText("A\t3404000\t528000\t3404100.012\t528200.004\nB\t3405500\t529100\t3405600.008\t529300.011\n"
                  "C\t3403200\t530900\t3403300.135\t531100.002\nD\t3406100\t527400\t3406200.003\t527599.995\n");
  w.FitParameters();
  w.findChild<PointGrid*>("applyInput")->PasteText("P1\t3404500\t529000\t12\nP2\t3404600\t529100\t13\n");
  w.ApplyParameters();
  const QString prefix = QString::fromLocal8Bit(argv[1]);
  if (argc > 2 && QString::fromLocal8Bit(argv[2]) == "running") {
    QString table;
    for (int i = 0; i < 1'000'000; ++i) {
      // D.MMSS: a point a second apart in B, a row of 3,600 per second of L.
      const auto dms = [](int seconds) { return QStringLiteral("%1%2").arg(seconds / 60 % 60, 2, 10, QChar('0')).arg(seconds % 60, 2, 10, QChar('0')); };
      table += QStringLiteral("P%1\t30.%2\t111.%3\t%4\n").arg(i).arg(dms(i % 3600)).arg(dms(i / 3600)).arg(400 + i % 50);
    }
    auto* input = w.findChild<PointGrid*>("projectionInput");
    QEventLoop pasting;
    QObject::connect(input, &PointGrid::PasteFinished, &pasting, &QEventLoop::quit);
    QTimer::singleShot(0, [&] { input->PasteText(table); });
    pasting.exec();
    w.ProjectTable();
    // Taken once the worker is well into the rows, so the bar shows how far it is.
    auto* bar = w.findChild<QProgressBar*>("runProgress");
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (bar->maximum() != 1000 || bar->value() < 400) return;
      poll.stop();
      w.grab().save(prefix + "-running.png");
      w.CancelRun();
      QApplication::exit(0);
    });
    poll.start(5);
    return app.exec();
  }
  for (int i = 0; i < 4; ++i) {
    w.tabs()->setCurrentIndex(i);
    QApplication::processEvents();
    w.grab().save(prefix + "-" + QString::number(i + 1) + ".png");
  }
  return 0;
}
