// The host's property store: where a host window keeps each control's design-time properties
// with its layout, and the button's read/write of its own properties against it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "fennick/ole_color.h"

namespace fennick {

// A font as a layout stores it.
struct FontDescription {
  std::string name;
  double size = 9.0;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

using PropertyValue = std::variant<std::string, OleColor, FontDescription>;

class PropertyStore {
 public:
  virtual ~PropertyStore() = default;
  virtual std::optional<PropertyValue> Find(std::string_view name) const = 0;
  virtual void Put(std::string_view name, const PropertyValue& value) = 0;
  virtual void Erase(std::string_view name) = 0;
};

// The simplest store: a map from property name to value.
class MapPropertyStore : public PropertyStore {
 public:
  std::optional<PropertyValue> Find(std::string_view name) const override;
  void Put(std::string_view name, const PropertyValue& value) override;
  void Erase(std::string_view name) override;
  const std::map<std::string, PropertyValue, std::less<>>& Values() const { return values_; }

 private:
  std::map<std::string, PropertyValue, std::less<>> values_;
};

// A stored value of another type than expected (a damaged layout) reads as the default.
std::string ReadText(const PropertyStore& store, std::string_view name, const std::string& defaultValue);
OleColor ReadColour(const PropertyStore& store, std::string_view name, OleColor defaultValue);
FontDescription ReadFont(const PropertyStore& store, std::string_view name,
                         const FontDescription& defaultValue);

// A value equal to its default is not stored (and a stale stored value is dropped), so a
// layout holds only what differs from a fresh control.
void WriteProperty(PropertyStore& store, std::string_view name, const PropertyValue& value,
                   const PropertyValue& defaultValue);

inline constexpr const char* kDefaultCaption = "Fennick";

// The button's stored properties.
struct ButtonProperties {
  FontDescription font;
  OleColor foreColor = kButtonText;
  std::string caption = kDefaultCaption;
  OleColor backColor = kButtonFace;
  friend bool operator==(const ButtonProperties&, const ButtonProperties&) = default;
};

// Reads "Font", "ForeColor", "Caption" and "BackColor" in that order; the font defaults to
// the host's ambient font.
ButtonProperties ReadButtonProperties(const PropertyStore& store, const FontDescription& ambientFont);
// Writes them in the same order with the same defaults.
void WriteButtonProperties(PropertyStore& store, const ButtonProperties& properties,
                           const FontDescription& ambientFont);

}  // namespace fennick
