#include <QTest>
#include "fennick/factory.h"
class KestrelCommandTest : public QObject {
  Q_OBJECT
 private slots:
  void createsByClassId() { QVERIFY(fennick::CreateControl(fennick::KestrelCommandClassId(), nullptr) != nullptr); }
};
QTEST_MAIN(KestrelCommandTest)
#include "kestrel_command_test.moc"
