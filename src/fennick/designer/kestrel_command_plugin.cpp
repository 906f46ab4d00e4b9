#include "kestrel_command_plugin.h"

#include <QIcon>

#include "fennick/factory.h"

namespace fennick {

KestrelCommandPlugin::KestrelCommandPlugin(QObject* parent) : QObject(parent) {}

QString KestrelCommandPlugin::name() const { return QStringLiteral("fennick::KestrelCommand"); }
QString KestrelCommandPlugin::group() const { return QStringLiteral("Fennick"); }
QString KestrelCommandPlugin::toolTip() const { return QStringLiteral("KestrelCommand"); }
QString KestrelCommandPlugin::whatsThis() const {
  return QStringLiteral("A flat command button that shows a bevel while the pointer is over it.");
}
QString KestrelCommandPlugin::includeFile() const { return QStringLiteral("fennick/kestrel_command.h"); }
QIcon KestrelCommandPlugin::icon() const { return QIcon(); }
bool KestrelCommandPlugin::isContainer() const { return false; }

QWidget* KestrelCommandPlugin::createWidget(QWidget* parent) {
  KestrelCommand* button = CreateControl(KestrelCommandClassId(), parent);
  if (button != nullptr) {
    // A new instance on a form: the caption a fresh control carries.
    button->InitProperties();
  }
  return button;
}

bool KestrelCommandPlugin::isInitialized() const { return initialized_; }
void KestrelCommandPlugin::initialize(QDesignerFormEditorInterface*) { initialized_ = true; }

QString KestrelCommandPlugin::domXml() const {
  return QStringLiteral(
      "<ui language=\"c++\">\n"
      " <widget class=\"fennick::KestrelCommand\" name=\"Command1\">\n"
      "  <property name=\"geometry\"><rect><x>0</x><y>0</y><width>97</width><height>33</height></rect></property>\n"
      " </widget>\n"
      "</ui>\n");
}

}  // namespace fennick
