// The two coordinate problems of Rillford without a window: the forward problem (from point A,
// an azimuth and a distance to the coordinates of B) and the inverse problem (from A and B to
// the azimuth and the distance between them).
//
// Each compute reads its own problem's fields afresh and writes only that problem's results;
// nothing is kept between computations.
#pragma once

#include <string>

#include "common/host.h"
#include "common/outcome.h"

namespace rillford {

// The texts of the window's sixteen fields. X is the northing and y the easting, as surveyors
// write them; azimuths are clockwise from the X axis, in degrees, minutes and seconds.
struct ForwardInverseFields {
  // The forward problem.
  std::string forwardAx;       // X of point A
  std::string forwardAy;       // y of point A
  std::string forwardDegrees;  // azimuth A->B, degrees (any value: no range, no carry)
  std::string forwardMinutes;  // azimuth A->B, minutes
  std::string forwardSeconds;  // azimuth A->B, seconds
  std::string forwardDistance; // distance A->B
  std::string forwardBx;       // result: X of point B, to the millimetre
  std::string forwardBy;       // result: y of point B, to the millimetre
  // The inverse problem.
  std::string inverseAx;        // X of point A
  std::string inverseAy;        // y of point A
  std::string inverseBx;        // X of point B
  std::string inverseBy;        // y of point B
  std::string inverseDegrees;   // result: azimuth A->B, whole degrees
  std::string inverseMinutes;   // result: azimuth A->B, whole minutes
  std::string inverseSeconds;   // result: azimuth A->B, seconds
  std::string inverseDistance;  // result: distance A->B, to the millimetre
};

class ForwardInverseForm {
 public:
  explicit ForwardInverseForm(survey::Host& host) : host_(host) {}

  ForwardInverseFields& fields() { return fields_; }
  const ForwardInverseFields& fields() const { return fields_; }

  // Each compute tells the user through the Host when a field is empty, not a number, or the
  // result would overflow, and answers Refused; its results then keep their old texts.
  survey::Outcome ComputeForward();
  void ClearForward();  // all eight fields of the forward problem
  survey::Outcome ComputeInverse();
  void ClearInverse();  // all eight fields of the inverse problem

 private:
  survey::Host& host_;
  ForwardInverseFields fields_;
};

}  // namespace rillford
