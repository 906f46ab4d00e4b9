#include "tallyfen/curve/curve_batch.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sstream>

namespace {

struct Run {
  int status = 0;
  std::string out, err;
  QStringList Lines() const {
    QStringList lines = QString::fromStdString(out).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
  }
};

Run Batch(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  Run r;
  r.status = tallyfen::RunCurveBatch(args, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

const std::vector<std::string> kWorked = {"--zh-x", "1000", "--zh-y", "2000", "--jd-x", "1116.0018", "--jd-y",
                                          "2116.0018", "--zh-station", "1003.5", "--alpha", "30.0000", "--radius",
                                          "500", "--ls", "60", "--offset", "5", "--right"};

std::vector<std::string> With(std::vector<std::string> args, std::initializer_list<std::string> more) {
  args.insert(args.end(), more);
  return args;
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

}  // namespace

class CurveBatchTest : public QObject {
  Q_OBJECT

 private slots:
  void defaultsPrintTheGridWithLfLines() {
    const Run r = Batch({});
    QCOMPARE(r.status, 0);
    QVERIFY(r.err.empty());
    QVERIFY(r.out.find('\r') == std::string::npos);
    const QStringList lines = r.Lines();
    QCOMPARE(lines.size(), 125);
    QCOMPARE(lines.front(), QStringLiteral("875.262,,,46722.855,-7619.616,,"));
    QCOMPARE(lines.back().section(QLatin1Char(','), 0, 0), QStringLiteral("2095.896"));
  }

  void workedExampleWithExtraStakes() {
    const Run r = Batch(With(kWorked, {"--extra", "1100.5", "--extra=5000", "--extra", "1063.5"}));
    QCOMPARE(r.status, 0);
    const QStringList lines = r.Lines();
    QCOMPARE(lines.size(), 39);  // 37 stakes, 5000 lies beyond HZ
    QCOMPARE(lines[0], QStringLiteral("1003.5,1003.536,1996.465,1000,2000,996.465,2003.536"));
    QCOMPARE(lines[36], QStringLiteral("1325.299,1163.291,2273.169,1158.461,2274.463,1153.631,2275.757"));
    QVERIFY(lines[37].startsWith(QStringLiteral("加桩1100.5,")));
    QCOMPARE(lines[38], QStringLiteral("加桩1063.5,1045.304,2039.942,1041.563,2043.259,1037.822,2046.576"));
  }

  void negativeValuesTakeTheEqualsForm() {
    const Run r = Batch({"--zh-y=-7619.616", "--jd-y=-7992.9398", "--offset=5"});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.Lines().front(), QStringLiteral("875.262,46720.165,-7623.831,46722.855,-7619.616,46725.545,-7615.401"));
  }

  void refusalsGoToStderrWithStatusTwo() {
    Run r = Batch({"--radius", "0"});
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.empty());
    QCOMPARE(QString::fromStdString(r.err), QStringLiteral("对不起，偏角角度及曲线半径不能为零！\n"));
    r = Batch({"--ls", "365"});
    QCOMPARE(r.status, 2);
    QCOMPARE(QString::fromStdString(r.err), QStringLiteral("你输入所有数据了吗？\n请重新输入。\n"));
    r = Batch({"--zh-x="});
    QCOMPARE(r.status, 2);
    r = Batch({"--bogus"});
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.find("unknown option") != std::string::npos);
    r = Batch({"--left", "--right"});
    QCOMPARE(r.status, 2);
  }

  void filesOpenSaveExportReport() {
    QTemporaryDir dir;
    const QString xq = dir.filePath(QStringLiteral("worked.xq"));
    const QString ly = dir.filePath(QStringLiteral("worked.ly"));
    const QString pdf = dir.filePath(QStringLiteral("worked.pdf"));
    Run r = Batch(With(kWorked, {"--project", "环城路", "--save", xq.toStdString(), "--export", ly.toStdString(),
                                 "--report", pdf.toStdString()}));
    QCOMPARE(r.status, 0);
    const QByteArray saved = ReadAll(xq);
    QVERIFY(saved.startsWith("[qxzb]\r\n"));
    QCOMPARE(saved.count("\r\n"), 14);
    const QByteArray exported = ReadAll(ly);
    QCOMPARE(exported.count("\r\n"), 37);
    QVERIFY(exported.startsWith("1003.5,1003.536,1996.465,1000,2000,996.465,2003.536\r\n"));
    QVERIFY(ReadAll(pdf).startsWith("%PDF"));

    // The saved file reproduces the same grid.
    const Run reopened = Batch({"--open", xq.toStdString()});
    QCOMPARE(reopened.status, 0);
    QCOMPARE(reopened.out, r.out);

    QFile wrong(dir.filePath(QStringLiteral("line.xq")));
    QVERIFY(wrong.open(QIODevice::WriteOnly));
    wrong.write("[zxzb]\r\n");
    wrong.close();
    r = Batch({"--open", wrong.fileName().toStdString()});
    QCOMPARE(r.status, 2);
    QCOMPARE(QString::fromStdString(r.err), QStringLiteral("文件类型出错\n"));
    r = Batch({"--open", dir.filePath(QStringLiteral("missing.xq")).toStdString()});
    QCOMPARE(r.status, 2);
    QVERIFY(!r.err.empty());
  }
};

QTEST_MAIN(CurveBatchTest)
#include "curve_batch_test.moc"
