// Enter in a chosen set of fields moves the focus to the next control in tab order, as Tab
// would; other fields keep Enter for themselves.
#pragma once

#include <QObject>
#include <initializer_list>

class QWidget;

namespace platform {

class EnterAsTab : public QObject {
  Q_OBJECT
 public:
  explicit EnterAsTab(QObject* parent = nullptr) : QObject(parent) {}
  void Add(QWidget* field);
  void Add(std::initializer_list<QWidget*> fields) {
    for (QWidget* f : fields) Add(f);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace platform
