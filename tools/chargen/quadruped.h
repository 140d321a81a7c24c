// Four-legged treadmill locomotion shared by HORSE and ELEPHANT. Their
// legs are chains named leg_<F|H><L|R><1|2|3>: the bone at the shoulder or
// hip, the one at the knee or hock, and the foot or hoof.
#pragma once

#include <array>
#include <string>

#include "gait.h"

namespace keln::chargen {

struct quadruped_gait_t {
  // Phase at which each foot lands, in the order FL, FR, HL, HR.
  std::array<double, 4> touchdown;
  double duty, stride, lift;  // foot cycles (gait.h)
  double flex;                // largest bend of a lifted foot, radians
};

// Adds the three bones of one leg called name ("leg_FL" ...): name1 at top
// (child of parent), name2 at the knee or hock, name3 at the foot's joint.
void add_leg_bones(rig_t& rig, const char* parent, const std::string& name, dvec3 top, dvec3 knee,
                   dvec3 foot);

// The four legs in the order FL, FR, HL, HR; front knees bend forward,
// hind hocks backward.
std::array<leg_t, 4> quadruped_legs(const rig_t& rig);

// Places the four feet for phase p; the body must already be posed. A
// planted foot keeps its rest orientation, a lifted one curls back.
void step_legs(const rig_t& rig, rig_pose_t& pose, const quadruped_gait_t& gait, double p);

// Turns each bone of a chain (parents first) by rotation(k · lag) on top
// of its current local rotation, k being its place in the chain: a motion
// that travels along a tail, trunk or neck.
template <typename F>
void ripple(rig_pose_t& pose, const std::vector<int>& chain, double lag, F rotation) {
  for (size_t k = 0; k < chain.size(); ++k)
    pose.rotation[chain[k]] = rotation(double(k) * lag) * pose.rotation[chain[k]];
}

}  // namespace keln::chargen
