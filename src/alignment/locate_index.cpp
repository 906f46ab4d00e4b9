#include "alignment/locate_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "alignment/clothoid.h"
#include "alignment/route.h"

namespace survey::alignment {

namespace {

// A piece turns at most this much, so that on it the foot-point equation has one root for every
// point nearer than the centre of curvature and the ellipse box stays tight.
constexpr double kPieceTurn = 0.25;
constexpr std::uint32_t kLeafPieces = 4;
// A point this far behind an end still counts as at the end (rounding of a point set out there).
constexpr double kEndSlack = 1e-8;
// Beyond this no coordinate of a route lies; squares of such distances would overflow.
constexpr double kFarAway = 1e12;

// Without branches: queried points fall anywhere, so branches here would be guessed wrong half
// the time.
double BoxDistance2(double minX, double minY, double maxX, double maxY, double x, double y) {
  const double dx = std::max(0.0, std::max(minX - x, x - maxX));
  const double dy = std::max(0.0, std::max(minY - y, y - maxY));
  return dx * dx + dy * dy;
}

}  // namespace

LocateIndex::LocateIndex(const std::vector<Element>& elements) {
  if (elements.empty()) return;
  start_ = elements.front().start;
  end_ = EndPose(elements.back());
  startCos_ = std::cos(start_.azimuth);
  startSin_ = std::sin(start_.azimuth);
  endCos_ = std::cos(end_.azimuth);
  endSin_ = std::sin(end_.azimuth);
  for (const Element& e : elements) {
    const double turn = AbsoluteTurn(e);
    const auto count = static_cast<std::uint32_t>(std::max(1.0, std::ceil(turn / kPieceTurn)));
    const double rate = CurvatureRate(e);
    for (std::uint32_t j = 0; j < count; ++j) {
      const double s0 = e.length * j / count;
      const double s1 = j + 1 == count ? e.length : e.length * (j + 1) / count;
      const Pose a = PoseAt(e, s0);
      const Pose b = PoseAt(e, s1);
      Piece p;
      p.x0 = a.x;
      p.y0 = a.y;
      p.cos0 = std::cos(a.azimuth);
      p.sin0 = std::sin(a.azimuth);
      p.dx1 = b.x - a.x;
      p.dy1 = b.y - a.y;
      p.cos1 = std::cos(b.azimuth);
      p.sin1 = std::sin(b.azimuth);
      p.length = s1 - s0;
      p.startCurvature = CurvatureAt(e, s0);
      p.curvatureRate = rate;
      p.chainage0 = e.startChainage + s0;
      // Every curve of length h from A to B lies in the ellipse with foci A, B and major axis h.
      const double mx = 0.5 * (a.x + b.x), my = 0.5 * (a.y + b.y);
      const double dx = b.x - a.x, dy = b.y - a.y;
      const double chord = std::hypot(dx, dy);
      const double major = 0.5 * p.length;
      double hx = 0, hy = 0;
      if (e.kind == ElementKind::Line || chord == 0) {
        hx = chord == 0 ? major : 0.5 * std::fabs(dx);
        hy = chord == 0 ? major : 0.5 * std::fabs(dy);
      } else {
        const double minor2 = std::max(0.0, major * major - 0.25 * chord * chord);
        const double ux = dx / chord, uy = dy / chord;
        hx = std::sqrt(major * major * ux * ux + minor2 * uy * uy);
        hy = std::sqrt(major * major * uy * uy + minor2 * ux * ux);
      }
      // Room for the rounding of the end points.
      const double pad = 1e-9 * (1 + std::fabs(mx) + std::fabs(my) + p.length);
      p.box = {mx - hx - pad, my - hy - pad, mx + hx + pad, my + hy + pad};
      pieces_.push_back(p);
    }
  }
  nodes_.reserve(2 * pieces_.size() / kLeafPieces + 2);
  Build(0, static_cast<std::uint32_t>(pieces_.size()));
}

std::int32_t LocateIndex::Build(std::uint32_t lo, std::uint32_t hi) {
  const auto index = static_cast<std::int32_t>(nodes_.size());
  nodes_.push_back({});
  Box box = pieces_[lo].box;
  for (std::uint32_t i = lo + 1; i < hi; ++i) {
    const Box& b = pieces_[i].box;
    box.minX = std::min(box.minX, b.minX);
    box.minY = std::min(box.minY, b.minY);
    box.maxX = std::max(box.maxX, b.maxX);
    box.maxY = std::max(box.maxY, b.maxY);
  }
  std::int32_t left = -1, right = -1;
  if (hi - lo > kLeafPieces) {
    const std::uint32_t mid = lo + (hi - lo) / 2;
    left = Build(lo, mid);
    right = Build(mid, hi);
  }
  Node& node = nodes_[static_cast<std::size_t>(index)];
  node.box = box;
  node.lo = lo;
  node.hi = hi;
  node.left = left;
  node.right = right;
  return index;
}

void LocateIndex::Search(const Piece& piece, double x, double y, Best& best) const {
  const double h = piece.length;
  // Coordinates relative to the piece's start keep the rounding of large grid coordinates out
  // of every difference below.
  const double px = x - piece.x0, py = y - piece.y0;
  // A candidate at an end of the piece competes with a penalty: where a foot point lies beside a
  // joint, the joint is as near to within rounding, and the foot point is the answer.
  auto consider = [&](double d2, double s, double offset, bool atEnd) {
    const double score = atEnd ? d2 + 1e-9 * (1 + d2) : d2;
    if (score < best.distance2) best = {score, piece.chainage0 + s, offset};
  };
  if (piece.startCurvature == 0 && piece.curvatureRate == 0) {
    const double t = px * piece.cos0 + py * piece.sin0;
    const double offset = px * -piece.sin0 + py * piece.cos0;
    const double tc = std::clamp(t, 0.0, h);
    const double ox = px - tc * piece.cos0, oy = py - tc * piece.sin0;
    consider(ox * ox + oy * oy, tc, offset, tc != t);
    return;
  }
  // The ends, from what the piece keeps.
  const double ax = px, ay = py;
  const double bx = px - piece.dx1, by = py - piece.dy1;
  const double g0 = ax * piece.cos0 + ay * piece.sin0;  // > 0: moving on brings the curve nearer
  const double g1 = bx * piece.cos1 + by * piece.sin1;
  consider(ax * ax + ay * ay, 0, ax * -piece.sin0 + ay * piece.cos0, true);
  consider(bx * bx + by * by, h, bx * -piece.sin1 + by * piece.cos1, true);
  if (!(g0 > 0 && g1 < 0)) return;

  if (piece.curvatureRate == 0 && std::fabs(piece.startCurvature) > 1e-5) {
    // An arc: the foot point lies on the ray from the centre through the point. (Flatter arcs take
    // the clothoid's way below, their centre being too far off for this to keep the micrometre.)
    const double k = piece.startCurvature;
    const double radius = 1 / k;  // signed: the centre lies to the right for a right turn
    // From the centre: the point (cx, cy) and the start (rx, ry); the angle between them, clockwise
    // like azimuths, is the turn k * s to the foot point.
    const double cx = px + radius * piece.sin0, cy = py - radius * piece.cos0;
    const double rx = radius * piece.sin0, ry = -radius * piece.cos0;
    const double s = std::atan2(rx * cy - ry * cx, rx * cx + ry * cy) / k;
    if (s >= 0 && s <= h) {
      const double distance = std::hypot(cx, cy);
      const double offset = (k > 0 ? 1.0 : -1.0) * (std::fabs(radius) - distance);
      consider(offset * offset, s, offset, false);
    }
    return;
  }

  struct Local {
    double vx, vy, tx, ty, curvature;
    double g() const { return vx * tx + vy * ty; }
    double offset() const { return vx * -ty + vy * tx; }  // right positive
    double d2() const { return vx * vx + vy * vy; }
  };
  auto at = [&](double s) {
    const ClothoidPoint c = ClothoidAt(piece.startCurvature, piece.curvatureRate, s);
    const double ct = c.cosTurn, st = c.sinTurn;
    return Local{px - (c.along * piece.cos0 - c.right * piece.sin0), py - (c.along * piece.sin0 + c.right * piece.cos0),
                 piece.cos0 * ct - piece.sin0 * st, piece.sin0 * ct + piece.cos0 * st,
                 piece.startCurvature + piece.curvatureRate * s};
  };
  // First guess: the root of the cubic that matches g and its slope g' = -(1 - curvature * offset)
  // at both ends, within 1e-3 m or so; then Newton on the clothoid itself, kept inside a
  // shrinking bracket. Newton's error after a step of 1e-7 m is of the order curvature * 1e-14 m,
  // so that step ends the search.
  const double m0 = -(1 - piece.startCurvature * (ax * -piece.sin0 + ay * piece.cos0)) * h;
  const double m1 = -(1 - (piece.startCurvature + piece.curvatureRate * h) * (bx * -piece.sin1 + by * piece.cos1)) * h;
  double t = g0 / (g0 - g1);
  for (int i = 0; i < 6; ++i) {
    const double t2 = t * t, t3 = t2 * t;
    const double value = (2 * t3 - 3 * t2 + 1) * g0 + (t3 - 2 * t2 + t) * m0 + (-2 * t3 + 3 * t2) * g1 + (t3 - t2) * m1;
    const double slope = (6 * t2 - 6 * t) * g0 + (3 * t2 - 4 * t + 1) * m0 + (-6 * t2 + 6 * t) * g1 + (3 * t2 - 2 * t) * m1;
    if (!(slope < 0)) break;
    t = std::clamp(t - value / slope, 0.0, 1.0);
  }
  double lo = 0, hi = h;
  double s = t * h;
  Local c = at(s);
  for (int iteration = 0; iteration < 60; ++iteration) {
    const double g = c.g();
    if (g > 0) {
      lo = s;
    } else if (g < 0) {
      hi = s;
    } else {
      break;
    }
    const double slope = 1 - c.curvature * c.offset();
    double next = slope > 0 ? s + g / slope : 0.5 * (lo + hi);
    if (!(next >= lo && next <= hi)) next = 0.5 * (lo + hi);
    if (std::fabs(next - s) <= 1e-7) {
      s = next;
      break;
    }
    s = next;
    c = at(s);
  }
  consider(c.d2(), s, c.offset(), false);
}

Location LocateIndex::Nearest(double x, double y) const {
  if (pieces_.empty() || !(std::fabs(x) < kFarAway) || !(std::fabs(y) < kFarAway)) return {false, 0, 0};
  Best best{std::numeric_limits<double>::infinity(), 0, 0};
  auto boxDistance2 = [x, y](const Box& b) { return BoxDistance2(b.minX, b.minY, b.maxX, b.maxY, x, y); };
  // Depth-first, nearer child first; each entry keeps its box distance, so each box is measured once.
  struct Entry {
    std::int32_t node;
    double distance2;
  };
  Entry stack[64];
  int top = 0;
  stack[top++] = {0, boxDistance2(nodes_[0].box)};
  while (top > 0) {
    const Entry entry = stack[--top];
    if (!(entry.distance2 < best.distance2)) continue;
    const Node& node = nodes_[static_cast<std::size_t>(entry.node)];
    if (node.left < 0) {
      for (std::uint32_t i = node.lo; i < node.hi; ++i) {
        if (boxDistance2(pieces_[i].box) < best.distance2) Search(pieces_[i], x, y, best);
      }
      continue;
    }
    const double dl = boxDistance2(nodes_[static_cast<std::size_t>(node.left)].box);
    const double dr = boxDistance2(nodes_[static_cast<std::size_t>(node.right)].box);
    if (dl < dr) {
      stack[top++] = {node.right, dr};
      stack[top++] = {node.left, dl};
    } else {
      stack[top++] = {node.left, dl};
      stack[top++] = {node.right, dr};
    }
  }
  // The straight extensions beyond both ends.
  const double sx = startCos_, sy = startSin_;
  const double vx0 = x - start_.x, vy0 = y - start_.y;
  const double behind = -(vx0 * sx + vy0 * sy);
  if (behind > kEndSlack) {
    const double o = vx0 * -sy + vy0 * sx;
    if (o * o < best.distance2) return {false, 0, 0};
  }
  const double ex = endCos_, ey = endSin_;
  const double vx1 = x - end_.x, vy1 = y - end_.y;
  const double beyond = vx1 * ex + vy1 * ey;
  if (beyond > kEndSlack) {
    const double o = vx1 * -ey + vy1 * ex;
    if (o * o < best.distance2) return {false, 0, 0};
  }
  return {true, best.chainage, best.offset};
}

}  // namespace survey::alignment
