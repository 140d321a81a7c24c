// Foot paths of treadmill locomotion: the body stays in place while each
// foot, planted, slides backward under it at a constant speed and, lifted,
// swings forward again.
#pragma once

#include "pose.h"

namespace keln::chargen {

struct foot_cycle_t {
  double touchdown;  // phase (0..1) at which the foot lands
  double duty;       // fraction of the cycle the foot is planted
  double stride;     // distance travelled backward while planted (+z is forward)
  double lift;       // highest point of the swing above the ground
};

struct foot_state_t {
  dvec3 offset;  // from the foot's rest position
  double swing;  // 0 while planted, else progress through the swing (0..1)
};

// Where the foot is at phase (any real number; the cycle repeats every 1).
// Planted, it moves on the ground from +stride/2 to -stride/2 at constant
// speed; swinging, it returns to +stride/2 along a path that leaves and
// meets the ground path without a corner, rising by lift · bump(swing).
foot_state_t foot_at(const foot_cycle_t& cycle, double phase);

// A leg as inverse kinematics sees it: the bone at the hip or shoulder,
// the bone at the knee or hock, and the foot or hoof bone at the end.
struct leg_t {
  int upper, lower, end;
  dvec3 pole;  // direction the knee bends toward, at rest and in motion
};

// Puts the leg's end joint at its rest position plus offset (character
// space) and turns the end bone to end_rotation in character space.
void place_foot(const rig_t& rig, rig_pose_t& pose, const leg_t& leg, dvec3 offset, dquat end_rotation);

// Smooth periodic helpers for phase p (period 1).
double wave(double p);    // sin(2 pi p)
double wave_c(double p);  // cos(2 pi p)
// 0 for x <= 0, 1 for x >= 1, smooth in between.
double ease(double x);
// 64 x³ (1 - x)³ on [0, 1] (1 at x = 0.5), 0 elsewhere: a rise and fall
// that starts and ends at rest, with no jump in slope or curvature.
double bump(double x);

}  // namespace keln::chargen
