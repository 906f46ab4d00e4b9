// Shows the window with a project computed and one stake marked, for screenshots under Xvfb:
//   alignment_window_shot PROJECT.alnproj STAKE-ROW SECONDS [OUT.png [profile|section]]
// The window stays open SECONDS seconds (for `import -window root`); with OUT.png it also
// saves its own picture.
#include <QApplication>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>
#include <string>

#include "alignment/window/main_window.h"

using namespace survey::alignment::window;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 4) return 2;
  AlignmentWindow w;
  w.resize(1280, 1000);
  w.move(0, 0);
  w.show();
  if (!w.OpenFrom(QString::fromLocal8Bit(argv[1])) || !w.ComputeAll()) return 1;
  w.ShowResultRow(RunKind::Stakes, std::atoi(argv[2]));
  w.Plan()->FitToWindow();
  if (argc > 5) {
    const bool section = std::string(argv[5]) == "section";
    w.findChild<QTabWidget*>(QStringLiteral("viewTabs"))->setCurrentIndex(section ? 2 : 1);
    if (section) {
      auto* left = w.findChild<QTabWidget*>(QStringLiteral("leftTabs"));
      left->setCurrentWidget(w.Sections());
      w.Sections()->Compute();
    }
  }
  QTimer::singleShot(std::atoi(argv[3]) * 1000, [&] {
    if (argc > 4) w.grab().save(QString::fromLocal8Bit(argv[4]));
    QApplication::exit(0);
  });
  return app.exec();
}
