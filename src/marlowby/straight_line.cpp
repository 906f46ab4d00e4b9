#include "marlowby/straight_line.h"

#include <charconv>
#include <cmath>

#include "common/coordinate.h"
#include "common/notation.h"

namespace marlowby {

using coordinates::StakeRecord;

namespace {

}  // namespace

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

std::string Text(double v) { return StakeNumberText(v); }
std::string Millimetres(double v) { return Text(survey::RoundCoordinate(v, 1000)); }

// Side stakes from a centre point (the centre as zbzs left it, before millimetre rounding).
void SetSides(StakeRecord& row, const StraightLineGeometry& g, double centreX, double centreY) {
  if (g.sideLength > 0) {
    const survey::PlanePoint left = survey::zbzs(centreX, centreY, g.leftAzimuth, g.sideLength);
    const survey::PlanePoint right = survey::zbzs(centreX, centreY, g.rightAzimuth, g.sideLength);
    row.zbx = Millimetres(left.x);
    row.zby = Millimetres(left.y);
    row.ybx = Millimetres(right.x);
    row.yby = Millimetres(right.y);
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

StakeRecord StartRow(const StraightLineInput& in, const StraightLineGeometry& g) {
  StakeRecord row;
  row.zh = Text(in.startStation);
  row.zx = Text(in.startX);
  row.zy = Text(in.startY);
  SetSides(row, g, in.startX, in.startY);
  return row;
}

StakeRecord StakeAt(const StraightLineInput& in, const StraightLineGeometry& g, double station) {
  const survey::PlanePoint centre = survey::zbzs(in.startX, in.startY, g.azimuth, station - in.startStation);
  StakeRecord row;
  row.zh = Text(station);
  row.zx = Millimetres(centre.x);
  row.zy = Millimetres(centre.y);
  SetSides(row, g, centre.x, centre.y);
  return row;
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
  result.rows.push_back(StartRow(in, g));
  while (k <= end) {
    // Also stops a station so large that adding the interval no longer changes it.
    if (result.rows.size() >= maxRows) {
      result.rows = {};
      result.refusal = Refusal::TooManyRows;
      return result;
    }
    result.rows.push_back(StakeAt(in, g, k));
    k = k + interval;
    if (k > end && k < end + interval) k = end;
  }
  return result;
}

std::optional<StakeRecord> AddExtraStake(const StraightLineInput& in) {
  if (!SkewInRange(in.skew)) return std::nullopt;
  const StraightLineGeometry g = MakeGeometry(in);
  return StakeAt(in, g, in.extraStation);
}

}  // namespace marlowby
