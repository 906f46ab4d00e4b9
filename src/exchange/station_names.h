// Names of stakes in field files: the station in K notation, and side stakes by side and
// offset ("K10+020", "JD3 HY" beside it, "K10+020左5").
#pragma once

#include <string>
#include <string_view>

namespace survey::exchange {

// "1810.791" -> "K1+810.791", "20" -> "K0+020", "加桩1100.5" -> "加桩K1+100.5"; the digits of
// the metres as given. A text that is not a station of 0 or more stays as it is.
std::string StationName(std::string_view metres);

// Metres with up to three decimals, trailing zeros dropped: 5 -> "5", 7.5 -> "7.5".
std::string TrimmedMetres(double metres);

// A station as a stake's name: 10020 -> "K10+020", 10123.456 -> "K10+123.456".
std::string StakeName(double station);

// "K10+020左5" (offset < 0, left) or "K10+020右3.75".
std::string SideStakeName(const std::string& stakeName, double offset);

// The name as an instrument's point id (GSI-16 holds printable ASCII only, no blanks): "左" and
// "右" become "L" and "R", a blank "_" ("JD3 HY左5" -> "JD3_HYL5"); other characters stay (and
// the GSI writer refuses what it cannot hold).
std::string AsciiStakeName(std::string_view name);

}  // namespace survey::exchange
