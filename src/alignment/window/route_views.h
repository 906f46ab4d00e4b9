// The plan view (the route drawn to scale over its tangents, with main points and stakes) and
// the profile view (grade line, vertical curves, the current stake's elevation).
#pragma once

#include <QPointF>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alignment/profile.h"
#include "alignment/result_table.h"
#include "alignment/route.h"

namespace survey::alignment::window {

class PlanView : public QWidget {
  Q_OBJECT

 public:
  explicit PlanView(QWidget* parent = nullptr);

  void SetRoute(std::optional<Route> route);
  // The stake rows of a stakes run (nullptr: none), drawn as they are, not copied.
  void SetStakes(std::shared_ptr<const ResultTable> stakes);
  const std::optional<Route>& CurrentRoute() const { return route_; }
  // Centres the view on the stake and marks it; -1 clears the mark.
  void MarkStake(int index);
  int MarkedStake() const { return marked_; }
  void FitToWindow();

  // World (X north, Y east) and widget coordinates.
  QPointF ToScreen(double x, double y) const;
  QPointF ToWorld(QPointF screen) const;
  double Scale() const { return scale_; }

 signals:
  void CursorMoved(double x, double y);

 protected:
  void paintEvent(QPaintEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  struct Polyline {
    ElementKind kind;
    std::vector<QPointF> points;  // world (x, y)
  };
  std::optional<Route> route_;
  std::vector<Polyline> polylines_;
  const std::vector<StakeRow>& Stakes() const;
  std::shared_ptr<const ResultTable> stakeRows_;
  int marked_ = -1;
  double scale_ = 1;            // pixels per metre
  double centreX_ = 0, centreY_ = 0;
  bool fitted_ = false;
  std::optional<QPointF> dragFrom_;
};

class ProfileView : public QWidget {
  Q_OBJECT

 public:
  explicit ProfileView(QWidget* parent = nullptr);
  // The profile on the route's chainages; the route turns them into stations for labels.
  void SetProfile(std::optional<Profile> profile, std::optional<StationLine> stations);
  // The chainage of the current stake (nullopt: none).
  void SetCurrent(std::optional<double> chainage);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  std::optional<Profile> profile_;
  std::optional<StationLine> stations_;
  std::optional<double> current_;
};

}  // namespace survey::alignment::window
