// The window's transfers and printing as the 文件 menu reaches them: each menu entry does what
// its direct call does, the printed pages go through the suite's print dialog with the text of
// their PDF export, and a refusal comes before any dialog.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "alignment/window/main_window.h"
#include "platform/qt_host.h"
#include "platform/testing/pdf_columns.h"
#include "platform/text_printing.h"

using namespace survey::alignment::window;

namespace {

QMenu* FileMenu(AlignmentWindow& w) {
  for (QAction* action : w.menuBar()->actions()) {
    if (action->text() == QStringLiteral("文件(&F)")) return action->menu();
  }
  return nullptr;
}

// The entry at `path` (menu titles, then the entry's text) under the 文件 menu.
QAction* Entry(AlignmentWindow& w, const QStringList& path) {
  QMenu* menu = FileMenu(w);
  for (int i = 0; menu && i < path.size(); ++i) {
    QAction* found = nullptr;
    for (QAction* action : menu->actions()) {
      if (action->text() == path[i]) found = action;
    }
    if (!found || i == path.size() - 1) return found;
    menu = found->menu();
  }
  return nullptr;
}

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString PdfText(const QString& path) {
  QString error;
  const QString text = platform::testing::PdfPlainText(path, &error);
  return error.isEmpty() ? text : error;
}

// The words of the document, sorted: the printer's resolution moves words by fractions of a
// point, which reorders pdftotext's reading of a table and may move a row to the next page, not
// what is printed. The plan's grid labels
// (X=…, Y=…) are left out: how many fit between the lines depends on that resolution.
QStringList SortedWords(const QString& path) {
  QString error;
  QStringList words;
  for (const platform::testing::PdfWord& word : platform::testing::PdfWords(path, &error)) {
    if (word.text.startsWith(QStringLiteral("X=")) || word.text.startsWith(QStringLiteral("Y="))) continue;
    words << word.text;
  }
  words.sort();
  return error.isEmpty() ? words : QStringList{error};
}

// Whether the first page of the PDF is wider than high.
bool LandscapePages(const QString& path) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-l"), QStringLiteral("1"), path,
                                        QStringLiteral("-")});
  if (!p.waitForFinished(30000)) return false;
  static const QRegularExpression page(QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\""));
  const QRegularExpressionMatch m = page.match(QString::fromUtf8(p.readAllStandardOutput()));
  return m.hasMatch() && m.captured(1).toDouble() > m.captured(2).toDouble();
}

}  // namespace

class RoomsWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void FileMenuEntries() {
    AlignmentWindow w;
    QStringList titles;
    for (QAction* action : FileMenu(w)->actions()) titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
    const QStringList expected = {
        "新建项目", "打开项目…", "最近的项目", "保存项目", "项目另存为…", "-", "导入表格", "导入 LandXML…",
        "导出 LandXML…", "导出逐桩坐标与平面图", "-", "逐桩坐标表", "直线、曲线及转角表", "路线平面图",
        "路基设计表", "偏差报表", "-", "退出"};
    QCOMPARE(titles, expected);
    for (const char* printed : {"逐桩坐标表", "直线、曲线及转角表", "路线平面图", "路基设计表", "偏差报表"}) {
      QStringList entries;
      for (QAction* action : Entry(w, {QString::fromUtf8(printed)})->menu()->actions()) entries << action->text();
      QCOMPARE(entries, (QStringList{"打印预览…", "打印…", "导出 PDF…"}));
    }
  }

  // Each file written from the menu (its dialog answered) is the file of the direct call.
  void MenuEntriesWriteWhatTheirCallsWrite() {
    AlignmentWindow w;
    QVERIFY(w.OpenFrom(QStringLiteral(EXAMPLE_SECTIONS)));
    QVERIFY(w.ComputeAll());
    QTemporaryDir dir;
    struct Case {
      QStringList menu;
      std::function<bool(const QString&)> direct;
      bool pdf;
    };
    WindowTransfers& t = w.Transfers();
    WindowPrinting& p = w.Printing();
    const Case cases[] = {
        {{"导出 LandXML…"}, [&](const QString& f) { return t.ExportLandXml(f); }, false},
        {{"导出逐桩坐标与平面图", "CASS 点文件 (.dat)…"},
         [&](const QString& f) { return t.ExportStakePoints(WindowTransfers::PointFile::Cass, f); }, false},
        {{"导出逐桩坐标与平面图", "GSI-16 点文件 (.gsi)…"},
         [&](const QString& f) { return t.ExportStakePoints(WindowTransfers::PointFile::Gsi16, f); }, false},
        {{"导出逐桩坐标与平面图", "平面图 DXF…"}, [&](const QString& f) { return t.ExportPlanDxf(f); }, false},
        {{"逐桩坐标表", "导出 PDF…"}, [&](const QString& f) { return p.ExportReportPdf(ReportKind::Stakes, f); }, true},
        {{"直线、曲线及转角表", "导出 PDF…"}, [&](const QString& f) { return p.ExportReportPdf(ReportKind::Curves, f); }, true},
        {{"路线平面图", "导出 PDF…"}, [&](const QString& f) { return p.ExportPlanPdf(f); }, true},
        {{"路基设计表", "导出 PDF…"}, [&](const QString& f) { return p.ExportSectionsPdf(f); }, true},
    };
    int n = 0;
    for (const Case& c : cases) {
      const QString viaMenu = dir.filePath(QStringLiteral("menu%1").arg(n));
      const QString direct = dir.filePath(QStringLiteral("direct%1").arg(n++));
      platform::MessageRecorder recorder;
      {
        platform::ScopedFileChoice choice(viaMenu);
        QAction* entry = Entry(w, c.menu);
        QVERIFY2(entry, qPrintable(c.menu.join(u'/')));
        entry->trigger();
      }
      QVERIFY(c.direct(direct));
      QCOMPARE(recorder.messages.size(), std::size_t{0});
      // A PDF carries its time of writing; its text is what must agree.
      if (c.pdf) {
        QCOMPARE(PdfText(viaMenu), PdfText(direct));
      } else {
        QVERIFY(!Bytes(direct).isEmpty());
        QVERIFY2(Bytes(viaMenu) == Bytes(direct), qPrintable(c.menu.join(u'/')));
      }
    }
  }

  // 打印… goes through the suite's dialog: the words of the PDF export, offered on pages turned
  // as the export's (the plan and the wide tables across); a cancel says nothing, a failed file
  // is shown.
  void PrintGoesThroughTheSuitesDialog() {
    AlignmentWindow w;
    QVERIFY(w.OpenFrom(QStringLiteral(EXAMPLE_SECTIONS)));
    QVERIFY(w.ComputeAll());
    AlignmentWindow checked;  // the 偏差报表 needs measured points
    QVERIFY(checked.OpenFrom(QStringLiteral(EXAMPLE_CHECK)));
    QVERIFY(checked.ComputeAll());
    QVERIFY(checked.ComputeCheck());
    QTemporaryDir dir;
    for (Printout printout : kPrintouts) {
      AlignmentWindow& on = printout == Printout::Check ? checked : w;
      const QString title = QString::fromStdString(WindowPrinting::Title(printout));
      const QString printed = dir.filePath(title + QStringLiteral("-printed.pdf"));
      const QString exported = dir.filePath(title + QStringLiteral(".pdf"));
      QVERIFY(on.Printing().ExportPdf(printout, exported));
      QPageLayout::Orientation offered = QPageLayout::Portrait;
      platform::ScopedPrintDialog dialog([&](QPrinter& printer, QWidget*) {
        offered = printer.pageLayout().orientation();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return true;
      });
      platform::MessageRecorder recorder;
      Entry(on, {title, QStringLiteral("打印…")})->trigger();
      QCOMPARE(recorder.messages.size(), std::size_t{0});
      // Offered as its pages are laid out: the plan's sheet and the wide tables across.
      QVERIFY2(offered == (LandscapePages(exported) ? QPageLayout::Landscape : QPageLayout::Portrait), qPrintable(title));
      if (printout == Printout::Plan || printout == Printout::Check) QCOMPARE(offered, QPageLayout::Landscape);
      QCOMPARE(SortedWords(printed), SortedWords(exported));
    }
    for (const bool accept : {false, true}) {
      const QString pdf = dir.filePath(accept ? QStringLiteral("no/such/dir/x.pdf") : QStringLiteral("cancelled.pdf"));
      platform::ScopedPrintDialog dialog([&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return accept;
      });
      platform::MessageRecorder recorder;
      w.Printing().Print(Printout::Stakes, false);
      QVERIFY(!QFile::exists(pdf));
      QCOMPARE(recorder.messages.size(), std::size_t{accept ? 1u : 0u});
      if (accept) QVERIFY(recorder.messages[0].refusal);
    }
  }

  // Nothing to print: the refusal, and no dialog.
  void RefusedBeforeTheDialog() {
    AlignmentWindow w;
    for (auto [printout, said] : {std::pair{Printout::Stakes, "还没有计算结果"}, std::pair{Printout::Curves, "还没有计算结果"},
                                  std::pair{Printout::Plan, "还没有平面图"}, std::pair{Printout::Sections, "没有标准横断面"},
                                  std::pair{Printout::Check, "还没有偏差检查的结果"}}) {
      bool shown = false;
      platform::ScopedPrintDialog dialog([&](QPrinter&, QWidget*) { return shown = true; });
      platform::MessageRecorder recorder;
      w.Printing().Print(printout, false);
      QVERIFY(!shown);
      QCOMPARE(recorder.messages.size(), std::size_t{1});
      QVERIFY2(recorder.messages[0].text.find(said) != std::string::npos, recorder.messages[0].text.c_str());
    }
  }
};

QTEST_MAIN(RoomsWindowTest)
#include "rooms_window_test.moc"
