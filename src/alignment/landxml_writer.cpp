#include "alignment/landxml_writer.h"

#include "common/atomic_file.h"
#include "common/markup_escape.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numbers>
#include <string>

#include "alignment/alignment_error.h"

namespace survey::alignment {

namespace {

// The shortest plain decimal (no exponent, which some readers do not take) that reads back
// to the same double.
void Append(std::string& out, double value) {
  char buffer[400];   // the longest fixed form of a double has about 330 characters
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  out.append(buffer, result.ptr);
}

void Attribute(std::string& out, const char* name, double value) {
  out += ' ';
  out += name;
  out += "=\"";
  Append(out, value);
  out += '"';
}

// Text any XML 1.0 reader takes: control characters other than tab and line ends, which XML
// cannot hold even escaped, are dropped; tab and line ends are written as references so that
// attribute normalisation keeps them; bytes that are not UTF-8 become U+FFFD.
std::string XmlText(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (c == '\t' || c == '\n' || c == '\r') {
        clean += c == '\t' ? "\x01" "9" : c == '\n' ? "\x01" "10" : "\x01" "13";
      } else if (c >= 0x20 && c != 0x7F) {
        clean += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    // The length of a well-formed UTF-8 sequence starting here, 0 if it is not one.
    std::size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n > text.size() - i) n = 0;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) n = 0;
    }
    if (n == 3) {
      const auto c1 = static_cast<unsigned char>(text[i + 1]);
      if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0)) n = 0;   // overlong, surrogate
      if (c == 0xEF && c1 == 0xBF && static_cast<unsigned char>(text[i + 2]) >= 0xBE) n = 0;   // U+FFFE, U+FFFF
    } else if (n == 4) {
      const auto c1 = static_cast<unsigned char>(text[i + 1]);
      if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90)) n = 0;
    }
    if (n == 0) {
      clean += "\xEF\xBF\xBD";
      ++i;
    } else {
      clean.append(text.substr(i, n));
      i += n;
    }
  }
  std::string out = survey::MarkupEscape(clean);
  // The markers stand for character references, added after escaping so their "&" stays.
  std::string done;
  done.reserve(out.size());
  for (std::size_t k = 0; k < out.size(); ++k) {
    if (out[k] != '\x01') {
      done += out[k];
      continue;
    }
    done += "&#";
    while (k + 1 < out.size() && out[k + 1] >= '0' && out[k + 1] <= '9') done += out[++k];
    done += ';';
  }
  return done;
}

void Attribute(std::string& out, const char* name, std::string_view value) {
  out += ' ';
  out += name;
  out += "=\"";
  out += XmlText(value);
  out += '"';
}

// LandXML points are "northing easting".
void Point(std::string& out, const char* indent, const char* tag, double x, double y) {
  out += indent;
  out += '<';
  out += tag;
  out += '>';
  Append(out, x);
  out += ' ';
  Append(out, y);
  out += "</";
  out += tag;
  out += ">\n";
}

double Radius(double curvature) { return 1 / std::fabs(curvature); }

struct Intersection {
  bool found = false;
  double x = 0, y = 0;
};

// Where the tangent at `a` (forward) meets the tangent at `b` (backward): the PI of an arc
// or a spiral. None when the tangents are parallel or meet behind the start.
Intersection TangentIntersection(const Pose& a, const Pose& b) {
  const double ux = std::cos(a.azimuth), uy = std::sin(a.azimuth);
  const double vx = std::cos(b.azimuth), vy = std::sin(b.azimuth);
  const double cross = ux * vy - uy * vx;
  if (std::fabs(cross) < 1e-12) return {};
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double along = (dx * vy - dy * vx) / cross;
  // a + along u + back v = b: both distances solved by cross products with the other direction.
  const double back = (dy * ux - dx * uy) / cross;
  if (!(along > 0) || !(back > 0) || !std::isfinite(along)) return {};
  return {true, a.x + along * ux, a.y + along * uy};
}

