#include "fennick/property_store.h"

namespace fennick {

std::optional<PropertyValue> MapPropertyStore::Find(std::string_view name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) {
    return std::nullopt;
  }
  return it->second;
}

void MapPropertyStore::Put(std::string_view name, const PropertyValue& value) {
  values_.insert_or_assign(std::string(name), value);
}

void MapPropertyStore::Erase(std::string_view name) {
  const auto it = values_.find(name);
  if (it != values_.end()) {
    values_.erase(it);
  }
}

namespace {

template <typename T>
T ReadAs(const PropertyStore& store, std::string_view name, const T& defaultValue) {
  const std::optional<PropertyValue> stored = store.Find(name);
  if (stored) {
    if (const T* value = std::get_if<T>(&*stored)) {
      return *value;
    }
  }
  return defaultValue;
}

}  // namespace

std::string ReadText(const PropertyStore& store, std::string_view name, const std::string& defaultValue) {
  return ReadAs(store, name, defaultValue);
}

OleColor ReadColour(const PropertyStore& store, std::string_view name, OleColor defaultValue) {
  return ReadAs(store, name, defaultValue);
}

FontDescription ReadFont(const PropertyStore& store, std::string_view name,
                         const FontDescription& defaultValue) {
  return ReadAs(store, name, defaultValue);
}

void WriteProperty(PropertyStore& store, std::string_view name, const PropertyValue& value,
                   const PropertyValue& defaultValue) {
  if (value == defaultValue) {
    store.Erase(name);
  } else {
    store.Put(name, value);
  }
}

ButtonProperties ReadButtonProperties(const PropertyStore& store, const FontDescription& ambientFont) {
  ButtonProperties p;
  p.font = ReadFont(store, "Font", ambientFont);
  p.foreColor = ReadColour(store, "ForeColor", kButtonText);
  p.caption = ReadText(store, "Caption", kDefaultCaption);
  p.backColor = ReadColour(store, "BackColor", kButtonFace);
  return p;
}

void WriteButtonProperties(PropertyStore& store, const ButtonProperties& properties,
                           const FontDescription& ambientFont) {
  WriteProperty(store, "Font", properties.font, ambientFont);
  WriteProperty(store, "ForeColor", properties.foreColor, kButtonText);
  WriteProperty(store, "Caption", properties.caption, std::string(kDefaultCaption));
  WriteProperty(store, "BackColor", properties.backColor, kButtonFace);
}

}  // namespace fennick
