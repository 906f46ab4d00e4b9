#include "dovetree/station_deflections.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace dovetree {
namespace {

using survey::DmsText;
using survey::TextForm;

StationInput Input(const char* jd, const char* alpha, const char* r, const char* ls, const char* m) {
  const auto in = ReadStationInput(jd, alpha, r, ls, m);
  EXPECT_TRUE(in.has_value()) << jd << " " << alpha << " " << r << " " << ls << " " << m;
  return in.value_or(StationInput{});
}

StationResult Compute(const StationInput& in) {
  const auto result = ComputeStationDeflections(in);
  EXPECT_TRUE(result.has_value());
  return result.value_or(StationResult{});
}

// The listed angle and its reverse as the report splits them, without the signed blanks.
std::string Angle(double J) { return DmsText(survey::SplitDms(J), TextForm::Plain); }
std::string Reverse(double J) { return Angle(360 - J); }

// The worked example: JD 1000, alpha 30°, R 500, Ls 60, instrument at 870.
StationResult WorkedExample(const char* m = "870") { return Compute(Input("1000", "30.0000", "500", "60", m)); }

TEST(InstrumentDeflection, UsesTheLiteralFactorInItsOrder) {
  // 9.55 · |u|, over Ls · R, times (u + 3 · lA).
  EXPECT_EQ(InstrumentDeflection(10, 5, 500, 60), 9.55 * 10 / (60.0 * 500) * (10 + 3 * 5.0));
  EXPECT_EQ(InstrumentDeflection(0, 34, 500, 60), 0);
  // With the instrument on ZH the formula is 9.55 · u² / (R · Ls): 9.55 · 3600 / 1800 = 19.1.
  EXPECT_DOUBLE_EQ(InstrumentDeflection(60, 0, 30, 60), 19.1);
}

TEST(InstrumentDeflection, SignFollowsTheSideOfTheZeroPoint) {
  // Behind the instrument the deflection is positive while the point lies within 2 · lA of ZH
  // and negative further back.
  EXPECT_GT(InstrumentDeflection(-10, 34, 500, 60), 0);
  EXPECT_LT(InstrumentDeflection(-110, 34, 500, 60), 0);
  EXPECT_EQ(InstrumentDeflection(-102, 34, 500, 60), 0);
}

TEST(StationElements, TheMainCalculationUsesSinglePAndQ) {
  // The digits of the variant are pinned with the other curve elements; here only which one
  // the main calculation takes (double p and q give T 75.14841).
  const StationElements e = ComputeStationElements(Input("1000", "30", "120", "85", "950"));
  EXPECT_EQ(survey::PlainNumberText(e.T), "75.1484");
  EXPECT_EQ(survey::PlainNumberText(e.p), "2.508681");
}

TEST(StationDeflections, WorkedExampleEveryRow) {
  const StationResult r = WorkedExample();
  struct Expected {
    RowKind kind;
    double station;
    const char* deflection;
    const char* reverse;
  };
  const Expected expected[] = {
      {RowKind::ZH, 835.9486083984375, "0°44′18″", "359°15′42″"},
      {RowKind::Stake, 840, "0°41′21″", "359°18′39″"},
      {RowKind::Stake, 850, "0°31′23″", "359°28′37″"},
      {RowKind::Stake, 860, "0°17′36″", "359°42′24″"},
      {RowKind::Stake, 870, "0°0′0″", "360°0′0″"},
      {RowKind::Instrument, 870, "0°0′0″", "360°0′0″"},
      {RowKind::Stake, 880, "0°21′25″", "359°38′35″"},
      {RowKind::Stake, 890, "0°46′40″", "359°13′20″"},
      {RowKind::HY, 895.9486083984375, "1°3′29″", "358°56′31″"},
  };
  ASSERT_EQ(r.rows.size(), std::size(expected));
  for (std::size_t i = 0; i < r.rows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(r.rows[i].kind, expected[i].kind);
    EXPECT_EQ(r.rows[i].station, expected[i].station);
    EXPECT_EQ(Angle(r.rows[i].deflection), expected[i].deflection);
    EXPECT_EQ(Reverse(r.rows[i].deflection), expected[i].reverse);
  }
  // The ZH row is 9.55 · 2 · lA² / (R · Ls) with lA = M − ZH.
  EXPECT_NEAR(r.rows[0].deflection, 0.738213, 1e-6);
  EXPECT_EQ(r.rows[5].StationPrecision(), survey::Precision::Double);
  EXPECT_EQ(r.rows[0].StationPrecision(), survey::Precision::Single);
}

TEST(StationDeflections, InstrumentRowFollowsTheMarkBelowIt) {
  const StationResult r = WorkedExample("865.5");
  std::vector<double> stations;
  for (const auto& row : r.rows) stations.push_back(row.station);
  EXPECT_EQ(stations, (std::vector<double>{835.9486083984375, 840, 850, 860, 865.5, 870, 880, 890, 895.9486083984375}));
  EXPECT_EQ(r.rows[4].kind, RowKind::Instrument);
  EXPECT_EQ(Angle(r.rows[4].deflection), "0°0′0″");
}

TEST(StationDeflections, InstrumentBeforeTheFirstStakeHasNoRow) {
  // 10 · trunc(838 / 10) = 830 lies below the first stake 840.
  const StationResult r = WorkedExample("838");
  ASSERT_EQ(r.rows.size(), 8u);
  for (const auto& row : r.rows) EXPECT_NE(row.kind, RowKind::Instrument);
}

TEST(StationDeflections, InstrumentBeyondHyHasNoRow) {
  const StationResult r = WorkedExample("905");
  for (const auto& row : r.rows) EXPECT_NE(row.kind, RowKind::Instrument);
}

TEST(StationDeflections, HyOnATenMetreMarkIsListedTwice) {
  // JD 1004.0514 puts ZH on 840 and HY on 900 exactly (single precision).
  const StationResult r = Compute(Input("1004.0514", "30", "500", "60", "870"));
  ASSERT_EQ(r.elements.ZH, 840.0f);
  ASSERT_EQ(r.elements.HY, 900.0f);
  // A ZH on a mark is not a stake: the list starts at ZH + 10.
  EXPECT_EQ(r.rows[1].station, 850);
  const DeflectionRow& stake = r.rows[r.rows.size() - 2];
  const DeflectionRow& hy = r.rows.back();
  EXPECT_EQ(stake.kind, RowKind::Stake);
  EXPECT_EQ(stake.station, 900);
  EXPECT_EQ(hy.kind, RowKind::HY);
  EXPECT_EQ(hy.station, 900);
  EXPECT_EQ(stake.deflection, hy.deflection);
}

TEST(StationDeflections, InstrumentOnZhMeasuresFromTheStart) {
  // alpha 0, R 30, Ls 60: q = 29 exactly, so JD 1029 gives ZH 1000 and HY 1060.
  const StationResult r = Compute(Input("1029", "0", "30", "60", "1000"));
  ASSERT_EQ(r.elements.ZH, 1000.0f);
  ASSERT_EQ(r.elements.HY, 1060.0f);
  EXPECT_EQ(Angle(r.rows.front().deflection), "0°0′0″");
  EXPECT_EQ(Reverse(r.rows.front().deflection), "360°0′0″");
  // 9.55 · 10² / 1800 = 0.530555…° = 0°31′50″; at HY 9.55 · 60² / 1800 = 19.1° = 19°6′0″.
  EXPECT_EQ(Angle(r.rows[1].deflection), "0°31′50″");
  EXPECT_EQ(Angle(r.rows.back().deflection), "19°6′0″");
  // 360 − 19.1 splits into 53 minutes and 59.99999… seconds, which round to 60 without carry.
  EXPECT_EQ(Reverse(r.rows.back().deflection), "340°53′60″");
  // The mark 1000 is ZH itself, which is not a stake: no instrument row.
  for (const auto& row : r.rows) EXPECT_NE(row.kind, RowKind::Instrument);
}

TEST(StationDeflections, DeflectionsAreMagnitudesWithoutMinusSigns) {
  // An instrument beyond HY turns every point behind it; with M far ahead some δ are negative.
  const StationResult r = WorkedExample("1200");
  for (const auto& row : r.rows) {
    EXPECT_GE(row.deflection, 0);
    EXPECT_EQ(Angle(row.deflection).find('-'), std::string::npos) << Angle(row.deflection);
    EXPECT_EQ(Reverse(row.deflection).find('-'), std::string::npos);
  }
}

TEST(ExtraStake, NegativeDeflectionFarBeforeZh) {
  // lA = 34.05139; 700 lies more than 2 · lA before ZH, so u + 3 · lA < 0.
  const auto row = ComputeExtraStakeDeflection(Input("1000", "30.0000", "500", "60", "870"), 700);
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(row->kind, RowKind::Extra);
  EXPECT_EQ(row->station, 700);
  EXPECT_NEAR(row->deflection, -3.6715899, 1e-6);
  EXPECT_EQ(DmsText(survey::SplitDms(row->deflection), TextForm::Signed), "-3°-40′-18″");
  EXPECT_EQ(Reverse(row->deflection), "363°40′18″");
}

TEST(ExtraStake, SmallNegativeDeflectionKeepsItsSign) {
  const auto row = ComputeExtraStakeDeflection(Input("1000", "30.0000", "500", "60", "870"), 767);
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(DmsText(survey::SplitDms(row->deflection), TextForm::Signed), " 0°-1′-40″");
  EXPECT_EQ(Reverse(row->deflection), "360°1′40″");
}

TEST(ExtraStake, AheadAndBehindTheInstrument) {
  const StationInput in = Input("1000", "30.0000", "500", "60", "870");
  EXPECT_EQ(Angle(ComputeExtraStakeDeflection(in, 800)->deflection), "0°42′59″");
  EXPECT_EQ(Reverse(ComputeExtraStakeDeflection(in, 800)->deflection), "359°17′1″");
  EXPECT_EQ(Angle(ComputeExtraStakeDeflection(in, 900)->deflection), "1°15′43″");
  // A stake on the instrument gives zero and a full-circle reverse.
  EXPECT_EQ(Reverse(ComputeExtraStakeDeflection(in, 870)->deflection), "360°0′0″");
}

TEST(ReadStationInput, RefusesWhatTheFormulasCannotTake) {
  EXPECT_FALSE(ReadStationInput("1000", "30", "0", "60", "870"));    // R = 0
  EXPECT_FALSE(ReadStationInput("1000", "30", "500", "0", "870"));   // Ls = 0
  EXPECT_FALSE(ReadStationInput("1000", "180", "500", "60", "870"));
  EXPECT_FALSE(ReadStationInput("1000", "-180", "500", "60", "870"));
  EXPECT_FALSE(ReadStationInput("10OO", "30", "500", "60", "870"));
  EXPECT_FALSE(ReadStationInput("1000", "30", "500", "60", "870m"));
  EXPECT_FALSE(ReadStationInput("1000", "abc", "500", "60", "870"));
  EXPECT_TRUE(ReadStationInput("1000", "179.5959", "500", "60", "870"));
  // Full-width digits and point, as Chinese input methods type them.
  const auto wide = ReadStationInput("１０００", "３０．００００", "500", "60", "８７０");
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->curve.JD, 1000);
  EXPECT_EQ(wide->M, 870);
}

