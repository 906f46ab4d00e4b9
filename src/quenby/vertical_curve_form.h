// The window sqxform1 without its widgets: seven input texts, the listing with its insertion
// point, the values the calculations keep between them, and the three commands.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/host.h"
#include "common/services.h"
#include "quenby/vertical_curve.h"

namespace quenby {

// The listing's text when the window opens.
std::string UsageNote();

// A refusal in the program's manner: an OK-only box titled "Quenby".
survey::Message QuenbyMessage(const std::string& text);

// The input texts as typed.
struct VerticalCurveFields {
  std::string radius;       // R, radius of the vertical curve
  std::string i1;           // i1, first grade, rise per metre in the direction of the stations
  std::string i2;           // i2, second grade
  std::string jd;           // JD, station of the grade-change point (变坡点)
  std::string elevation;    // elevation of the grade-change point (交点桩高程)
  std::string spacing = "5";  // distance between the listed stakes (待测点间距)
  std::string extra = {};     // station of an extra stake (加桩桩号), echoed as typed
};

class VerticalCurveForm {
 public:
  // The listing starts as the usage note. Messages go to `host`; `printer` prints the listing
  // (it adds the printer's line end after each copy, see PrintedText).
  VerticalCurveForm(survey::Host& host, survey::TextPrinter& printer);

  VerticalCurveFields& fields() { return fields_; }
  const VerticalCurveFields& fields() const { return fields_; }

  // The full listing from the begin to the end of the curve; a refusal leaves it as it was.
  survey::Outcome ComputeListing();
  // An extra stake's lines at the insertion point (at the start of the next line when the point
  // is inside a line); the point moves past them.
  survey::Outcome AddExtraStake();
  // Prints the listing; a file that could not be written is told, a cancel is not.
  survey::Outcome PrintListing();

  // The listing, lines ending in CR LF.
  const std::string& Listing() const { return listing_; }
  // Where an extra stake's lines go, a byte offset into the listing: its end after a
  // calculation, just after the lines after an extra stake, or where the user left the cursor.
  std::size_t InsertionPoint() const { return insertionPoint_; }
  const CurveState& State() const { return state_; }

  // What the user did in the box: the edited text (LF or CR LF) when it changed, and the cursor
  // as the box counts it (UTF-16 units, a line end counting one).
  void SetListingFromBox(std::string_view text);
  void SetCursorFromBox(std::size_t cursorCharacters);
  std::size_t InsertionCharacters() const;

 private:
  bool FieldsFilled(bool withExtraStake) const;
  CurveInput ReadInput() const;

  survey::Host& host_;
  survey::TextPrinter& printer_;
  VerticalCurveFields fields_;
  std::string listing_;
  std::size_t insertionPoint_ = 0;
  CurveState state_;
};

}  // namespace quenby
