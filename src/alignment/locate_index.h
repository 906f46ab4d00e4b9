// The spatial index behind Route::Locate: the elements cut into pieces that turn little, each
// boxed by the ellipse every curve of its length between its end points lies in, and a bounding
// box tree over the pieces in chainage order (consecutive pieces lie close together, so the
// tree's boxes stay tight without any sorting).
#pragma once

#include <vector>

#include "alignment/element.h"

namespace survey::alignment {

struct Location;

class LocateIndex {
 public:
  explicit LocateIndex(const std::vector<Element>& elements);
  // The nearest point over the elements and the straight extensions of both ends.
  Location Nearest(double x, double y) const;

 private:
  struct Box {
    double minX, minY, maxX, maxY;
  };
  struct Piece {
    Box box;
    Pose start;               // pose at s0
    double s0, s1;            // range within the element
    double startCurvature;    // at s0
    double curvatureRate;
    double chainage0;         // chainage at s0
    ElementKind kind;
  };
  struct Candidate {
    double distance2 = 0;
    double chainage = 0;
    double offset = 0;
  };
  void Build(std::size_t node, std::size_t lo, std::size_t hi);
  void Search(const Piece& piece, double x, double y, Candidate& best) const;

  std::vector<Piece> pieces_;
  std::vector<Box> tree_;  // heap order over piece ranges
  Pose routeStart_, routeEnd_;
  double length_ = 0;
};

}  // namespace survey::alignment
