#include <gtest/gtest.h>

#include <vector>

#include "fennick/property_store.h"

namespace fennick {
namespace {

// Remembers the order in which the button reads and writes its properties.
class RecordingStore : public MapPropertyStore {
 public:
  std::optional<PropertyValue> Find(std::string_view name) const override {
    reads.emplace_back(name);
    return MapPropertyStore::Find(name);
  }
  void Put(std::string_view name, const PropertyValue& value) override {
    writes.emplace_back(name);
    MapPropertyStore::Put(name, value);
  }
  void Erase(std::string_view name) override {
    writes.emplace_back(name);
    MapPropertyStore::Erase(name);
  }
  mutable std::vector<std::string> reads;
  std::vector<std::string> writes;
};

const FontDescription kAmbient{"Noto Sans CJK SC", 9.0, false, false, false, false};

TEST(ReadButtonProperties, EmptyStoreGivesTheDefaults) {
  MapPropertyStore store;
  const ButtonProperties p = ReadButtonProperties(store, kAmbient);
  EXPECT_EQ(p.caption, "Fennick");
  EXPECT_EQ(p.foreColor, 0x80000012u);
  EXPECT_EQ(p.backColor, 0x8000000Fu);
  EXPECT_EQ(p.font, kAmbient);
}

TEST(ReadButtonProperties, ReadsInTheLayoutOrder) {
  RecordingStore store;
  ReadButtonProperties(store, kAmbient);
  EXPECT_EQ(store.reads, (std::vector<std::string>{"Font", "ForeColor", "Caption", "BackColor"}));
}

TEST(ReadButtonProperties, StoredValuesWinAndMissingCaptionIsFennick) {
  MapPropertyStore store;
  const FontDescription song{"SimSun", 12.0, true, false, false, false};
  store.Put("Font", song);
  store.Put("ForeColor", OleColor{0x000000FFu});
  store.Put("BackColor", OleColor{0x00C0C0C0u});
  const ButtonProperties p = ReadButtonProperties(store, kAmbient);
  EXPECT_EQ(p.font, song);
  EXPECT_EQ(p.foreColor, 0x000000FFu);
  EXPECT_EQ(p.caption, "Fennick");
  EXPECT_EQ(p.backColor, 0x00C0C0C0u);
}

TEST(ReadButtonProperties, ValueOfTheWrongTypeReadsAsDefault) {
  MapPropertyStore store;
  store.Put("Caption", OleColor{5});
  store.Put("BackColor", std::string("red"));
  store.Put("Font", std::string("Arial"));
  const ButtonProperties p = ReadButtonProperties(store, kAmbient);
  EXPECT_EQ(p.caption, "Fennick");
  EXPECT_EQ(p.backColor, kButtonFace);
  EXPECT_EQ(p.font, kAmbient);
}

TEST(ReadButtonProperties, EmptyCaptionIsKept) {
  MapPropertyStore store;
  store.Put("Caption", std::string());
  EXPECT_EQ(ReadButtonProperties(store, kAmbient).caption, "");
}

TEST(WriteButtonProperties, DefaultsStoreNothing) {
  RecordingStore store;
  ButtonProperties p;
  p.font = kAmbient;
  WriteButtonProperties(store, p, kAmbient);
  EXPECT_TRUE(store.Values().empty());
  EXPECT_EQ(store.writes, (std::vector<std::string>{"Font", "ForeColor", "Caption", "BackColor"}));
}

TEST(WriteButtonProperties, StoresOnlyWhatDiffersAndRoundTrips) {
  MapPropertyStore store;
  ButtonProperties p;
  p.font = kAmbient;
  p.caption = "计算";
  p.backColor = 0x00FFFFFFu;
  WriteButtonProperties(store, p, kAmbient);
  EXPECT_EQ(store.Values().size(), 2u);
  EXPECT_EQ(std::get<std::string>(*store.Find("Caption")), "计算");
  EXPECT_EQ(std::get<OleColor>(*store.Find("BackColor")), 0x00FFFFFFu);
  EXPECT_EQ(ReadButtonProperties(store, kAmbient), p);
}

TEST(WriteButtonProperties, ReturningToADefaultDropsTheStaleValue) {
  MapPropertyStore store;
  ButtonProperties p;
  p.font = kAmbient;
  p.caption = "退出";
  WriteButtonProperties(store, p, kAmbient);
  ASSERT_TRUE(store.Find("Caption").has_value());
  p.caption = "Fennick";
  WriteButtonProperties(store, p, kAmbient);
  EXPECT_FALSE(store.Find("Caption").has_value());
}

TEST(WriteButtonProperties, SystemColourIsNotTheSameAsItsLookAlikeRgb) {
  // A colour picked by value stays that value even where it looks like the button face.
  MapPropertyStore store;
  ButtonProperties p;
  p.font = kAmbient;
  p.backColor = 0x00F0F0F0u;
  WriteButtonProperties(store, p, kAmbient);
  EXPECT_TRUE(store.Find("BackColor").has_value());
}

}  // namespace
}  // namespace fennick
