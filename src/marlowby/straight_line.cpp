#include "marlowby/straight_line.h"

#include <charconv>
#include <cmath>

#include "common/coordinate.h"
#include "common/notation.h"

namespace marlowby {

using coordinates::StakeRecord;

std::string StakeNumberText(double v) {
  // Almost every value here is a whole number of millimetres. For those the 15 significant
  // digits of PlainNumberText are exactly the value's decimals, which can be written directly;
  // everything else takes the general route.
  const double scaled = v * 1000;
  if (std::fabs(scaled) < 1e14) {
    const long long n = std::llround(scaled);
    if (static_cast<double>(n) / 1000 == v) {
      if (n == 0) return "0";
      const unsigned long long magnitude = static_cast<unsigned long long>(n < 0 ? -n : n);
      char buffer[32];
      char* end = buffer;
      if (n < 0) *end++ = '-';
      end = std::to_chars(end, buffer + sizeof buffer, magnitude / 1000).ptr;
      unsigned fraction = static_cast<unsigned>(magnitude % 1000);
      if (fraction != 0) {
        *end++ = '.';
        const char digits[3] = {static_cast<char>('0' + fraction / 100), static_cast<char>('0' + fraction / 10 % 10),
                                static_cast<char>('0' + fraction % 10)};
        int count = 3;
        while (digits[count - 1] == '0') --count;
        for (int i = 0; i < count; ++i) *end++ = digits[i];
      }
      return std::string(buffer, end);
    }
  }
  return survey::PlainNumberText(v);
}

namespace {

// Every value of a row passes here; `finite` turns false when one would print as Inf or NaN.
std::string Text(double v, bool& finite) {
  finite = finite && std::isfinite(v);
  return StakeNumberText(v);
}
// A coordinate as stored: rounded to the millimetre, a half toward +infinity.
std::string CoordinateText(double v, bool& finite) { return Text(survey::RoundCoordinate(v, 1000), finite); }

// Side stakes from a centre point (the centre as zbzs, the coordinate forward problem, left it,
// before millimetre rounding).
void SetSides(StakeRecord& row, const StraightLineGeometry& g, double centreX, double centreY, bool& finite) {
  if (g.sideLength > 0) {
    const survey::PlanePoint left = survey::zbzs(centreX, centreY, g.leftAzimuth, g.sideLength);
    const survey::PlanePoint right = survey::zbzs(centreX, centreY, g.rightAzimuth, g.sideLength);
    row.zbx = CoordinateText(left.x, finite);
    row.zby = CoordinateText(left.y, finite);
    row.ybx = CoordinateText(right.x, finite);
    row.yby = CoordinateText(right.y, finite);
  } else {
    const std::string blank(coordinates::kNoSideStake);
    row.zbx = row.zby = row.ybx = row.yby = blank;
  }
}

}  // namespace

bool SkewInRange(double skew) { return skew < 90 && skew > -90; }

StraightLineGeometry MakeGeometry(const StraightLineInput& in) {
  StraightLineGeometry g;
  g.sideLength = in.skew == 0 ? in.sideDistance : in.sideDistance / std::cos((in.skew * survey::SurveyPi) / 180);
  g.azimuth = survey::zbfs(in.startX, in.startY, in.forwardX, in.forwardY).azimuth;
  g.leftAzimuth = g.azimuth - 90 + in.skew;
  if (g.leftAzimuth < 0) g.leftAzimuth += 360;
  g.rightAzimuth = g.azimuth + 90 + in.skew;
  if (g.rightAzimuth > 360) g.rightAzimuth -= 360;
  return g;
}

namespace {

StakeRecord StartRow(const StraightLineInput& in, const StraightLineGeometry& g, bool& finite) {
  StakeRecord row;
  row.station = Text(in.startStation, finite);
  row.zx = Text(in.startX, finite);
  row.zy = Text(in.startY, finite);
  SetSides(row, g, in.startX, in.startY, finite);
  return row;
}

StakeRecord StakeAt(const StraightLineInput& in, const StraightLineGeometry& g, double station, bool& finite) {
  const survey::PlanePoint centre = survey::zbzs(in.startX, in.startY, g.azimuth, station - in.startStation);
  StakeRecord row;
  row.station = Text(station, finite);
  row.zx = CoordinateText(centre.x, finite);
  row.zy = CoordinateText(centre.y, finite);
  SetSides(row, g, centre.x, centre.y, finite);
  return row;
}

}  // namespace

StakeRecord StartRow(const StraightLineInput& in, const StraightLineGeometry& g) {
  bool finite = true;
  return StartRow(in, g, finite);
}

StakeRecord StakeAt(const StraightLineInput& in, const StraightLineGeometry& g, double station) {
  bool finite = true;
  return StakeAt(in, g, station, finite);
}

StraightLineResult ComputeStraightLine(const StraightLineInput& in, std::size_t maxRows) {
  StraightLineResult result;
  if (!(in.interval > 0)) {
    result.refusal = Refusal::Interval;
    return result;
  }
  if (!SkewInRange(in.skew)) {
    result.refusal = Refusal::Skew;
    return result;
  }
  const double interval = in.interval;
  const double end = in.endStation;
  // The stakes start from the 10-metre mark, whatever the interval.
  double k = std::trunc(in.startStation / 10) * 10 + interval;
  if (k <= end) {
    // At least the start row and every regular stake; refuse at once when that is too many.
    const double atLeast = std::floor((end - k) / interval) + 2;
    if (!(atLeast <= static_cast<double>(maxRows))) {
      result.refusal = Refusal::TooManyRows;
      return result;
    }
    result.rows.reserve(static_cast<std::size_t>(atLeast) + 1);
  }
  const StraightLineGeometry g = MakeGeometry(in);
  bool finite = true;
  result.rows.push_back(StartRow(in, g, finite));
  while (k <= end) {
    // Also stops a station so large that adding the interval no longer changes it.
    if (result.rows.size() >= maxRows) {
      result.rows = {};
      result.refusal = Refusal::TooManyRows;
      return result;
    }
    result.rows.push_back(StakeAt(in, g, k, finite));
    // A value beyond the doubles ends the run at once: the rest could only be worse.
    if (!finite) break;
    k = k + interval;
    if (k > end && k < end + interval) k = end;
  }
  if (!finite) {
    result.rows = {};
    result.refusal = Refusal::NotFinite;
  }
  return result;
}

std::optional<StakeRecord> AddExtraStake(const StraightLineInput& in, Refusal* why) {
  Refusal refusal = Refusal::None;
  std::optional<StakeRecord> row;
  if (!SkewInRange(in.skew)) {
    refusal = Refusal::Skew;
  } else {
    const StraightLineGeometry g = MakeGeometry(in);
    bool finite = true;
    row = StakeAt(in, g, in.extraStation, finite);
    if (!finite) {
      row.reset();
      refusal = Refusal::NotFinite;
    }
  }
  if (why) *why = refusal;
  return row;
}

}  // namespace marlowby
