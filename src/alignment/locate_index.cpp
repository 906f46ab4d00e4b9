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

double BoxDistance2(double minX, double minY, double maxX, double maxY, double x, double y) {
  const double dx = x < minX ? minX - x : (x > maxX ? x - maxX : 0.0);
  const double dy = y < minY ? minY - y : (y > maxY ? y - maxY : 0.0);
  return dx * dx + dy * dy;
}

// Point and unit tangent at local s of a piece.
struct Local {
  double x, y, tx, ty, curvature;
};

}  // namespace

LocateIndex::LocateIndex(const std::vector<Element>& elements) {
  if (elements.empty()) return;
  start_ = elements.front().start;
  end_ = EndPose(elements.back());
  length_ = elements.back().startChainage + elements.back().length;
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
  if (piece.startCurvature == 0 && piece.curvatureRate == 0) {
    const double vx = x - piece.x0, vy = y - piece.y0;
    const double t = std::clamp(vx * piece.cos0 + vy * piece.sin0, 0.0, h);
    const double ox = vx - t * piece.cos0, oy = vy - t * piece.sin0;
    const double d2 = ox * ox + oy * oy;
    if (d2 < best.distance2) best = {d2, piece.chainage0 + t, ox * -piece.sin0 + oy * piece.cos0};
    return;
  }
  auto at = [&](double s) {
    const ClothoidPoint c = ClothoidAt(piece.startCurvature, piece.curvatureRate, s);
    const double ct = std::cos(c.turn), st = std::sin(c.turn);
    return Local{piece.x0 + (c.along * piece.cos0 - c.right * piece.sin0),
                 piece.y0 + (c.along * piece.sin0 + c.right * piece.cos0), piece.cos0 * ct - piece.sin0 * st,
                 piece.sin0 * ct + piece.cos0 * st, piece.startCurvature + piece.curvatureRate * s};
  };
  // g(s) = (P - C(s)) . T(s): positive while moving on brings the curve nearer.
  auto consider = [&](double s, const Local& c) {
    const double vx = x - c.x, vy = y - c.y;
    const double d2 = vx * vx + vy * vy;
    if (d2 < best.distance2) best = {d2, piece.chainage0 + s, vx * -c.ty + vy * c.tx};
  };
  const Local a = at(0);
  const Local b = at(h);
  const double g0 = (x - a.x) * a.tx + (y - a.y) * a.ty;
  const double g1 = (x - b.x) * b.tx + (y - b.y) * b.ty;
  consider(0, a);
  consider(h, b);
  if (!(g0 > 0 && g1 < 0)) return;
  // Newton on g with g' = -1 + curvature * offset, kept inside a shrinking bracket.
  double lo = 0, hi = h;
  double s = h * (g0 / (g0 - g1));
  Local c = at(s);
  for (int iteration = 0; iteration < 60; ++iteration) {
    const double vx = x - c.x, vy = y - c.y;
    const double g = vx * c.tx + vy * c.ty;
    const double offset = vx * -c.ty + vy * c.tx;
    if (g > 0) {
      lo = s;
    } else {
      hi = s;
    }
    const double slope = 1 - c.curvature * offset;
    double next = slope > 0 ? s + g / slope : 0.5 * (lo + hi);
    if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
    const bool done = std::fabs(next - s) <= 1e-12 * (1 + h);
    s = next;
    c = at(s);
    if (done || g == 0) break;
  }
  consider(s, c);
}

Location LocateIndex::Nearest(double x, double y) const {
  if (pieces_.empty() || !(std::fabs(x) < kFarAway) || !(std::fabs(y) < kFarAway)) return {false, 0, 0};
  Best best{std::numeric_limits<double>::infinity(), 0, 0};
  std::int32_t stack[64];
  int top = 0;
  stack[top++] = 0;
  while (top > 0) {
    const Node& node = nodes_[static_cast<std::size_t>(stack[--top])];
    if (!(BoxDistance2(node.box.minX, node.box.minY, node.box.maxX, node.box.maxY, x, y) < best.distance2)) continue;
    if (node.left < 0) {
      for (std::uint32_t i = node.lo; i < node.hi; ++i) {
        const Box& b = pieces_[i].box;
        if (BoxDistance2(b.minX, b.minY, b.maxX, b.maxY, x, y) < best.distance2) Search(pieces_[i], x, y, best);
      }
      continue;
    }
    const Node& l = nodes_[static_cast<std::size_t>(node.left)];
    const Node& r = nodes_[static_cast<std::size_t>(node.right)];
    const double dl = BoxDistance2(l.box.minX, l.box.minY, l.box.maxX, l.box.maxY, x, y);
    const double dr = BoxDistance2(r.box.minX, r.box.minY, r.box.maxX, r.box.maxY, x, y);
    // Nearer child on top of the stack.
    if (dl < dr) {
      stack[top++] = node.right;
      stack[top++] = node.left;
    } else {
      stack[top++] = node.left;
      stack[top++] = node.right;
    }
  }
  // The straight extensions beyond both ends.
  const double sx = std::cos(start_.azimuth), sy = std::sin(start_.azimuth);
  const double vx0 = x - start_.x, vy0 = y - start_.y;
  const double behind = -(vx0 * sx + vy0 * sy);
  if (behind > kEndSlack) {
    const double o = vx0 * -sy + vy0 * sx;
    if (o * o < best.distance2) return {false, 0, 0};
  }
  const double ex = std::cos(end_.azimuth), ey = std::sin(end_.azimuth);
  const double vx1 = x - end_.x, vy1 = y - end_.y;
  const double beyond = vx1 * ex + vy1 * ey;
  if (beyond > kEndSlack) {
    const double o = vx1 * -ey + vy1 * ex;
    if (o * o < best.distance2) return {false, 0, 0};
  }
  return {true, best.chainage, best.offset};
}

}  // namespace survey::alignment
