#include "exchange/station_names.h"

#include <algorithm>
#include <cmath>

#include "exchange/exchange_error.h"
#include "exchange/field_text.h"

namespace survey::exchange {

std::string StationName(std::string_view metres) {
  std::string_view t = TrimBlanks(metres);
  // The curve window marks extra stakes "加桩1100.5": the mark stays in front of the station.
  const std::size_t digits = t.find_first_of("0123456789");
  if (digits != std::string_view::npos && digits > 0 && static_cast<unsigned char>(t[0]) >= 0x80) {
    return std::string(t.substr(0, digits)) + StationName(t.substr(digits));
  }
  double value = 0;
  try {
    value = ReadCoordinate(t, 0, "");
  } catch (const ExchangeError&) {
    return std::string(t);
  }
  const std::size_t point = t.find('.');
  const int decimals = point == std::string_view::npos ? 0 : static_cast<int>(std::min<std::size_t>(t.size() - point - 1, 6));
  if (value < 0) return std::string(t);
  const double scale = std::pow(10.0, decimals);
  const long long units = std::llround(value * scale);
  const long long perKm = std::llround(1000 * scale);
  const long long km = units / perKm;
  const long long rest = units % perKm;
  const long long whole = rest / static_cast<long long>(scale);
  const long long fraction = rest % static_cast<long long>(scale);
  const auto padded = [](long long number, std::size_t width) {
    const std::string text = std::to_string(number);
    return std::string(text.size() < width ? width - text.size() : 0, '0') + text;
  };
  std::string name = "K" + std::to_string(km) + "+" + padded(whole, 3);
  if (decimals > 0) name += "." + padded(fraction, static_cast<std::size_t>(decimals));
  return name;
}

std::string TrimmedMetres(double metres) {
  std::string text;
  AppendFixed(text, metres, 3);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

std::string StakeName(double station) { return StationName(TrimmedMetres(station)); }

std::string SideStakeName(const std::string& stakeName, double offset) {
  return stakeName + (offset < 0 ? "左" : "右") + TrimmedMetres(std::fabs(offset));
}

std::string AsciiStakeName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    if (name.substr(i).starts_with("左")) {
      out += 'L';
      i += std::string_view("左").size();
    } else if (name.substr(i).starts_with("右")) {
      out += 'R';
      i += std::string_view("右").size();
    } else {
      out += name[i] == ' ' ? '_' : name[i];
      ++i;
    }
  }
  return out;
}

}  // namespace survey::exchange
