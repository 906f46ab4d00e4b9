// The plan and profile drawings of the window on the example project: labels measured on the
// rectangles they were drawn in, the plan's sheet read back from its PDF, the profile's data
// worked out by hand.
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "alignment/text_format.h"
#include "alignment/window/main_window.h"
#include "platform/qt_host.h"
#include "platform/testing/pdf_columns.h"

using namespace survey::alignment::window;

namespace {

template <typename Label>
QString OverlapOrOutside(const std::vector<Label>& labels, const QRectF& frame) {
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (!frame.contains(labels[i].box)) return QStringLiteral("outside: ") + labels[i].text;
    for (std::size_t j = i + 1; j < labels.size(); ++j) {
      if (labels[i].box.intersects(labels[j].box)) return labels[i].text + QStringLiteral(" over ") + labels[j].text;
    }
  }
  return {};
}

// "K12+300" -> 12300; NaN when the text is not a whole-metre K station.
double RoundStation(const QString& text) {
  static const QRegularExpression k(QStringLiteral("^K(\\d+)\\+(\\d{3})$"));
  const auto m = k.match(text);
  return m.hasMatch() ? m.captured(1).toDouble() * 1000 + m.captured(2).toDouble() : std::nan("");
}

std::vector<PlanLabel> LabelsOf(const std::vector<PlanLabel>& labels, int priority) {
  std::vector<PlanLabel> out;
  for (const PlanLabel& l : labels) {
    if (l.priority == priority) out.push_back(l);
  }
  return out;
}

// The mouse as a user moves it: events straight to the widget, so that no window manager or
// cursor position of the offscreen platform comes between.
void Mouse(QWidget* view, QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::LeftButton) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent event(type, at, view->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(view, &event);
}

void Wheel(QWidget* view, QPointF at, int notches) {
  QWheelEvent event(at, view->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(view, &event);
}

void Drag(QWidget* view, QPointF from, QPointF to) {
  Mouse(view, QEvent::MouseButtonPress, from);
  Mouse(view, QEvent::MouseMove, (from + to) / 2);
  Mouse(view, QEvent::MouseMove, to);
  Mouse(view, QEvent::MouseButtonRelease, to);
}

}  // namespace

class RouteViewsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { qputenv("SURVEY_DATA_HOME", dir_.path().toUtf8()); }

  void PlanLabelsStayApartInsideTheViewAtFitAndZoomed() {
    AlignmentWindow w;
    QVERIFY(w.OpenFrom(QStringLiteral(EXAMPLE_PROJECT)));
    QVERIFY(w.ComputeAll());
    PlanView* plan = w.Plan();
    plan->resize(900, 700);
    plan->FitToWindow();
    // At fit, then centred on a stake and closer in (fit alone would zoom into open country).
    for (const double zoom : {0.0, 1.0, 4.0, 30.0}) {
      plan->FitToWindow();
      if (zoom > 0) {
        plan->MarkStake(100);
        plan->ZoomBy(zoom);
      }
      plan->grab();
      const std::vector<PlanLabel>& labels = plan->Labels();
      const QString fault = OverlapOrOutside(labels, QRectF(plan->rect()));
      QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("zoom %1: ").arg(zoom) + fault));
      QVERIFY2(!LabelsOf(labels, 3).empty(), "no round station labelled");
      // Station labels only at round values, never at a stake's own station (K10+381.073).
      for (const PlanLabel& l : LabelsOf(labels, 3)) {
        const double station = RoundStation(l.text);
        QVERIFY2(std::isfinite(station) && std::fmod(station, 100) == 0, qPrintable(l.text));
      }
    }
    // At fit the five JDs are named, and main points win the room before round stations.
    plan->FitToWindow();
    plan->grab();
    QCOMPARE(LabelsOf(plan->Labels(), 1).size(), std::size_t{5});
    QVERIFY(LabelsOf(plan->Labels(), 2).size() >= 15);
    // Close in, stations come every 100 m: two labels 100 m apart are both there.
    plan->MarkStake(100);
    plan->ZoomBy(4);
    plan->grab();
    // The marked stake is labelled with its own station before anything else.
    const std::vector<PlanLabel> marked = LabelsOf(plan->Labels(), -1);
    QCOMPARE(marked.size(), std::size_t{1});
    const std::optional<double> station = survey::alignment::ReadNumber(w.Result(RunKind::Stakes).RowCells(100)[1]);
    QVERIFY(station.has_value());
    QCOMPARE(marked[0].text, QString::fromStdString(survey::alignment::StationKText(*station, 3)));
    std::vector<double> stations;
    for (const PlanLabel& l : LabelsOf(plan->Labels(), 3)) stations.push_back(RoundStation(l.text));
    std::sort(stations.begin(), stations.end());
    bool hundredApart = false;
    for (std::size_t i = 1; i < stations.size(); ++i) hundredApart = hundredApart || stations[i] - stations[i - 1] == 100;
    QVERIFY2(hundredApart, "no two round stations 100 m apart when zoomed in");
  }

  void PlanShowsStakeoutStationsAndLocatedPoints() {
    AlignmentWindow w;
    QVERIFY(w.OpenFrom(QStringLiteral(EXAMPLE_PROJECT)));
    QVERIFY(w.ComputeAll());
    w.Form().setupXText = "3300";  // like the located point, in open country west of the route
    w.Form().setupYText = "6800";
    w.Form().backsightXText = "3900";
    w.Form().backsightYText = "5500";
    w.Form().locateXText = "3200";  // in open country south-east of the route, where its label has room
    w.Form().locateYText = "7500";
    w.PushFields();
    QVERIFY(w.ComputeStakeout());
    QVERIFY(w.ComputeLocatePoint());
    PlanView* plan = w.Plan();
    plan->resize(900, 700);
    plan->FitToWindow();
    plan->grab();
    QStringList texts;
    for (const PlanLabel& l : plan->Labels()) texts << l.text;
    for (const char* name : {"测站", "后视", "反算点"}) QVERIFY2(texts.contains(QString::fromUtf8(name)), name);
    // Where they are drawn: each label sits beside its point.
    for (const PlanLabel& l : plan->Labels()) {
      if (l.text != QStringLiteral("测站")) continue;
      const QPointF at = plan->ToScreen(3300, 6800);
      QVERIFY(QLineF(at, l.box.center()).length() < l.box.width() + 10);
    }
  }

  // A route of elements (the example exported as LandXML and imported) labels its main points
  // in the plan as its stake list does, by the JDs the elements make, never by element number.
  void PlanNamesElementMainPointsByJd() {
    QTemporaryDir tmp;
    const QString xml = tmp.filePath(QStringLiteral("route.xml"));
    {
      AlignmentWindow source;
      QVERIFY(source.OpenFrom(QStringLiteral(EXAMPLE_PROJECT)));
      QVERIFY(source.Transfers().ExportLandXml(xml));
    }
    platform::MessageRecorder recorder;
    AlignmentWindow w;
    QVERIFY(w.Transfers().ImportLandXml(xml));
    QVERIFY(w.ComputeAll());
    PlanView* plan = w.Plan();
    plan->resize(1600, 1200);
    plan->FitToWindow();
    plan->grab();
    QStringList mainPoints;
    for (const PlanLabel& l : plan->Labels()) {
      if (l.text.contains(QLatin1Char(' ')) && l.text.contains(QLatin1Char('+'))) mainPoints << l.text;
    }
    QVERIFY2(mainPoints.filter(QRegularExpression(QStringLiteral("^JD\\d (ZH|HY|YH|HZ|ZY|YZ) K1\\d\\+"))).size() >= 5,
             qPrintable(mainPoints.join(u'|')));
    QVERIFY2(mainPoints.filter(QRegularExpression(QStringLiteral("^E\\d"))).isEmpty(), qPrintable(mainPoints.join(u'|')));
  }

  void PlanSheetPdfReadsBack() {
    AlignmentWindow w;
    QTemporaryDir tmp;
    const QString pdf = tmp.filePath(QStringLiteral("plan.pdf"));
    {
      platform::MessageRecorder recorder;
      QVERIFY(!w.Printing().ExportPlanPdf(pdf));  // nothing computed: refused with a message, no file
      QCOMPARE(recorder.messages.size(), std::size_t{1});
      QVERIFY(!QFile::exists(pdf));
    }
    QVERIFY(w.OpenFrom(QStringLiteral(EXAMPLE_PROJECT)));
    QVERIFY(w.ComputeAll());
    QVERIFY(w.Printing().ExportPlanPdf(pdf));
    QString error;
    const QString text = platform::testing::PdfPlainText(pdf, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QString flat = QString(text).remove(QLatin1Char(' '));
    for (const char* printed : {"路线平面图", "图名", "比例", "起讫桩号", "JD1", "JD5", "K10+000.000~K14+866.524"}) {
      QVERIFY2(flat.contains(QString::fromUtf8(printed)), printed);
    }
    // A round scale of the 1-2-5 series, and round stations with their digits.
    const auto scale = QRegularExpression(QStringLiteral("1:(\\d+)")).match(flat);
    QVERIFY(scale.hasMatch());
    const QString n = scale.captured(1);
    QVERIFY2(QRegularExpression(QStringLiteral("^[125]0*$")).match(n).hasMatch(), qPrintable(n));
    QVERIFY(QRegularExpression(QStringLiteral("K1\\d\\+\\d00(?!\\.)")).match(flat).hasMatch());
  }

  void ProfileIsAProfileDrawing() {
    AlignmentWindow w;
    QVERIFY(w.OpenFrom(QStringLiteral(EXAMPLE_PROJECT)));
    QVERIFY(w.ComputeAll());
    ProfileView* profile = w.ProfileChart();
    profile->resize(900, 600);
    profile->FitToWindow();
    profile->grab();
    QStringList texts;
    for (const ProfileLabel& l : profile->Labels()) texts << l.text;
    const QString all = texts.join(QLatin1Char('|'));
    // BPD1 K10+000 H 152.400 to BPD2 K10+850 H 161.900: 9.5 / 850 = 1.118 %; at BPD2 the grade
    // turns to -1.200 %, so with R 12000: T = R w / 2 = 139.059, E = T^2 / 2R = 0.806.
    QVERIFY2(texts.contains(QStringLiteral("1.118% 850.00")), qPrintable(all));
    QVERIFY2(all.contains(QStringLiteral("R=12000 T=139.059 E=0.806")), qPrintable(all));
    QVERIFY2(all.contains(QStringLiteral("K11+000")), qPrintable(all));
    QString fault = OverlapOrOutside(profile->Labels(), QRectF(profile->rect()));
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    // Point data stays inside the drawing's frame.
    const QRectF area = profile->PlotArea();
    for (const ProfileLabel& l : profile->Labels()) {
      if (l.text.contains(QStringLiteral("H="))) QVERIFY2(area.contains(l.box), qPrintable(l.text));
    }
    // Zoomed in about the middle: a narrower range, finer round stations, still inside and apart.
    const double span = profile->MeasureTo() - profile->MeasureFrom();
    profile->ZoomAt(area.center(), 5);
    QVERIFY(std::fabs((profile->MeasureTo() - profile->MeasureFrom()) * 5 - span) < 1e-6 * span);
    profile->grab();
    fault = OverlapOrOutside(profile->Labels(), QRectF(profile->rect()));
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    bool finer = false;
    for (const ProfileLabel& l : profile->Labels()) {
      const double s = RoundStation(l.text);
      finer = finer || (std::isfinite(s) && std::fmod(s, 1000) != 0);
    }
    QVERIFY(finer);
  }

  // Both drawings: the wheel zooms about the cursor, a left drag pans the drawing with the
  // mouse, moving without a button or dragging with the right one pans nothing, a double click
  // fits again. The plan keeps saying where the cursor is while it pans.
  void TheMouseZoomsPansAndFitsBothDrawings() {
    AlignmentWindow w;
    QVERIFY(w.OpenFrom(QStringLiteral(EXAMPLE_PROJECT)));
    QVERIFY(w.ComputeAll());
    const double notch = std::pow(1.0015, 120);

    PlanView* plan = w.Plan();
    plan->resize(900, 700);
    plan->FitToWindow();
    const double fitScale = plan->Scale();
    const QPointF anchor(600, 250);
    const QPointF under = plan->ToWorld(anchor);
    Wheel(plan, anchor, 2);
    QVERIFY(std::fabs(plan->Scale() / (fitScale * notch * notch) - 1) < 1e-12);
    QVERIFY(QLineF(plan->ToWorld(anchor), under).length() < 1e-6);
    QSignalSpy cursor(plan, &PlanView::CursorMoved);
    const QPointF grabbed = plan->ToWorld(QPointF(300, 300));
    Drag(plan, QPointF(300, 300), QPointF(340, 270));
    QVERIFY(QLineF(plan->ToWorld(QPointF(340, 270)), grabbed).length() < 1e-6);
    QVERIFY(!cursor.isEmpty());
    const QPointF said(cursor.last().at(0).toDouble(), cursor.last().at(1).toDouble());
    QVERIFY(QLineF(said, grabbed).length() < 1e-6);
    const QPointF still = plan->ToWorld(QPointF(100, 100));
    Mouse(plan, QEvent::MouseMove, QPointF(200, 150));
    Mouse(plan, QEvent::MouseButtonPress, QPointF(200, 150), Qt::RightButton);
    Mouse(plan, QEvent::MouseMove, QPointF(260, 190), Qt::RightButton);
    Mouse(plan, QEvent::MouseButtonRelease, QPointF(260, 190), Qt::RightButton);
    QVERIFY(QLineF(plan->ToWorld(QPointF(100, 100)), still).length() < 1e-9);
    Mouse(plan, QEvent::MouseButtonDblClick, QPointF(200, 150));
    QCOMPARE(plan->Scale(), fitScale);

    ProfileView* profile = w.ProfileChart();
    profile->resize(900, 600);
    profile->FitToWindow();
    const double from = profile->MeasureFrom(), to = profile->MeasureTo();
    const QRectF area = profile->PlotArea();
    const auto measureAt = [&](double x) {
      return profile->MeasureFrom() + (x - area.left()) / area.width() * (profile->MeasureTo() - profile->MeasureFrom());
    };
    const double x = area.left() + area.width() * 0.7;
    const double m = measureAt(x);
    Wheel(profile, QPointF(x, area.center().y()), 1);
    QVERIFY(std::fabs((profile->MeasureTo() - profile->MeasureFrom()) * notch - (to - from)) < 1e-9 * (to - from));
    QVERIFY(std::fabs(measureAt(x) - m) < 1e-6);
    const double held = measureAt(area.left() + 100);
    Drag(profile, QPointF(area.left() + 100, area.center().y()), QPointF(area.left() + 160, area.center().y() + 40));
    QVERIFY(std::fabs(measureAt(area.left() + 160) - held) < 1e-6);
    const double shownFrom = profile->MeasureFrom();
    Mouse(profile, QEvent::MouseMove, QPointF(area.left() + 300, area.center().y()));
    QCOMPARE(profile->MeasureFrom(), shownFrom);
    Mouse(profile, QEvent::MouseButtonDblClick, area.center());
    QCOMPARE(profile->MeasureFrom(), from);
    QCOMPARE(profile->MeasureTo(), to);
  }

 private:
  QTemporaryDir dir_;
};

QTEST_MAIN(RouteViewsTest)
#include "route_views_test.moc"
