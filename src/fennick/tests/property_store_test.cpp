#include <gtest/gtest.h>

#include <vector>

#include "fennick/property_store.h"

namespace fennick {
namespace {

// Remembers the order in which the button reads and writes its properties.
class RecordingStore : public MapPropertyStore {
 public:
  std::optional<PropertyValue> Find(std::string_view n) const override { return order.emplace_back(n), MapPropertyStore::Find(n); }
  void Put(std::string_view n, const PropertyValue& v) override { order.emplace_back(n), MapPropertyStore::Put(n, v); }
  void Erase(std::string_view n) override { order.emplace_back(n), MapPropertyStore::Erase(n); }
  mutable std::vector<std::string> order;
};

const FontDescription kAmbient{"Noto Sans CJK SC", 9.0, false, false, false, false};
const std::vector<std::string> kLayoutOrder = {"Font", "ForeColor", "Caption", "BackColor"};

TEST(ButtonProperties, ReadWhatIsStoredDefaultsForTheRest) {
  const FontDescription song{"SimSun", 12.0, true, false, false, false};
  const struct { std::vector<std::pair<const char*, PropertyValue>> stored; ButtonProperties read; } cases[] = {
      {{}, {kAmbient, kButtonText, "Fennick", kButtonFace}},
      {{{"Font", song}, {"ForeColor", OleColor{0xFFu}}, {"BackColor", OleColor{0xC0C0C0u}}}, {song, 0xFFu, "Fennick", 0xC0C0C0u}},
      {{{"Caption", std::string()}}, {kAmbient, kButtonText, "", kButtonFace}},  // an empty caption is kept
      // A value of another type (a damaged layout) reads as the default.
      {{{"Caption", OleColor{5}}, {"BackColor", std::string("red")}, {"Font", std::string("Arial")}},
       {kAmbient, kButtonText, "Fennick", kButtonFace}},
  };
  for (const auto& c : cases) {
    RecordingStore store;
    for (const auto& [name, value] : c.stored) store.MapPropertyStore::Put(name, value);
    EXPECT_EQ(ReadButtonProperties(store, kAmbient), c.read);
    EXPECT_EQ(store.order, kLayoutOrder);
  }
}

// Only what differs from a fresh button is stored; a value back at its default is dropped.
TEST(ButtonProperties, WriteOnlyWhatDiffers) {
  RecordingStore store;
  ButtonProperties p{kAmbient, kButtonText, "计算", 0x00F0F0F0u};  // an RGB look-alike of the face is no system colour
  WriteButtonProperties(store, p, kAmbient);
  EXPECT_EQ(store.order, kLayoutOrder);
  const std::map<std::string, PropertyValue, std::less<>> stored = {{"Caption", std::string("计算")}, {"BackColor", OleColor{0x00F0F0F0u}}};
  EXPECT_EQ(store.Values(), stored);
  p.caption = "Fennick";
  p.backColor = kButtonFace;
  WriteButtonProperties(store, p, kAmbient);
  EXPECT_TRUE(store.Values().empty());
}

}  // namespace
}  // namespace fennick