TEST(StationDeflections, HugeInputIsRefusedNotLooped) {
  // Stations beyond 2^24 m no longer move by a 10 m step in single precision.
  EXPECT_FALSE(ComputeStationDeflections(Input("1e9", "30", "500", "60", "1e9")));
  // A transition of 10^9 m would list 10^8 stakes.
  EXPECT_FALSE(ComputeStationDeflections(Input("1000", "30", "1e12", "1e9", "870")));
  EXPECT_FALSE(ComputeStationDeflections(Input("1e300", "30", "500", "60", "870")));
  // Finite elements, but δ overflows for an instrument 10^300 m away.
  EXPECT_FALSE(ComputeStationDeflections(Input("1000", "30", "500", "60", "1e300")));
  EXPECT_FALSE(ComputeExtraStakeDeflection(Input("1000", "30", "500", "60", "870"), 1e300));
  EXPECT_FALSE(ComputeExtraStakeDeflection(Input("1e300", "30", "500", "60", "870"), 900));
}

TEST(StationDeflections, NegativeTransitionListsNoStakes) {
  const StationResult r = Compute(Input("1000", "30", "500", "-60", "870"));
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(r.rows[0].kind, RowKind::ZH);
  EXPECT_EQ(r.rows[1].kind, RowKind::HY);
}

}  // namespace
}  // namespace dovetree