void WriteElement(std::string& out, double startStation, const Element& e) {
  // LandXML element stations are internal (no equations applied); they are only informative,
  // a reader rebuilds the stations from staStart and the equations.
  std::string station;
  Append(station, startStation + e.startChainage);
  const Pose end = EndPose(e);
  const char* rot = (e.kind == ElementKind::Spiral ? e.startCurvature + e.endCurvature : e.startCurvature) > 0 ? "cw" : "ccw";
  switch (e.kind) {
    case ElementKind::Line:
      out += "      <Line";
      Attribute(out, "dir", e.start.azimuth);
      Attribute(out, "length", e.length);
      Attribute(out, "staStart", station);
      out += ">\n";
      Point(out, "        ", "Start", e.start.x, e.start.y);
      Point(out, "        ", "End", end.x, end.y);
      out += "      </Line>\n";
      return;
    case ElementKind::Arc: {
      const double r = Radius(e.startCurvature);
      const double side = e.startCurvature > 0 ? 1 : -1;   // centre to the right of a right turn
      const double cx = e.start.x + r * std::cos(e.start.azimuth + side * std::numbers::pi / 2);
      const double cy = e.start.y + r * std::sin(e.start.azimuth + side * std::numbers::pi / 2);
      out += "      <Curve";
      Attribute(out, "rot", rot);
      Attribute(out, "radius", r);
      Attribute(out, "length", e.length);
      Attribute(out, "delta", e.length / r);
      Attribute(out, "dirStart", e.start.azimuth);
      Attribute(out, "dirEnd", end.azimuth);
      Attribute(out, "staStart", station);
      out += ">\n";
      Point(out, "        ", "Start", e.start.x, e.start.y);
      Point(out, "        ", "Center", cx, cy);
      Point(out, "        ", "End", end.x, end.y);
      if (const Intersection pi = TangentIntersection(e.start, end); pi.found) Point(out, "        ", "PI", pi.x, pi.y);
      out += "      </Curve>\n";
      return;
    }
    case ElementKind::Spiral: {
      out += "      <Spiral";
      Attribute(out, "length", e.length);
      if (e.startCurvature == 0) Attribute(out, "radiusStart", "INF"); else Attribute(out, "radiusStart", Radius(e.startCurvature));
      if (e.endCurvature == 0) Attribute(out, "radiusEnd", "INF"); else Attribute(out, "radiusEnd", Radius(e.endCurvature));
      Attribute(out, "rot", rot);
      Attribute(out, "spiType", "clothoid");
      Attribute(out, "dirStart", e.start.azimuth);
      Attribute(out, "dirEnd", end.azimuth);
      Attribute(out, "staStart", station);
      out += ">\n";
      Point(out, "        ", "Start", e.start.x, e.start.y);
      if (const Intersection pi = TangentIntersection(e.start, end); pi.found) Point(out, "        ", "PI", pi.x, pi.y);
      Point(out, "        ", "End", end.x, end.y);
      out += "      </Spiral>\n";
      return;
    }
  }
}

void WriteProfile(std::string& out, const LandXmlExport& a) {
  if (a.profile == nullptr) return;
  const std::vector<ProfileRow>& rows = a.profile->Rows();
  const std::string& name = a.profileName.empty() ? a.name : a.profileName;
  out += "      <Profile";
  Attribute(out, "name", name);
  out += ">\n        <ProfAlign";
  Attribute(out, "name", name);
  out += ">\n";
  for (const ProfileRow& row : rows) {
    // PVI stations are internal: staStart plus the distance along the alignment.
    const double station = a.startStation + row.measure;
    const bool unsymmetric = row.asymmetric && row.hasCurve;
    if (unsymmetric) {
      out += "          <UnsymParaCurve";
      Attribute(out, "lengthIn", row.lengthIn);
      Attribute(out, "lengthOut", row.lengthOut);
    } else if (row.hasCurve) {
      // The parabola's length is 2T; a reader recovers R = 2T / |i2 - i1|.
      out += "          <ParaCurve";
      Attribute(out, "length", 2 * row.t);
    } else {
      out += "          <PVI";
    }
    Attribute(out, "name", row.name);
    out += '>';
    Append(out, station);
    out += ' ';
    Append(out, row.elevation);
    out += unsymmetric ? "</UnsymParaCurve>\n" : row.hasCurve ? "</ParaCurve>\n" : "</PVI>\n";
  }
  out += "        </ProfAlign>\n      </Profile>\n";
}

std::string TimeStamp(bool date) {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char buffer[16];
  std::strftime(buffer, sizeof buffer, date ? "%Y-%m-%d" : "%H:%M:%S", &utc);
  return buffer;
}

}  // namespace

std::string LandXmlText(const LandXmlExport& a) {
  std::string out;
  out.reserve(400 + a.elements.size() * 420);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\"";
  Attribute(out, "date", TimeStamp(true));
  Attribute(out, "time", TimeStamp(false));
  out += ">\n";
  out += "  <Units>\n    <Metric linearUnit=\"meter\" areaUnit=\"squareMeter\" volumeUnit=\"cubicMeter\""
         " angularUnit=\"radians\" directionUnit=\"radians\"/>\n  </Units>\n";
  double length = 0;
  for (const Element& e : a.elements) length += e.length;
  out += "  <Alignments>\n    <Alignment";
  Attribute(out, "name", a.name);
  Attribute(out, "length", length);
  Attribute(out, "staStart", a.startStation);
  out += ">\n      <CoordGeom>\n";
  const StationLine stations(a.startStation, a.equations);
  for (const Element& e : a.elements) WriteElement(out, a.startStation, e);
  out += "      </CoordGeom>\n";
  // Part i + 1 of the station line begins at equation i; staInternal is the station the
  // route would read there without equations.
  for (std::size_t i = 0; i < a.equations.size(); ++i) {
    out += "      <StaEquation";
    Attribute(out, "staBack", a.equations[i].back);
    Attribute(out, "staAhead", a.equations[i].ahead);
    Attribute(out, "staInternal", a.startStation + stations.Parts()[i + 1].chainage0);
    out += "/>\n";
  }
  WriteProfile(out, a);
  out += "    </Alignment>\n  </Alignments>\n</LandXML>\n";
  return out;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  // The suite's one writer: temporary file beside the target, every write checked, fsync,
  // rename; on failure the target stays as it was.
  const survey::WriteOutcome outcome = survey::WriteFileAtomically(path, bytes);
  if (!outcome.ok) throw AlignmentError("无法写入 " + path + "：" + outcome.reason + "。");
}

}  // namespace survey::alignment
