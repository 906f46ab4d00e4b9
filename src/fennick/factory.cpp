#include "fennick/factory.h"

#include <QMetaClassInfo>

#include <atomic>

namespace fennick {

namespace {

class KestrelCommandFactory : public ClassFactory {
 public:
  QUuid ClassId() const override { return KestrelCommandClassId(); }
  KestrelCommand* CreateInstance(QWidget* parent) const override { return new KestrelCommand(parent); }
};

const KestrelCommandFactory kestrelCommandFactory;

// Registered from the moment the library is loaded.
std::atomic<bool> registered{true};

}  // namespace

QUuid LibraryId() { return QUuid(QStringLiteral("{8406e532-5b42-4f8d-81f1-cc9713704634}")); }
QUuid KestrelCommandClassId() {
  return QUuid(QString::fromLatin1(KestrelCommand::staticMetaObject.classInfo(
      KestrelCommand::staticMetaObject.indexOfClassInfo("ClassId")).value()));
}
QUuid KestrelCommandInterfaceId() {
  return QUuid(QString::fromLatin1(KestrelCommand::staticMetaObject.classInfo(
      KestrelCommand::staticMetaObject.indexOfClassInfo("InterfaceId")).value()));
}
QUuid KestrelCommandEventsId() {
  return QUuid(QString::fromLatin1(KestrelCommand::staticMetaObject.classInfo(
      KestrelCommand::staticMetaObject.indexOfClassInfo("EventsId")).value()));
}

bool RegisterServer() {
  registered = true;
  return true;
}

bool UnregisterServer() {
  registered = false;
  return true;
}

bool IsRegistered(const QUuid& classId) {
  return registered && !classId.isNull() && classId == KestrelCommandClassId();
}

const ClassFactory* GetClassObject(const QUuid& classId) {
  return IsRegistered(classId) ? &kestrelCommandFactory : nullptr;
}

KestrelCommand* CreateControl(const QUuid& classId, QWidget* parent) {
  const ClassFactory* factory = GetClassObject(classId);
  return factory != nullptr ? factory->CreateInstance(parent) : nullptr;
}

bool CanUnloadNow() { return KestrelCommand::LiveInstances() == 0; }

}  // namespace fennick
