#pragma once

namespace survey::alignment {

// What the instrument operator sets for one stake.
struct StakeoutAim {
  double azimuth = 0;    // setup -> stake, radians clockwise from north, [0, 2pi)
  double angle = 0;      // clockwise from the backsight direction to the stake, [0, 2pi)
  double distance = 0;   // horizontal, m
};

// An instrument station oriented on a backsight point (X north, Y east). A stake on the
// station itself has no direction: it gets distance 0 and azimuth and angle 0.
class StakeoutStation {
 public:
  // Refuses non-finite coordinates and a backsight on the station itself.
  StakeoutStation(double setupX, double setupY, double backsightX, double backsightY);

  double BacksightAzimuth() const { return backsightAzimuth_; }
  StakeoutAim Aim(double x, double y) const;

 private:
  double x_, y_;
  double backsightAzimuth_;
};

}  // namespace survey::alignment
