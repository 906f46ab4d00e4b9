// The input fields of the curve coordinate window as texts, how they are read into numbers,
// and the echo values a main computation leaves for the parameter file and the report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tallyfen/curve/curve_stakes.h"

namespace tallyfen {

// The window's fields under their control names, with the texts the window starts with.
struct CurveFields {
  std::string Text1 = "46722.855";   // ZH x
  std::string Text2 = "-7619.616";   // ZH y
  std::string Text3 = "47307.8854";  // JD x
  std::string Text4 = "-7992.9398";  // JD y
  std::string Text5 = "875.262";     // ZH station
  std::string Text6 = "55.5659";     // deflection, packed D.MMSS
  std::string Text7 = "1250";        // radius
  std::string Text8 = "0";           // transition length
  std::string Text9;                 // extra-stake station
  std::string Text10 = "0";          // side-stake offset
  std::string Text11 = "用鼠标双击后输入工程名称";  // project name (a hint until double-clicked)
  std::string Text12;                // tabulator
  bool Option1 = true;               // "路线左转"; false selects Option2 "路线右转"
};

// Why the fields cannot be computed.
enum class InputRefusal {
  None,
  DataError,      // empty or unreadable field, transition too long, curve not computable
  ZeroAngleOrRadius,
};

struct InputReading {
  InputRefusal refusal = InputRefusal::None;
  CurveCoordInput input;
};

// Reads every field the computation needs. Coordinates, station, angle, radius and transition
// length are read strictly (text that is not a number is refused, and so is an empty radius);
// an empty transition length counts as 0. The offset reads leniently. The transition length is
// rounded half to even and must stay within kMaxTransitionLength either way. A deflection or
// radius that reads as 0 is refused after all fields have been read.
InputReading ReadCurveInput(const CurveFields& fields);

// The extra station: the number at the start of Text9, blanks ignored, 0 without one.
double ReadExtraStation(const CurveFields& fields);

// Values the main computation leaves for the parameter file and the report.
struct CurveEcho {
  std::string varc;    // project name as typed (Text11)
  std::string zbname;  // tabulator as typed
  std::string alf;     // deflection in the signed degree-minute-second form
  std::string zhydzh;  // ZH station, signed single form
  std::string tt;      // tangent length, signed single form
  std::string zhydxy;  // "x:" ZH x "  y:" ZH y, signed double forms
  std::string jdxy;    // the same for JD
  std::string bzjl;    // side-stake offset (边桩距离) as typed
  double r = 0;
  std::int16_t ls = 0;
};

CurveEcho MakeCurveEcho(const CurveFields& fields, const CurveCoordInput& input, const CurveStationsResult& curve);

// Texts of a stake row as the stake table stores them: the station of a main-computation stake
// in the 7-digit single form; an extra stake as "加桩" and its station in the double form.
std::string StationText(const StakePoint& p);

}  // namespace tallyfen
