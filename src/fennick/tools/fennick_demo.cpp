// A small host window with a column of floating buttons, for looking at the control.
// With a file name it points at the second button, waits for the hover to show and saves a
// picture of the window there, then quits.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "fennick/factory.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setObjectName("Form1");
  window.setWindowTitle(QStringLiteral("Fennick"));
  window.resize(260, 260);
  QFont font(QStringLiteral("Noto Sans CJK SC"));
  font.setPointSize(11);
  window.setFont(font);

  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(new QLabel(QStringLiteral("道路测量计算"), &window));
  const QStringList captions = {QStringLiteral("曲线放样计算"), QStringLiteral("坐标正反算"),
                                QStringLiteral("竖曲线计算"), QStringLiteral("Fennick"),
                                QStringLiteral("退出")};
  QList<fennick::KestrelCommand*> buttons;
  for (int i = 0; i < captions.size(); ++i) {
    auto* button = fennick::CreateControl(fennick::KestrelCommandClassId(), &window);
    button->setObjectName(QStringLiteral("Command%1").arg(i + 1));
    button->setMinimumHeight(32);
    if (captions[i] != QStringLiteral("Fennick")) {
      button->SetCaption(captions[i]);
    }
    layout->addWidget(button);
    buttons.append(button);
  }
  buttons.last()->SetBackColor(QColor(255, 255, 192));
  buttons.last()->SetForeColor(QColor(0, 0, 192));
  QObject::connect(buttons.last(), &fennick::KestrelCommand::Click, &app, &QApplication::quit);
  window.show();

  if (argc > 1) {
    const QString path = QString::fromLocal8Bit(argv[1]);
    QTimer::singleShot(400, [&] {
      QCursor::setPos(buttons[1]->mapToGlobal(QPoint(buttons[1]->width() / 3, buttons[1]->height() / 2)));
    });
    QTimer::singleShot(600, [&] {
      QCursor::setPos(buttons[1]->mapToGlobal(QPoint(buttons[1]->width() / 2, buttons[1]->height() / 2)));
    });
    QTimer::singleShot(1200, [&, path] {
      const bool saved = window.grab().save(path);
      qInfo("saved=%d hovering=%d", saved, buttons[1]->Hovering());
      QApplication::exit(saved && buttons[1]->Hovering() ? 0 : 1);
    });
  }
  return app.exec();
}
