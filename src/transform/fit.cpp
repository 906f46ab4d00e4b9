#include "transform/fit.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "common/number_reading.h"
#include "transform/transform_error.h"

namespace survey::transform {

namespace {

// A scaled design matrix whose condition number passes this leaves a parameter to the noise
// of the coordinates: the points do not determine it.
constexpr double kMaxCondition = 1e10;
// Common points closer together than this are one point twice.
constexpr double kMinSpread = 1e-3;

Eigen::VectorXd SolveLeastSquares(Eigen::MatrixXd a, const Eigen::VectorXd& b, const char* singularMessage) {
  // Columns of lengths and of unit shifts differ by orders of magnitude; equal column norms
  // make the condition number speak of the geometry only.
  Eigen::VectorXd norms(a.cols());
  for (Eigen::Index c = 0; c < a.cols(); ++c) {
    norms(c) = a.col(c).norm();
    if (!(norms(c) > 0)) Refuse(singularMessage);
    a.col(c) /= norms(c);
  }
  const Eigen::JacobiSVD<Eigen::MatrixXd> svd(a, Eigen::ComputeThinU | Eigen::ComputeThinV);
  const Eigen::VectorXd& s = svd.singularValues();
  if (!(s(s.size() - 1) > 0) || s(0) / s(s.size() - 1) > kMaxCondition) Refuse(singularMessage);
  return svd.solve(b).cwiseQuotient(norms);
}

std::string Exact(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

// "key = value" lines into a map; refuses a line without "=", a repeated key.
std::map<std::string, std::pair<std::string, int>> ReadKeyValues(std::string_view text) {
  std::map<std::string, std::pair<std::string, int>> values;
  int line = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view row = text.substr(start, end - start);
    start = end + 1;
    ++line;
    if (line == 1 && row.starts_with("\xEF\xBB\xBF")) row.remove_prefix(3);
    const auto trim = [](std::string_view s) {
      while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
      while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
      return s;
    };
    row = trim(row);
    if (row.empty() || row.front() == '#') continue;
    const std::size_t eq = row.find('=');
    if (eq == std::string_view::npos) Refuse("参数文件第 " + std::to_string(line) + " 行：应为“名称 = 数值”。");
    const std::string key(trim(row.substr(0, eq)));
    if (values.contains(key)) Refuse("参数文件第 " + std::to_string(line) + " 行：" + key + " 重复。");
    values[key] = {std::string(trim(row.substr(eq + 1))), line};
  }
  return values;
}

struct ParameterReader {
  std::map<std::string, std::pair<std::string, int>> values;
  ParameterReader(std::string_view text, const std::string& type, const std::vector<std::string>& keys) {
    values = ReadKeyValues(text);
    const auto t = values.find("type");
    if (t == values.end()) Refuse("参数文件缺少 type（4 或 7）。");
    if (t->second.first != type) {
      Refuse("参数文件是 type = " + t->second.first + "，这里需要 " + type + " 参数文件。");
    }
    for (const auto& [key, value] : values) {
      if (key == "type" || key == "rms" || key == "points") continue;
      if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
        Refuse("参数文件第 " + std::to_string(value.second) + " 行：未知的参数 " + key + "。");
      }
    }
  }
  double Get(const std::string& key) const {
    const auto it = values.find(key);
    if (it == values.end()) Refuse("参数文件缺少 " + key + "。");
    const std::optional<double> v = ReadStrictNumber(it->second.first);
    if (!v) Refuse("参数文件第 " + std::to_string(it->second.second) + " 行：" + key + " 不是数字：“" + it->second.first + "”。");
    return *v;
  }
};

template <typename Point>
void CheckCount(const std::vector<CommonPoint<Point>>& points, std::size_t needed, const char* what) {
  if (points.size() < needed) {
    Refuse(std::string(what) + "至少需要 " + std::to_string(needed) + " 个公共点，只有 " + std::to_string(points.size()) + " 个。");
  }
}

}  // namespace

