// The input fields of the curve coordinate window as texts, how they are read into numbers,
// and the echo values a main computation leaves for the parameter file and the report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tallyfen/curve/curve_stakes.h"

namespace tallyfen {

// The texts of the window's fields, with the texts the window starts with. The window's
// table kFieldObjects names the control (Text1 ...) behind each.
struct CurveFields {
  std::string zhX = "46722.855";      // ZH (start of the entering transition) X
  std::string zhY = "-7619.616";      // ZH Y
  std::string jdX = "47307.8854";     // JD (intersection of the tangents) X; for a plain circle
                                      // any point on the tangent from ZH toward JD
  std::string jdY = "-7992.9398";     // JD Y
  std::string zhStation = "875.262";  // station of ZH
  std::string alpha = "55.5659";      // deflection α, packed D.MMSS
  std::string radius = "1250";        // R
  std::string ls = "0";               // Ls, length of each transition; empty counts as 0
  std::string extraStation;           // station of the next extra stake (加桩)
  std::string offset = "0";           // bzjl, side-stake offset; no side stakes unless > 0
  std::string projectName = "用鼠标双击后输入工程名称";  // varc; a hint until double-clicked
  std::string tabulator;              // zbname, who drew up the table (制表人)
  bool turnLeft = true;               // "路线左转"; false is "路线右转"
};

// Why the fields cannot be computed.
enum class InputRefusal {
  None,
  DataError,      // empty or unreadable field, transition too long, curve not computable
  ZeroAngleOrRadius,
  OverlappingTransitions,  // 2 beta0 > alpha: no arc is left between the transitions
};

struct InputReading {
  InputRefusal refusal = InputRefusal::None;
  CurveCoordInput input;
};

// Reads every field the computation needs. Coordinates, station, angle, radius and transition
// length are read strictly (text that is not a number is refused, and so is an empty radius);
// an empty transition length counts as 0. The offset reads leniently. The transition length is
// rounded half to even and must stay within kMaxTransitionLength either way. A deflection or
// radius that reads as 0 is refused after all fields have been read, then transitions that
// overlap (2 β0 > α).
InputReading ReadCurveInput(const CurveFields& fields);

// The extra station: the number at the start of its field, blanks ignored, 0 without one.
double ReadExtraStation(const CurveFields& fields);

// Values the main computation leaves for the parameter file and the report.
struct CurveEcho {
  std::string projectName;    // VarC: project name as typed
  std::string tabulator;      // zbname: who drew up the table (制表人), as typed
  std::string deflection;     // alf: deflection in the signed degree-minute-second form
  std::string zhStation;      // zhydzh: ZH station, signed single form
  std::string tangentLength;  // tt: tangent length, signed single form
  std::string zhPoint;        // zhydxy: "x:" ZH x "  y:" ZH y, signed double forms
  std::string jdPoint;        // jdxy: the same for JD
  std::string sideOffset;     // bzjl: side-stake offset (边桩距离) as typed
  double r = 0;          // radius as read
  std::int16_t ls = 0;   // transition length as rounded
};

CurveEcho MakeCurveEcho(const CurveFields& fields, const CurveCoordInput& input, const CurveStationsResult& curve);

// Texts of a stake row as the stake table stores them: the station of a main-computation stake
// in the 7-digit single form; an extra stake as "加桩" and its station in the double form.
std::string StationText(const StakePoint& p);

}  // namespace tallyfen
