#include "platform/program_setup.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QTranslator>

namespace platform {

namespace {

class EnterPressesButtons : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !button->hasFocus() || !button->isEnabled()) return false;
    // A held key repeats; the button is pressed once, as a held Space presses it once.
    if (!key->isAutoRepeat()) button->click();
    return true;
  }
};

}  // namespace

bool LoadChineseTranslations(QCoreApplication& app) {
  if (app.findChild<QTranslator*>(QStringLiteral("survey-zh-translations"), Qt::FindDirectChildrenOnly)) return true;
  auto* translator = new QTranslator(&app);
  translator->setObjectName(QStringLiteral("survey-zh-translations"));
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"), dir)) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  return true;
}

QIcon ProgramIcon(const QString& programName) {
  QIcon icon;
  for (const char* size : {"32", "48", "128"}) {
    const QString file = QStringLiteral(":/route-survey/icons/%1-%2.png").arg(programName, QLatin1String(size));
    if (QFile::exists(file)) icon.addFile(file);
  }
  return icon;
}

void PressButtonsWithEnter(QApplication& app) {
  if (app.findChild<QObject*>(QStringLiteral("survey-enter-presses-buttons"), Qt::FindDirectChildrenOnly)) return;
  auto* filter = new EnterPressesButtons(&app);
  filter->setObjectName(QStringLiteral("survey-enter-presses-buttons"));
  app.installEventFilter(filter);
}

void PrepareApplication(QApplication& app, const QString& programName) {
  LoadChineseTranslations(app);
  const QIcon icon = ProgramIcon(programName);
  if (!icon.isNull()) QApplication::setWindowIcon(icon);
  PressButtonsWithEnter(app);
}

}  // namespace platform