Plane Apply(const FourParameters& p, Plane a) {
  const double theta = p.rotation / kArcSecondsPerRadian;
  const double c = std::cos(theta), s = std::sin(theta);
  return {p.dx + p.scale * (a.x * c - a.y * s), p.dy + p.scale * (a.x * s + a.y * c)};
}

Space Apply(const SevenParameters& p, Space a) {
  const double m = p.ppm * 1e-6;
  const double rx = p.rx / kArcSecondsPerRadian, ry = p.ry / kArcSecondsPerRadian, rz = p.rz / kArcSecondsPerRadian;
  return {a.X + (p.dX + m * a.X + rz * a.Y - ry * a.Z), a.Y + (p.dY + m * a.Y - rz * a.X + rx * a.Z),
          a.Z + (p.dZ + m * a.Z + ry * a.X - rx * a.Y)};
}

FitResult<FourParameters> FitFour(const std::vector<CommonPoint<Plane>>& points) {
  CheckCount(points, 2, "四参数");
  const auto n = static_cast<Eigen::Index>(points.size());
  Plane c1, c2;
  for (const auto& p : points) {
    c1.x += p.from.x, c1.y += p.from.y, c2.x += p.to.x, c2.y += p.to.y;
  }
  const double count = static_cast<double>(points.size());
  c1 = {c1.x / count, c1.y / count}, c2 = {c2.x / count, c2.y / count};
  double spread = 0;
  Eigen::MatrixXd a(2 * n, 4);
  Eigen::VectorXd b(2 * n);
  for (Eigen::Index i = 0; i < n; ++i) {
    const auto& p = points[static_cast<std::size_t>(i)];
    const double x = p.from.x - c1.x, y = p.from.y - c1.y;
    spread = std::max(spread, std::hypot(x, y));
    a.row(2 * i) << 1, 0, x, -y;
    a.row(2 * i + 1) << 0, 1, y, x;
    b(2 * i) = p.to.x - c2.x;
    b(2 * i + 1) = p.to.y - c2.y;
  }
  const char* singular = "公共点重合，四参数无法确定。";
  if (spread < kMinSpread) Refuse(singular);
  const Eigen::VectorXd u = SolveLeastSquares(a, b, singular);
  const double ka = u(2), kb = u(3);
  FitResult<FourParameters> r;
  r.parameters.scale = std::hypot(ka, kb);
  r.parameters.rotation = std::atan2(kb, ka) * kArcSecondsPerRadian;
  r.parameters.dx = c2.x + u(0) - (ka * c1.x - kb * c1.y);
  r.parameters.dy = c2.y + u(1) - (kb * c1.x + ka * c1.y);
  double sum = 0;
  for (const auto& p : points) {
    const Plane t = Apply(r.parameters, p.from);
    Residual v{p.name, {p.to.x - t.x, p.to.y - t.y, 0}, 0};
    v.length = std::hypot(v.v[0], v.v[1]);
    sum += v.length * v.length;
    r.residuals.push_back(std::move(v));
  }
  r.rms = std::sqrt(sum / count);
  return r;
}

