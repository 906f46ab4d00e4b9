#include <QApplication>
#include <QPushButton>
#include <QtTest>

#include "platform/field_binding.h"
#include "rillford/forward_inverse_window.h"

class RillfordWindowTest : public QObject {
  Q_OBJECT
  rillford::ForwardInverseWindow w;

  QLineEdit* Field(int n) { return platform::FieldNamed(w, QStringLiteral("Text%1").arg(n).toLatin1().constData()); }
  QString Texts(int first, int last) {
    QStringList texts;
    for (int n = first; n <= last; ++n) texts << Field(n)->text();
    return texts.join(QLatin1Char(' '));
  }
  void Click(const char* button) { QTest::mouseClick(w.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton); }

 private slots:
  // Each button runs its own problem on its own frame's fields; messages go through the window's Host.
  void buttonsRunTheirProblemOnTheirFields() {
    platform::MessageRecorder recorder;
    const QStringList inputs = {"0", "0", "45", "0", "0", "100", "", "", "0", "0", "100", "100"};
    for (int n = 1; n <= 12; ++n) Field(n)->setText(inputs[n - 1]);
    Click("Command1");
    QCOMPARE(Texts(7, 16), QStringLiteral("70.711 70.711 0 0 100 100    "));
    Click("Command3");
    Click("Command2");
    QCOMPARE(Texts(1, 16), QStringLiteral("        0 0 100 100 45 0 0 141.421"));
    Field(12)->clear();
    Click("Command3");
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QCOMPARE(Texts(13, 16), QStringLiteral("45 0 0 141.421"));
    Click("Command4");
    QCOMPARE(Texts(9, 16), QStringLiteral("       "));
  }

  void enterMovesOnExceptFromEachLastInput() {
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (int n : {1, 2, 3, 4, 5, 6, 9, 10, 11, 12}) {
      Field(n)->setFocus();
      QTest::keyClick(Field(n), Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget(), Field(n == 6 || n == 12 ? n : n + 1));
    }
  }
};

QTEST_MAIN(RillfordWindowTest)
#include "forward_inverse_window_test.moc"
