#include "gait.h"

#include <cmath>

namespace keln::chargen {

namespace {
constexpr double pi = 3.14159265358979323846;
}

double wave(double p) { return std::sin(2 * pi * p); }
double wave_c(double p) { return std::cos(2 * pi * p); }

double ease(double x) {
  x = x < 0 ? 0 : (x > 1 ? 1 : x);
  return x * x * (3 - 2 * x);
}

void place_foot(const rig_t& rig, rig_pose_t& pose, const leg_t& leg, dvec3 offset, dquat end_rotation) {
  dvec3 target = rig.bones()[leg.end].joint + offset;
  solve_two_bone(rig, pose, leg.upper, leg.lower, leg.end, target, leg.pole, leg.pole);
  set_global_rotation(rig, pose, leg.end, end_rotation);
}

foot_state_t foot_at(const foot_cycle_t& c, double phase) {
  double u = phase - c.touchdown;
  u -= std::floor(u);
  if (u < c.duty) {
    double s = u / c.duty;
    return {{0, 0, c.stride * (0.5 - s)}, 0};
  }
  double s = (u - c.duty) / (1 - c.duty);
  double ease = 0.5 - 0.5 * std::cos(pi * s);
  return {{0, c.lift * std::sin(pi * s), c.stride * (ease - 0.5)}, s};
}

}  // namespace keln::chargen
