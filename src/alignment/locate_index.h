// The spatial index behind Route::Locate: the elements cut into pieces that turn little, each
// boxed by the ellipse that every curve of its length between its end points lies in, and a
// bounding-box tree over the pieces in chainage order (consecutive pieces lie close together, so
// the tree's boxes stay tight without any sorting). A query descends nearest box first and
// prunes every box farther than the best foot point found so far.
#pragma once

#include <cstdint>
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
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
  };
  struct Piece {
    Box box;
    double x0 = 0, y0 = 0, cos0 = 1, sin0 = 0;  // start point and tangent
    double dx1 = 0, dy1 = 0, cos1 = 1, sin1 = 0;  // end point (from the start) and tangent
    double length = 0;
    double startCurvature = 0, curvatureRate = 0;
    double chainage0 = 0;
  };
  struct Node {
    Box box;
    std::uint32_t lo = 0, hi = 0;  // pieces [lo, hi)
    std::int32_t left = -1, right = -1;
  };
  struct Best {
    double distance2;
    double chainage;
    double offset;
  };

  std::int32_t Build(std::uint32_t lo, std::uint32_t hi);
  void Search(const Piece& piece, double x, double y, Best& best) const;

  std::vector<Piece> pieces_;
  std::vector<Node> nodes_;
  Pose start_, end_;
  double startCos_ = 1, startSin_ = 0, endCos_ = 1, endSin_ = 0;
};

}  // namespace survey::alignment
