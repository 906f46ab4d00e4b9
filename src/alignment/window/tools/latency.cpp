// The window's event loop while a million stakes are computed on the worker thread: a 5 ms
// timer ticks throughout, and the largest gap between two ticks is the longest the window
// could not answer. Run offscreen: QT_QPA_PLATFORM=offscreen bench/alignment_window_latency
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "alignment/window/main_window.h"
#include "platform/qt_host.h"

using namespace survey::alignment::window;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::MessageRecorder messages;
  AlignmentWindow w;
  w.show();
  w.Model(TableId::Jd)->PasteBlock(0, 0, QStringLiteral("QD\t3000\t5000\nJD1\t3600\t5400\t600\t120\nJD2\t3700\t6300\t800\t100\t150\n"
                                                        "JD3\t4300\t6800\t500\t0\t0\nJD4\t4400\t7700\t700\t120\n"
                                                        "JD5\t5100\t8100\t600\t100\nZD\t5300\t9000"));
  const auto design = w.Form().Design(false, nullptr);
  if (!design) return 1;
  const survey::alignment::Route* route = &design->route;
  const double stakes = argc > 1 ? std::atof(argv[1]) : 1e6;
  w.Form().intervalText = std::to_string(route->Length() / stakes);
  w.PushFields();
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
  QObject::connect(&w, &AlignmentWindow::RunFinished, [&] {
    // The tick after the results are shown counts too.
    QTimer::singleShot(50, [&] { QApplication::exit(0); });
  });
  clock.start();
  timer.start();
  if (!w.ComputeAll()) {
    for (const auto& m : messages.messages) std::fprintf(stderr, "%s\n", m.text.c_str());
    return 1;
  }
  app.exec();
  for (const auto& m : messages.messages) std::fprintf(stderr, "%s\n", m.text.c_str());
  std::printf("stakes %zu, total %lld ms, ticks %d, largest gap between ticks %lld ms\n",
              w.Result(RunKind::Stakes).RowCountLarge(), static_cast<long long>(clock.elapsed()), ticks,
              static_cast<long long>(worst));
  return 0;
}
