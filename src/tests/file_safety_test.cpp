// Every kind of file the programs write, made to fail the way a full or broken disk fails:
// the earlier file must stay as it was, the run must say which file and why, and a batch run
// must end with status 2. Also the batch modes' independence from the display and the limits
// on what --open reads, through the built programs.
#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <functional>
#include <iostream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "brannock/batch.h"
#include "common/atomic_file.h"
#include "common/testing/batch_capture.h"
#include "marlowby/batch.h"
#include "platform/text_printing.h"
#include "tallyfen/curve/curve_batch.h"

namespace {

using Run = survey::testing::BatchRun;
using StreamEntry = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

// Sends a standard stream into `into` for the lifetime of the object.
struct StreamRedirect {
  StreamRedirect(std::ostream& stream, std::ostream& into) : stream_(stream), saved_(stream.rdbuf(into.rdbuf())) {}
  ~StreamRedirect() { stream_.rdbuf(saved_); }
  std::ostream& stream_;
  std::streambuf* saved_;
};

// marlowby's batch entry writes to the standard streams.
Run RunMarlowby(const std::vector<std::string>& args) {
  return survey::testing::CaptureBatch([](const std::vector<std::string>& a, std::ostream& out, std::ostream& err) {
    const StreamRedirect toOut(std::cout, out), toErr(std::cerr, err);
    return marlowby::RunBatch(a);
  }, args);
}

struct Fault {
  const char* name;
  std::function<survey::FileSystemCalls()> calls;
  const char* reason;
};

const Fault kFaults[] = {
    {"disk fills part-way", [] { return survey::FailingWritesAfter(20, ENOSPC); }, "No space left on device"},
    {"disk already full", [] { return survey::FailingWritesAfter(0, ENOSPC); }, "磁盘空间不足"},
    {"close fails", [] { return survey::FailingClose(EIO); }, "Input/output error"},
    {"rename fails", [] { return survey::FailingRename(EACCES); }, "Permission denied"},
};

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Put(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

}  // namespace

class FileSafetyTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  QString Path(const QString& name) const { return dir_.filePath(name); }

