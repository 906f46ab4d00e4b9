// Creation of Fennick's controls by class identifier, and the library's registration.
//
// The library, the control class, its property interface and its event interface each carry
// an identifier of their own. A host creates the control from the class identifier and binds
// its events (the Qt signals Click() and MouseMove()). Loading the library registers its
// class, as an installed component would be; UnregisterServer() makes hosts unable to create
// it until RegisterServer() is called again.
#pragma once

#include <QUuid>
#include <QWidget>

#include "fennick/fennick_export.h"
#include "fennick/kestrel_command.h"

namespace fennick {

FENNICK_EXPORT QUuid LibraryId();               // the library "Fennick"
FENNICK_EXPORT QUuid KestrelCommandClassId();   // the class KestrelCommand
FENNICK_EXPORT QUuid KestrelCommandInterfaceId();  // its properties (_KestrelCommand)
FENNICK_EXPORT QUuid KestrelCommandEventsId();  // its events (__KestrelCommand)

// Creates a control of a registered class; nullptr for an unknown or unregistered class.
FENNICK_EXPORT KestrelCommand* CreateControl(const QUuid& classId, QWidget* parent);

// Makes one class of the library creatable.
class FENNICK_EXPORT ClassFactory {
 public:
  virtual ~ClassFactory() = default;
  virtual QUuid ClassId() const = 0;
  virtual KestrelCommand* CreateInstance(QWidget* parent) const = 0;
};

// The four entry points of an in-process component library.
FENNICK_EXPORT bool RegisterServer();
FENNICK_EXPORT bool UnregisterServer();
FENNICK_EXPORT bool IsRegistered(const QUuid& classId);
// The factory of a registered class, nullptr otherwise. It lives as long as the library.
FENNICK_EXPORT const ClassFactory* GetClassObject(const QUuid& classId);
// True while no control of the library is alive.
FENNICK_EXPORT bool CanUnloadNow();

}  // namespace fennick
