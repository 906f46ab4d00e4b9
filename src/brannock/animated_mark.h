// A small animated mark (a turning theodolite circle) that opens the home page when clicked.
#pragma once

#include <QWidget>

class QTimer;

namespace brannock {

class AnimatedMark : public QWidget {
  Q_OBJECT
 public:
  explicit AnimatedMark(QWidget* parent = nullptr);
  QSize sizeHint() const override { return {64, 64}; }

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  QTimer* timer_;
  int step_ = 0;
};

}  // namespace brannock
