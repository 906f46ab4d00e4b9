// The state and handlers of the Rillford window Form4: the forward problem in Frame1
// (Text1 to Text8) and the inverse problem in Frame2 (Text9 to Text16).
//
// Each compute button reads its own frame afresh and writes only its own frame's outputs;
// nothing is kept between computations.
#pragma once

#include <array>
#include <string>

#include "common/host.h"

namespace rillford {

class Form4 {
 public:
  // Text1 .. Text16 by their control number.
  std::string& Text(int number) { return texts_.at(static_cast<std::size_t>(number - 1)); }
  const std::string& Text(int number) const { return texts_.at(static_cast<std::size_t>(number - 1)); }

  void Command1_Click(survey::Host& host);  // forward
  void Command2_Click();                    // clear Frame1
  void Command3_Click(survey::Host& host);  // inverse
  void Command4_Click();                    // clear Frame2

 private:
  std::array<std::string, 16> texts_;
};

// What a field means to the user, for messages about its content.
std::string FieldCaption(int number);

}  // namespace rillford
