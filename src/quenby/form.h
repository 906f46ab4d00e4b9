// The state and handlers of the Quenby window sqxform1: seven input fields, the listing and
// the form-level values of the last calculation.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "common/host.h"
#include "quenby/vertical_curve.h"

namespace quenby {

// The listing's text when the window opens.
std::string UsageNote();

// A refusal in the program's manner: an OK-only box titled "Quenby".
survey::Message QuenbyMessage(const std::string& text);

class SqxForm1 {
 public:
  SqxForm1();

  // Text1 .. Text7 by their control number.
  std::string& Text(int number) { return texts_.at(static_cast<std::size_t>(number - 1)); }
  const std::string& Text(int number) const { return texts_.at(static_cast<std::size_t>(number - 1)); }

  // The listing (RichTextBox1), lines ending in CR LF.
  std::string listing;
  // Where an extra stake's lines go, a byte offset into the listing: its end after a
  // calculation, just after the lines after an extra stake, or where the user left the cursor
  // (snapped to a line start when the lines are written).
  std::size_t insertionPoint = 0;
  CurveState state;
  std::size_t maxLines = kMaxListingLines;

  void Command1_Click(survey::Host& host);  // full listing
  void Command2_Click(survey::Host& host);  // extra stake, at the insertion point

 private:
  bool CheckEmpty(survey::Host& host, int lastField) const;
  CurveInput ReadInput() const;

  std::array<std::string, 7> texts_;
};

}  // namespace quenby
