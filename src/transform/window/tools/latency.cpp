// The window's event loop while a table of a million points is pasted, then projected: a 5 ms timer ticks
// throughout, and the largest gap between two ticks is the longest the window could not answer
// (filling the grids before and showing the rows after included). With a second argument the
// run is cancelled that many ms after its computation began: the time from the cancel until the
// worker's thread is gone is how long a stopped run kept a core busy (and a closing window waiting).
// Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench/transform_window_latency [POINTS [CANCEL_MS]]
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/qt_host.h"
#include "transform/window/main_window.h"

using namespace survey::transform::window;

namespace {
// The threads of this process, from /proc.
int ThreadCount() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("Threads:")) return line.mid(8).trimmed().toInt();
  }
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::MessageRecorder messages;
  auto window = std::make_unique<TransformWindow>();
  TransformWindow& w = *window;
  w.show();
  const int points = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
  const int cancelAfter = argc > 2 ? std::atoi(argv[2]) : -1;
  QString table;
  table.reserve(points * 32);
  for (int i = 0; i < points; ++i) {
    // A grid over the 111°E zone in decimal degrees.
    table += QStringLiteral("P%1\t%2\t%3\n").arg(i).arg(30.0 + (i % 1000) * 1e-3, 0, 'f', 6).arg(110.0 + (i / 1000) * 2e-3, 0, 'f', 6);
  }
  auto* input = w.findChild<PointGrid*>(QStringLiteral("projectionInput"));
  auto* results = w.findChild<ResultGrid*>(QStringLiteral("projectionResults"));
  w.findChild<QCheckBox*>(QStringLiteral("projectionDegrees"))->setChecked(true);
  {
    // The paste in the event loop, as a Ctrl+V: its own largest gap, apart from the run's.
    QEventLoop pasting;
    QObject::connect(input, &PointGrid::PasteFinished, &pasting, &QEventLoop::quit);
    QElapsedTimer phase;
    qint64 before = 0, worst = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
      worst = std::max(worst, phase.elapsed() - before);
      before = phase.elapsed();
    });
    phase.start();
    tick.start();
    QTimer::singleShot(0, [&] { input->PasteText(table); });
    pasting.exec();
    worst = std::max(worst, phase.elapsed() - before);
    std::printf("paste %d rows: %lld ms, largest gap between ticks %lld ms (before the run, not counted)\n", points,
                static_cast<long long>(phase.elapsed()), static_cast<long long>(worst));
  }
  QApplication::processEvents();

  QElapsedTimer clock;
  qint64 last = 0, worst = 0;
  int ticks = 0;
  QTimer timer;
  timer.setInterval(5);
  qint64 worstAt = 0;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    if (now - last > worst) worstAt = now;
    worst = std::max(worst, now - last);
    last = now;
    ++ticks;
  });
  if (cancelAfter >= 0) {
    QTimer computing;
    computing.setInterval(1);
    QObject::connect(&computing, &QTimer::timeout, [&] {
      if (!w.statusBar()->currentMessage().startsWith(QStringLiteral("正在计算"))) return;
      computing.stop();
      QTimer::singleShot(cancelAfter, [&] {
        const int busy = ThreadCount();  // the worker's thread among them
        QElapsedTimer stop;
        stop.start();
        w.CancelRun();
        while (ThreadCount() >= busy) QThread::usleep(200);
        const qint64 idle = stop.elapsed();
        stop.restart();
        window.reset();
        std::printf("cancelled %d ms into the computation: the worker ended %lld ms after the cancel; the window "
                    "then closed in %lld ms\n",
                    cancelAfter, static_cast<long long>(idle), static_cast<long long>(stop.elapsed()));
        QApplication::exit(0);
      });
    });
    QTimer::singleShot(0, [&] {
      w.ProjectTable();
      computing.start();
    });
    return app.exec();
  }
  // Done once the results grid holds every row (at once for a run on the GUI thread, later for a
  // worker's), or a message came.
  QTimer watch;
  watch.setInterval(1);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (results->rowCount() >= points || !messages.messages.empty()) {
      watch.stop();
      QTimer::singleShot(50, [&] { QApplication::exit(0); });
    }
  });
  clock.start();
  timer.start();
  QTimer::singleShot(0, [&] {
    w.ProjectTable();
    watch.start();
  });
  app.exec();
  for (const auto& m : messages.messages) std::fprintf(stderr, "%s\n", m.text.c_str());
  std::printf("rows %d, total %lld ms, ticks %d, largest gap between ticks %lld ms (ending at %lld ms)\n",
              results->rowCount(), static_cast<long long>(clock.elapsed()), ticks, static_cast<long long>(worst),
              static_cast<long long>(worstAt));
  // What closing costs without a run to wait for: the part of the cancelled figure that is not
  // the worker's.
  QElapsedTimer close;
  close.start();
  window.reset();
  std::printf("closing the window after the run: %lld ms\n", static_cast<long long>(close.elapsed()));
  return 0;
}
