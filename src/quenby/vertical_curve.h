// Elevations on a symmetric parabolic vertical curve and the lines of its listing.
//
// Stations and elevations are doubles in metres. Grades are signed rise per metre in the
// direction of increasing stations. A crest (i1 > i2) lies below its grade lines, a sag above.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quenby {

// The form-level values the calculations share and keep between calculations.
struct CurveState {
  double r = 0;     // radius
  double dlti = 0;  // i1 - i2: >= 0 is a crest (or equal grades), < 0 a sag
  double x = 0;     // distance of the last stake from the nearer end of the curve
  std::string kg;   // padding after the last station text
};

struct CurveInput {
  double r = 0;
  double i1 = 0;
  double i2 = 0;
  double jd = 0;  // station of the grade-change point
  double h = 0;   // elevation of the grade-change point
};

struct CurveElements {
  double dlti = 0;
  double t = 0;  // tangent length
  double beginStation = 0;
  double endStation = 0;
  double beginElevation = 0;
  double endElevation = 0;
  bool Finite() const;
};

// Also sets state.r and state.dlti, as every calculation does.
CurveElements ComputeElements(const CurveInput& in, CurveState& state);

// Adds the parabola ordinate x^2 / (R + R) to a grade-line elevation: subtracted on a crest
// (and for equal grades), added on a sag.
void AddCurveOffset(const CurveState& state, double& elevation, double x);

// Design elevation of the stake at station s; sets state.x. Outside the curve the same
// formulas are applied.
double StakeElevation(const CurveInput& in, const CurveElements& e, CurveState& state, double s);

// The next 5-metre mark after the begin station; a begin point on an odd multiple of 5 m is
// itself the first stake.
double FirstStake(double beginStation);

// Sets state.kg to the blanks that fill the station text to 18 columns (none from 18 on).
void PadAfterStation(CurveState& state, std::string_view stationText);
void PadAfterStation(CurveState& state, double station);

// Millimetres, a tie going to the even millimetre.
double RoundElevation(double elevation);
// The plain double text of a listed number (15 significant digits, no trailing zeros).
std::string ListingNumberText(double value);
std::string StationText(double station);
std::string ElevationText(double elevation);

// The listing's lines, each with its CR LF.
std::string HeaderLines();  // the header and the solid rule
std::string SolidRule();
std::string DashedRule();
std::string DataLine(std::string_view stationText, const std::string& kg, double elevation);
std::string ExtraStakeLine(std::string_view typedStation, const std::string& kg, double elevation);

// The listing of Command1. Refuses (`out` untouched) when it would hold more than `maxLines`
// lines, counting before any line is built, or when an elevation would list as Inf or NaN.
enum class ListingOutcome { Done, TooManyLines, NotFinite };
ListingOutcome BuildListing(const CurveInput& in, double spacing, CurveState& state, std::string& out,
                            std::size_t maxLines);

inline constexpr std::size_t kMaxListingLines = 1000000;

// The document that printing sends: each copy is the listing followed by the line end the
// printer adds after a printed text; copies follow without a page break.
std::string PrintedText(std::string_view listing, int copies);

}  // namespace quenby