  // Runs `run` once per fault with `target` holding old bytes; each must fail with status 2,
  // name the target and the reason, keep the old bytes and leave no temporary file.
  void CheckEveryFault(const QString& target, const std::function<Run()>& run) {
    for (const Fault& fault : kFaults) {
      const QByteArray old = "old content\n";
      Put(target, old);
      const Run r = [&] {
        survey::ScopedFileSystemCalls calls(fault.calls());
        return run();
      }();
      const QString where = QStringLiteral("%1 / %2: %3").arg(QFileInfo(target).fileName(), QLatin1String(fault.name),
                                                                  QString::fromStdString(r.err));
      QVERIFY2(r.status == 2, qPrintable(where));
      QVERIFY2(r.err.find(target.toStdString()) != std::string::npos, qPrintable(where));
      QVERIFY2(r.err.find(fault.reason) != std::string::npos, qPrintable(where));
      QVERIFY2(Bytes(target) == old, qPrintable(where));
      QVERIFY2(QDir(dir_.path()).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".")).filter(
                   QFileInfo(target).fileName() + QLatin1Char('.')).isEmpty(),
               qPrintable(where + QStringLiteral(" (temporary file left)")));
    }
    // Without a fault the same run replaces the file.
    const Run ok = run();
    QVERIFY2(ok.status == 0, ok.err.c_str());
    QVERIFY(Bytes(target) != "old content\n");
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("SURVEY_DATA_HOME", dir_.path().toUtf8());
  }

  void brannockSavedReport() {
    const QString target = Path(QStringLiteral("report.txt"));
    CheckEveryFault(target, [&] {
      return survey::testing::CaptureBatch(StreamEntry(brannock::RunBatch), {"--jd", "1000", "--alpha", "30", "--radius",
                                                                             "500", "--ls", "60", "--save", target.toStdString()});
    });
  }

  void curveParameterExportAndReportFiles() {
    const StreamEntry entry = tallyfen::RunCurveBatch;
    for (const char* option : {"--save", "--export", "--report"}) {
      const QString target = Path(QStringLiteral("curve") + QLatin1String(option + 1));
      CheckEveryFault(target, [&] {
        return survey::testing::CaptureBatch(entry, {"--radius", "500", "--ls", "60", option, target.toStdString()});
      });
    }
  }

  void straightParameterExportAndReportFiles() {
    for (const char* option : {"--save", "--export", "--report"}) {
      const QString target = Path(QStringLiteral("line") + QLatin1String(option + 1));
      CheckEveryFault(target, [&] { return RunMarlowby({"--interval", "100", option, target.toStdString()}); });
    }
  }

  // The text PDF of the printing layer (batch PDF options) and a print dialog's "print to file".
  void printedPdfFiles() {
    const QString text = QStringLiteral("第一行\n second line");
    const QString target = Path(QStringLiteral("text.pdf"));
    CheckEveryFault(target, [&] {
      std::string error;
      const bool ok = platform::PrintTextToPdf(target, text, QFont(), 1, &error);
      return Run{ok ? 0 : 2, {}, ok ? std::string() : target.toStdString() + ": " + error};
    });
    const QString printed = Path(QStringLiteral("printed.pdf"));
    CheckEveryFault(printed, [&] {
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(printed);
      const survey::Outcome o = platform::PaintOnPrinter(
          printer, [&](QPagedPaintDevice* device) { return platform::PaintTextPages(device, text, QFont()); });
      return Run{o.ok() ? 0 : 2, {}, o.error};
    });
    QVERIFY(Bytes(printed).startsWith("%PDF"));
  }

  // The real thing: a 64 KB file system filled to the brim. Needs root for the mount.
  void fullDiskEndToEnd() {
    QTemporaryDir mountPoint;
    const QByteArray where = mountPoint.path().toUtf8();
    if (geteuid() != 0 || ::mount("tmpfs", where.constData(), "tmpfs", 0, "size=64k") != 0) {
      QSKIP("a tiny tmpfs cannot be mounted here (needs root); the fault-injection cases above cover the writer");
    }
    struct Unmount {
      QByteArray at;
      ~Unmount() { ::umount(at.constData()); }
    } unmount{where};
    const QString target = mountPoint.filePath(QStringLiteral("line.ly"));
    Put(target, "old content\n");
    {
      QFile filler(mountPoint.filePath(QStringLiteral("filler")));
      QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
      const QByteArray block(1024, 'x');
      while (filler.write(block) == block.size()) {
      }
    }
    QProcess p;
    p.start(QStringLiteral(MARLOWBY_PROGRAM), {QStringLiteral("--export"), target});
    QVERIFY(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), 2);
    QVERIFY2(err.contains(target) && err.contains(QStringLiteral("No space left on device")), qPrintable(err));
    QCOMPARE(Bytes(target), QByteArray("old content\n"));
  }

  // Qt's own options are not batch options, and no display variable can make batch mode
  // reach for a screen.
  void batchModeIgnoresDisplaySettings() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const QStringList inverse = {QStringLiteral("--inverse"), QStringLiteral("--ax"), QStringLiteral("0"),
                                 QStringLiteral("--ay"), QStringLiteral("0"), QStringLiteral("--bx"),
                                 QStringLiteral("100"), QStringLiteral("--by"), QStringLiteral("100")};
    const struct { QStringList args; const char* platform; int status; const char* stream; } cases[] = {
        {QStringList{QStringLiteral("--platform"), QStringLiteral("xcb")} + inverse, "", 2, "unknown option: --platform"},
        {QStringList{QStringLiteral("-platform"), QStringLiteral("xcb")} + inverse, "", 2, "unexpected argument: -platform"},
        {inverse, "xcb", 0, "45 0 0"},
        {inverse, "wayland", 0, "45 0 0"},
        // Without options the window would open: a platform without its display says so.
        {QStringList{}, "xcb", 1, "no display is available"},
    };
    for (const auto& c : cases) {
      QProcessEnvironment e = env;
      if (*c.platform) e.insert(QStringLiteral("QT_QPA_PLATFORM"), QLatin1String(c.platform));
      QProcess p;
      p.setProcessEnvironment(e);
      p.start(QStringLiteral(RILLFORD_PROGRAM), c.args);
      QVERIFY(p.waitForFinished(30000));
      const QString all = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
      QCOMPARE(p.exitStatus(), QProcess::NormalExit);
      QVERIFY2(p.exitCode() == c.status, qPrintable(all));
      QVERIFY2(all.contains(QLatin1String(c.stream)), qPrintable(all));
    }
  }

  // --open takes regular files of parameter size only, and never waits on a pipe.
  void openReadsOnlySmallRegularFiles() {
    const QString fifo = Path(QStringLiteral("pipe.xq"));
    QCOMPARE(::mkfifo(fifo.toUtf8().constData(), 0600), 0);
    const QString big = Path(QStringLiteral("big.xq"));
    Put(big, "[zxzb]\r\n" + QByteArray(1024 * 1024, '1'));
    const QString empty = Path(QStringLiteral("empty.xq"));
    Put(empty, QByteArray());
    const struct { QString path; const char* reason; } cases[] = {
        {QStringLiteral("/dev/zero"), "not a regular file"},
        {fifo, "not a regular file"},
        {big, "larger than 1024 KB"},
        {empty, "文件不完整"},
        {dir_.path(), "not a regular file"},
    };
    for (const auto& c : cases) {
      const Run r = RunMarlowby({"--open", c.path.toStdString()});
      QVERIFY2(r.status == 2 && r.err.find(c.reason) != std::string::npos, (c.path.toStdString() + ": " + r.err).c_str());
      QVERIFY(r.out.empty());
      const Run curve = survey::testing::CaptureBatch(StreamEntry(tallyfen::RunCurveBatch), {"--open", c.path.toStdString()});
      QVERIFY2(curve.status == 2 && curve.err.find(c.reason) != std::string::npos,
               (c.path.toStdString() + ": " + curve.err).c_str());
    }
  }
};

QTEST_MAIN(FileSafetyTest)
#include "file_safety_test.moc"
