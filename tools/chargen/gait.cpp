#include "gait.h"

#include <cmath>

namespace keln::chargen {

double wave(double p) { return std::sin(2 * pi * p); }
double wave_c(double p) { return std::cos(2 * pi * p); }

double bump(double x) {
  if (x <= 0 || x >= 1) return 0;
  double y = x * (1 - x);
  return 64 * y * y * y;
}

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
  // Swinging: a quintic from -stride/2 to +stride/2 that leaves and lands
  // with the planted foot's speed and no acceleration, so that position,
  // speed and acceleration all run on smoothly into the ground path.
  double s = (u - c.duty) / (1 - c.duty);
  double s3 = s * s * s, s4 = s3 * s, s5 = s4 * s;
  double speed = -c.stride * (1 - c.duty) / c.duty;    // per unit of s
  double to_end = 10 * s3 - 15 * s4 + 6 * s5;          // weight of the end point
  double with_speed = s - 10 * s3 + 15 * s4 - 6 * s5;  // both end speeds together
  double z = c.stride * (to_end - 0.5) + speed * with_speed;
  return {{0, c.lift * bump(s), z}, s};
}

}  // namespace keln::chargen
