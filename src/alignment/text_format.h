// Numbers, stations and angles of the alignment program as text, both ways.
//
// Fixed decimals round half away from zero on the decimal value the double stands for: its
// shortest round-trip text. So 2.675 (held as 2.67499999999999982236431605997495353221893310546875)
// prints as 2.68 with two places, as a surveyor who typed 2.675 expects, and never as 2.67;
// adding 0.5 and truncating would get both this and large values wrong.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace survey::alignment {

// How angles are typed and printed: packed D.MMSS (the suite's notation, the default) or
// decimal degrees (--degrees).
enum class AngleUnit { PackedDms, Degrees };

// A number field: optional blanks, optional sign, digits with at most one point, an optional
// exponent, optional blanks; full-width digits, point and signs count as ASCII. "nan", "inf",
// hexadecimal, thousands separators and values beyond the double range are not numbers.
std::optional<double> ReadNumber(std::string_view text);

// A station: K notation "K12+345.678" (also "k12+345.678", a sign before the K for a station
// before K0+000, metres part below 1000) or plain metres "12345.678".
std::optional<double> ReadStation(std::string_view text);

// A packed angle D.MMSS in decimal degrees. The fields are split as everywhere in the suite
// (integer part degrees, first two decimals minutes, next two seconds, from the value written
// with 15 significant digits, fields not limited to 0..59, a minus sign applying to all), but
// further decimals stay as a fraction of a second instead of being rounded away: this program
// prints seconds with two decimals, and what it prints must read back as the same angle.
std::optional<double> ReadPackedAngle(std::string_view text);

// An angle typed in `unit`, in radians.
std::optional<double> ReadAngle(std::string_view text, AngleUnit unit);

// The value with exactly `decimals` places (0..17), rounded half away from zero; no exponent,
// no "-" on a value that rounds to zero. Not finite values print as "nan", "inf", "-inf".
void AppendFixed(std::string& out, double value, int decimals);
std::string FixedText(double value, int decimals);

// A station in K notation with `decimals` places: 12345.678 -> "K12+345.678",
// -12.5 -> "-K0+012.500"; the rounding carries into the kilometres (999.9996 -> "K1+000.000").
void AppendStationK(std::string& out, double station, int decimals);
std::string StationKText(double station, int decimals);

// An angle given in radians, printed as packed D.MMSS with two decimals of seconds
// (123.453012 = 123°45′30.12″; the rounding carries 59.995″ into the minutes and 60′ into the
// degrees) or as decimal degrees with 8 places. An azimuth that rounds to 360° prints as 0.
enum class AngleKind { Azimuth, Angle };
void AppendAngle(std::string& out, double radians, AngleUnit unit, AngleKind kind = AngleKind::Angle);
std::string AngleText(double radians, AngleUnit unit, AngleKind kind = AngleKind::Angle);
// Packed D.MMSS with `secondDecimals` places of seconds (0 to 8), rounded once; the writer
// AppendAngle uses with two places, and the window with eight where an azimuth must read back
// to well below a nanoradian.
void AppendPackedAngle(std::string& out, double radians, int secondDecimals, AngleKind kind = AngleKind::Angle);

// A CSV field: the text itself, or in double quotes (inner quotes doubled) when it holds a
// comma, a quote or a line break.
void AppendCsvField(std::string& out, std::string_view text);
// A record: the fields parted by commas, then LF.
void AppendCsvRecord(std::string& out, const std::vector<std::string>& fields);

}  // namespace survey::alignment
