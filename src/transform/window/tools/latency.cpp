// The window's event loop while a table of a million points is projected: a 5 ms timer ticks
// throughout, and the largest gap between two ticks is the longest the window could not answer
// (filling the grids before and showing the rows after included). Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench/transform_window_latency [POINTS]
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "platform/qt_host.h"
#include "transform/window/main_window.h"

using namespace survey::transform::window;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::MessageRecorder messages;
  TransformWindow w;
  w.show();
  const int points = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
  QString table;
  table.reserve(points * 32);
  for (int i = 0; i < points; ++i) {
    // A grid over the 111°E zone in decimal degrees.
    table += QStringLiteral("P%1\t%2\t%3\n").arg(i).arg(30.0 + (i % 1000) * 1e-3, 0, 'f', 6).arg(110.0 + (i / 1000) * 2e-3, 0, 'f', 6);
  }
  auto* input = w.findChild<PointGrid*>(QStringLiteral("projectionInput"));
  auto* results = w.findChild<ResultGrid*>(QStringLiteral("projectionResults"));
  w.findChild<QCheckBox*>(QStringLiteral("projectionDegrees"))->setChecked(true);
  QElapsedTimer phase;
  phase.start();
  input->PasteText(table);
  std::printf("paste %d rows: %lld ms (before the run, not counted)\n", points, static_cast<long long>(phase.elapsed()));
  QApplication::processEvents();

  QElapsedTimer clock;
  qint64 last = 0, worst = 0;
  int ticks = 0;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    worst = std::max(worst, now - last);
    last = now;
    ++ticks;
  });
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
  std::printf("rows %d, total %lld ms, ticks %d, largest gap between ticks %lld ms\n", results->rowCount(),
              static_cast<long long>(clock.elapsed()), ticks, static_cast<long long>(worst));
  return 0;
}
