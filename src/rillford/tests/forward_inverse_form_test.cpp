#include "rillford/forward_inverse_form.h"

#include <gtest/gtest.h>

#include "common/testing/batch_capture.h"
#include "rillford/batch.h"

namespace rillford {
namespace {

using F = ForwardInverseFields;
const std::vector<std::string F::*> kForwardInputs = {&F::forwardAx,      &F::forwardAy,      &F::forwardDegrees,
                                                      &F::forwardMinutes, &F::forwardSeconds, &F::forwardDistance};
const std::vector<std::string F::*> kInverseInputs = {&F::inverseAx, &F::inverseAy, &F::inverseBx, &F::inverseBy};

// Fills one problem's inputs in the order of its fields, computes it and returns its results;
// `outcome` is what the compute answered.
std::string Compute(ForwardInverseForm& form, bool forward, const std::vector<std::string>& inputs,
                    survey::Outcome& outcome) {
  const auto& members = forward ? kForwardInputs : kInverseInputs;
  EXPECT_EQ(inputs.size(), members.size());
  for (std::size_t i = 0; i < inputs.size() && i < members.size(); ++i) form.fields().*members[i] = inputs[i];
  outcome = forward ? form.ComputeForward() : form.ComputeInverse();
  const F& f = form.fields();
  return forward ? f.forwardBx + " " + f.forwardBy
                 : f.inverseDegrees + " " + f.inverseMinutes + " " + f.inverseSeconds + " " + f.inverseDistance;
}

// Golden results: a snapshot of the digits the window shows (its own rounding of the azimuth
// and distance); the axis and 45° cases are checkable by hand.
TEST(Compute, ResultDigits) {
  struct Case { bool forward; std::vector<std::string> inputs; std::string results; };
  const Case cases[] = {
      {true, {"0", "0", "90", "0", "0", "100"}, "0 100"},  // cos 90 degrees (about -2e-10) shows no "-0"
      {true, {"0", "0", "45", "0", "0", "100"}, "70.711 70.711"},
      // The parts need no range and no carry; negative parts subtract.
      {true, {"0", "0", "1", "30", "0", "100"}, "99.966 2.618"},
      {true, {"0", "0", "0", "0", "5400", "100"}, "99.966 2.618"},
      {true, {"0", "0", "31", "-60", "0", "1"}, "0.866 0.5"},
      // A half millimetre goes toward +infinity.
      {true, {"3456789.123", "512345.678", "45", "30", "15.5", "1234.5678"}, "3457654.377 513226.299"},
      {true, {"1.0625", "-1.0625", "0", "0", "0", "0"}, "1.063 -1.062"},
      {false, {"0", "0", "100", "100"}, "45 0 0 141.421"},  // sixty seconds carried into the minute
      {false, {"0", "0", "1", "-1"}, "315 0 0 1.414"},
      {false, {"0", "0", "0", "9"}, "90 0 0 9"},
      {false, {"0", "0", "-5", "0"}, "180 0 0 5"},
      {false, {"3", "4", "3", "4"}, "0 0 0 0"},
      {false, {"0", "0", "1000", "-0.000001"}, "360 0 0 1000"},  // just below a full circle
      {false, {"3456789.123", "512345.678", "3455000", "513000.5"}, "159 53 50 1905.191"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.inputs));
    survey::RecordingHost host;
    ForwardInverseForm form(host);
    survey::Outcome outcome = survey::Outcome::Failed("not run");
    EXPECT_EQ(Compute(form, c.forward, c.inputs, outcome), c.results);
    EXPECT_TRUE(outcome.ok());
    EXPECT_TRUE(host.messages.empty());
  }
}

// A refused compute says why, answers Refused (the user told) and leaves the results as they were.
TEST(Compute, RefusalsKeepTheResults) {
  struct Case { bool forward; std::size_t input; const char* text; const char* message; };
  const char* kEmpty = "你输入所有数据了吗？\r\n请重新输入。";
  const char* kTooLarge = "数据太大，无法计算。\r\n请重新输入。";
  const Case cases[] = {
      {true, 0, "", kEmpty},
      {true, 3, "12a", "“方位角（分）”不是数字：12a\r\n请重新输入。"},
      {true, 2, " ", "“方位角（度）”不是数字： \r\n请重新输入。"},
      {true, 5, "1e308", kTooLarge},
      {false, 2, "", kEmpty},
      {false, 0, "1.2.3", "“A点X坐标”不是数字：1.2.3\r\n请重新输入。"},
      {false, 3, "x", "“B点y坐标”不是数字：x\r\n请重新输入。"},
      {false, 2, "1e308", kTooLarge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    survey::RecordingHost host;
    ForwardInverseForm form(host);
    form.fields().forwardBx = form.fields().inverseDistance = "was";
    // Without the change both inputs compute; 1e308 is one step from overflowing.
    std::vector<std::string> inputs = c.forward ? std::vector<std::string>{"1e308", "0", "0", "0", "0", "1"}
                                                : std::vector<std::string>{"-1e308", "0", "1", "1"};
    ASSERT_LT(c.input, inputs.size());
    inputs[c.input] = c.text;
    survey::Outcome outcome;
    Compute(form, c.forward, inputs, outcome);
    EXPECT_EQ(outcome, survey::Outcome::Status::Refused);
    EXPECT_EQ(outcome.error, c.message);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, c.message);
    EXPECT_EQ(form.fields().forwardBx + form.fields().inverseDistance, "waswas");
  }
}

TEST(Batch, OutputErrorsAndStatus) {
  struct Case { std::vector<std::string> args; int status; std::string out, err; };
  const Case cases[] = {
      {{"--forward", "--ax", "0", "--ay", "0", "--deg", "45", "--min", "0", "--sec", "0", "--dist", "100"}, 0,
       "70.711 70.711\n", ""},
      {{"--inverse", "--ax=0", "--ay=0", "--bx=-1", "--by=-1"}, 0, "225 0 0 1.414\n", ""},
      {{"--inverse", "--ax", "0", "--ay", "0", "--bx", "1"}, 2, "", "你输入所有数据了吗？\n请重新输入。\n"},
      {{"--forward", "--inverse"}, 2, "", "rillford: give exactly one of --forward and --inverse\nusage: rillford"},
      {{"--forward", "--bx", "1"}, 2, "", "rillford: --bx does not belong to --forward\n"},
      {{"--inverse", "--nonsense", "1"}, 2, "", "rillford: unknown option: --nonsense\nusage: rillford"},
      {{"--help"}, 0, "usage: rillford", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const auto r = survey::testing::CaptureBatch(RunBatch, c.args);
    EXPECT_EQ(r.status, c.status);
    // Whole texts, or up to the start of the usage that follows.
    for (const auto& [got, want] : {std::pair(r.out, c.out), std::pair(r.err, c.err)})
      EXPECT_EQ(want.ends_with("usage: rillford") ? got.substr(0, want.size()) : got, want);
  }
}

}  // namespace
}  // namespace rillford
