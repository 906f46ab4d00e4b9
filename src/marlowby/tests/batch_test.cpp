#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "coordinates/stake_table_store.h"

class BatchTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  int status_ = -1;
  QString out_, err_;

  void Run(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SURVEY_DATA_HOME"), dir_.path());
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(MARLOWBY_PROGRAM), args);
    QVERIFY(p.waitForFinished(60000));
    status_ = p.exitCode();
    out_ = QString::fromUtf8(p.readAllStandardOutput());
    err_ = QString::fromUtf8(p.readAllStandardError());
  }
  QStringList Lines() const { return out_.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
  QByteArray Bytes(const QString& name) const {
    QFile f(dir_.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private slots:
  void defaultsGive294Lines() {
    Run({QStringLiteral("--batch")});
    QCOMPARE(status_, 0);
    QVERIFY(!out_.contains(QLatin1Char('\r')));
    const QStringList lines = Lines();
    QCOMPARE(lines.size(), 294);
    QCOMPARE(lines.first(), QStringLiteral("1810.791, , ,46276.097,-4532.808, , "));
    QCOMPARE(lines.last(), QStringLiteral("4734, , ,44992.796,-1906.348, , "));
  }

  void leavesTheWindowsTableAlone() {
    // A window open at the same time keeps its rows: the batch run has a database of its own.
    const QString path = dir_.filePath(QStringLiteral("zxzb.db"));
    {
      coordinates::SqliteStakeTable window(path);
      QVERIFY(window.IsOpen());
      coordinates::StakeRecord row;
      row.zh = "1000";
      QVERIFY(window.Append(row));
    }
    Run({QStringLiteral("--batch")});
    QCOMPARE(status_, 0);
    coordinates::SqliteStakeTable window(path);
    std::vector<coordinates::StakeRecord> rows;
    QVERIFY(window.ReadRows(rows));
    QCOMPARE(rows.size(), size_t(1));
    QCOMPARE(*rows[0].zh, std::string("1000"));
  }

  void sideStakesExtrasAndFiles() {
    const QString ly = dir_.filePath(QStringLiteral("直线.ly"));
    const QString xq = dir_.filePath(QStringLiteral("p.xq"));
    const QString pdf = dir_.filePath(QStringLiteral("r.pdf"));
    Run({QStringLiteral("--offset"), QStringLiteral("5"), QStringLiteral("--skew=30"), QStringLiteral("--end-station"),
         QStringLiteral("1850"), QStringLiteral("--extra"), QStringLiteral("5000"), QStringLiteral("--extra=-20"),
         QStringLiteral("--export"), ly, QStringLiteral("--save"), xq, QStringLiteral("--report"), pdf});
    QCOMPARE(status_, 0);
    const QStringList lines = Lines();
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[4], QStringLiteral("1850,46262.109,-4492.791,46258.884,-4497.579,46255.659,-4502.368"));
    QVERIFY(lines[5].startsWith(QStringLiteral("5000,")));
    QVERIFY(lines[6].startsWith(QStringLiteral("-20,")));
    const QByteArray exported = Bytes(QStringLiteral("直线.ly"));
    QCOMPARE(exported.count("\r\n"), 7);
    QVERIFY(exported.contains("1850,46262.109,-4492.791,46258.884,-4497.579,46255.659,-4502.368\r\n"));
    QCOMPARE(Bytes(QStringLiteral("p.xq")),
             QByteArray("[zxzb]\r\n46276.097\r\n-4532.808\r\n44992.796\r\n-1906.348\r\n10\r\n5\r\n1810.791\r\n1850\r\n-20\r\n30\r\n"));
    QVERIFY(Bytes(QStringLiteral("r.pdf")).startsWith("%PDF-"));

    // The saved file opens again and gives the same computation.
    Run({QStringLiteral("--open"), xq});
    QCOMPARE(status_, 0);
    QCOMPARE(Lines().size(), 5);
    QCOMPARE(Lines()[4], QStringLiteral("1850,46262.109,-4492.791,46258.884,-4497.579,46255.659,-4502.368"));
  }

  void refusalsExitWithStatusTwo() {
    Run({QStringLiteral("--skew"), QStringLiteral("90")});
    QCOMPARE(status_, 2);
    QVERIFY(err_.contains(QStringLiteral("你输入的斜交角度有问题！")));
    QVERIFY(out_.isEmpty());
    Run({QStringLiteral("--start-station=")});
    QCOMPARE(status_, 2);
    QVERIFY(err_.contains(QStringLiteral("你输入所有数据了吗？")));
    Run({QStringLiteral("--interval=-1")});
    QCOMPARE(status_, 2);
    QVERIFY(err_.contains(QStringLiteral("点间距离")));
    Run({QStringLiteral("--open"), dir_.filePath(QStringLiteral("missing.xq"))});
    QCOMPARE(status_, 2);
    QVERIFY(err_.contains(QStringLiteral("missing.xq")));
    QFile curve(dir_.filePath(QStringLiteral("curve.xq")));
    QVERIFY(curve.open(QIODevice::WriteOnly));
    curve.write("[qxzb]\r\n");
    curve.close();
    Run({QStringLiteral("--open"), curve.fileName()});
    QCOMPARE(status_, 2);
    QVERIFY(err_.contains(QStringLiteral("文件类型出错")));
    Run({QStringLiteral("--export"), dir_.filePath(QStringLiteral("no/such/dir/x.ly"))});
    QCOMPARE(status_, 2);
    QVERIFY(err_.contains(QStringLiteral("x.ly")));
    Run({QStringLiteral("--bogus")});
    QCOMPARE(status_, 2);
  }
};

QTEST_GUILESS_MAIN(BatchTest)
#include "batch_test.moc"
