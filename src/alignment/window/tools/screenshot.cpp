// Shows the window with a project computed and one stake marked, for screenshots under Xvfb:
//   alignment_window_shot PROJECT.alnproj STAKE-ROW SECONDS [OUT.png [plan | profile | section | locate | stale | 偏差检查 | TAB-TITLE [ZOOM | WIDTHxHEIGHT]]]
// (stale: the JD table shown with its second JD's R changed after the run, and OUT-stakes.png
// the stake list greyed under the banner).
// The window stays open SECONDS seconds (for `import -window root`); with OUT.png it also
// saves its own picture.
#include <QApplication>
#include <QStringList>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>
#include <string>

#include "alignment/window/check_tab.h"
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
  const QString view = argc > 5 ? QString::fromLocal8Bit(argv[5]) : QString();
  const bool profile = view == QStringLiteral("profile");
  if (profile) {
    w.findChild<QTabWidget*>(QStringLiteral("viewTabs"))->setCurrentIndex(1);
  } else if (view == QStringLiteral("stale")) {
    w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentIndex(1);
    SourceGridModel* jd = w.Model(TableId::Jd);
    jd->setData(jd->index(2, 3), QStringLiteral("650"), Qt::EditRole);
  } else if (view == QStringLiteral("section")) {
    w.findChild<QTabWidget*>(QStringLiteral("viewTabs"))->setCurrentIndex(2);
    w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentWidget(w.Sections());
    w.Sections()->Compute();
  } else if (view == QStringLiteral("locate")) {
    // The points table located: the last point's move, its section with the points about it.
    w.findChild<QTabWidget*>(QStringLiteral("viewTabs"))->setCurrentIndex(2);
    w.ComputeLocateTable();
    w.ShowResultRow(RunKind::LocatePoint, w.Result(RunKind::LocatePoint).rowCount() - 1);
  } else if (view == QStringLiteral("偏差检查")) {
    // The page with its check run on the project's points, the first failure selected.
    w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))->setCurrentWidget(w.Check());
    if (!w.ComputeCheck()) return 1;
    w.Check()->SelectRow(0);
  } else if (!view.isEmpty() && view != QStringLiteral("plan")) {
    if (auto* tabs = w.findChild<QTabWidget*>(QStringLiteral("leftTabs"))) {
      for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == view) tabs->setCurrentIndex(i);
      }
    }
  }
  if (argc > 6) {
    const QString last = QString::fromLocal8Bit(argv[6]);
    if (last.contains(QLatin1Char('x'))) {
      // A window size.
      const QStringList size = last.split(QLatin1Char('x'));
      if (size.size() == 2) w.resize(size[0].toInt(), size[1].toInt());
      QTimer::singleShot(0, [&] { w.Plan()->FitToWindow(); });
    } else {
      // Zoomed about the marked stake (plan) or the middle of the drawing (profile).
      const double zoom = last.toDouble();
      if (profile) {
        w.ProfileChart()->ZoomAt(w.ProfileChart()->PlotArea().center(), zoom);
      } else {
        w.ShowResultRow(RunKind::Stakes, std::atoi(argv[2]));
        w.Plan()->ZoomBy(zoom);
      }
    }
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
