// Shows the window with a project computed and one stake marked, for screenshots under Xvfb:
//   alignment_window_shot PROJECT.alnproj STAKE-ROW SECONDS [OUT.png [profile|stale]]
// (stale: the JD table shown with its second JD's R changed after the run, and OUT-stakes.png
// the stake list greyed under the banner).
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
  if (argc > 5 && std::string(argv[5]) == "stale") {
    w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentIndex(1);
    SourceGridModel* jd = w.Model(TableId::Jd);
    jd->setData(jd->index(2, 3), QStringLiteral("650"), Qt::EditRole);
  } else if (argc > 5) {
    w.findChild<QTabWidget*>(QStringLiteral("viewTabs"))->setCurrentIndex(1);
  }
  QTimer::singleShot(std::atoi(argv[3]) * 1000, [&] {
    if (argc > 4) w.grab().save(QString::fromLocal8Bit(argv[4]));
    if (argc > 5 && std::string(argv[5]) == "stale") {  // and the greyed stake list beside it
      w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentIndex(6);
      w.grab().save(QString::fromLocal8Bit(argv[4]).replace(QStringLiteral(".png"), QStringLiteral("-stakes.png")));
    }
    QApplication::exit(0);
  });
  return app.exec();
}