FitResult<SevenParameters> FitSeven(const std::vector<CommonPoint<Space>>& points) {
  CheckCount(points, 3, "七参数");
  const auto n = static_cast<Eigen::Index>(points.size());
  const double count = static_cast<double>(points.size());
  Space c1, d;  // centroid of the first set, mean difference
  for (const auto& p : points) {
    c1.X += p.from.X, c1.Y += p.from.Y, c1.Z += p.from.Z;
    d.X += p.to.X - p.from.X, d.Y += p.to.Y - p.from.Y, d.Z += p.to.Z - p.from.Z;
  }
  c1 = {c1.X / count, c1.Y / count, c1.Z / count};
  d = {d.X / count, d.Y / count, d.Z / count};
  double spread = 0;
  Eigen::MatrixXd a(3 * n, 7);
  Eigen::VectorXd b(3 * n);
  for (Eigen::Index i = 0; i < n; ++i) {
    const auto& p = points[static_cast<std::size_t>(i)];
    const double x = p.from.X - c1.X, y = p.from.Y - c1.Y, z = p.from.Z - c1.Z;
    spread = std::max(spread, std::hypot(x, y, z));
    a.row(3 * i) << 1, 0, 0, x, 0, -z, y;
    a.row(3 * i + 1) << 0, 1, 0, y, z, 0, -x;
    a.row(3 * i + 2) << 0, 0, 1, z, -y, x, 0;
    b(3 * i) = p.to.X - p.from.X - d.X;
    b(3 * i + 1) = p.to.Y - p.from.Y - d.Y;
    b(3 * i + 2) = p.to.Z - p.from.Z - d.Z;
  }
  const char* singular = "公共点重合或位于一条直线上，七参数无法确定。";
  if (spread < kMinSpread) Refuse(singular);
  const Eigen::VectorXd u = SolveLeastSquares(a, b, singular);
  const double m = u(3), rx = u(4), ry = u(5), rz = u(6);
  FitResult<SevenParameters> r;
  r.parameters.dX = d.X + u(0) - (m * c1.X + rz * c1.Y - ry * c1.Z);
  r.parameters.dY = d.Y + u(1) - (m * c1.Y - rz * c1.X + rx * c1.Z);
  r.parameters.dZ = d.Z + u(2) - (m * c1.Z + ry * c1.X - rx * c1.Y);
  r.parameters.ppm = m * 1e6;
  r.parameters.rx = rx * kArcSecondsPerRadian;
  r.parameters.ry = ry * kArcSecondsPerRadian;
  r.parameters.rz = rz * kArcSecondsPerRadian;
  double sum = 0;
  for (const auto& p : points) {
    const Space t = Apply(r.parameters, p.from);
    Residual v{p.name, {p.to.X - t.X, p.to.Y - t.Y, p.to.Z - t.Z}, 0};
    v.length = std::hypot(v.v[0], v.v[1], v.v[2]);
    sum += v.length * v.length;
    r.residuals.push_back(std::move(v));
  }
  r.rms = std::sqrt(sum / count);
  return r;
}

std::string FourParameterFile(const FourParameters& p, double rms, std::size_t count) {
  return "# 四参数：x2 = dx + scale·(x1·cosθ − y1·sinθ)，y2 = dy + scale·(x1·sinθ + y1·cosθ)；rotation 为 θ，单位秒\n"
         "type = 4\n"
         "dx = " + Exact(p.dx) + "\ndy = " + Exact(p.dy) + "\nrotation = " + Exact(p.rotation) + "\nscale = " +
         Exact(p.scale) + "\nrms = " + Exact(rms) + "\npoints = " + std::to_string(count) + "\n";
}

std::string SevenParameterFile(const SevenParameters& p, double rms, std::size_t count) {
  return "# 七参数（布尔莎，小角度线性式，坐标框架旋转）：旋转单位秒，尺度单位 ppm\n"
         "type = 7\n"
         "dx = " + Exact(p.dX) + "\ndy = " + Exact(p.dY) + "\ndz = " + Exact(p.dZ) + "\nrx = " + Exact(p.rx) +
         "\nry = " + Exact(p.ry) + "\nrz = " + Exact(p.rz) + "\nppm = " + Exact(p.ppm) + "\nrms = " + Exact(rms) +
         "\npoints = " + std::to_string(count) + "\n";
}

FourParameters ReadFourParameterFile(std::string_view text) {
  const ParameterReader r(text, "4", {"dx", "dy", "rotation", "scale"});
  FourParameters p{r.Get("dx"), r.Get("dy"), r.Get("rotation"), r.Get("scale")};
  if (!(p.scale > 0.5 && p.scale < 1.5)) Refuse("参数文件的 scale 应在 0.5 到 1.5 之间。");
  return p;
}

SevenParameters ReadSevenParameterFile(std::string_view text) {
  const ParameterReader r(text, "7", {"dx", "dy", "dz", "rx", "ry", "rz", "ppm"});
  return {r.Get("dx"), r.Get("dy"), r.Get("dz"), r.Get("rx"), r.Get("ry"), r.Get("rz"), r.Get("ppm")};
}

}  // namespace survey::transform
