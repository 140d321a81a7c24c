#pragma once
// SVG plots of one measured animation:
//   <stem>_playback.svg: the largest and mean distance between the two
//     playbacks' joint positions over one loop;
//   <stem>_channel_<n>_<bone>.svg for the three channels whose transforms
//     move joints that stray furthest (worst_channels): each curve's keys (points) and B-spline (lines) per
//     component against time, one panel per curve kind.
// stem is the animation name with every character other than letters,
// digits, '-' and '_' replaced by '_', after dropping a ".qia" ending.

#include <string>
#include <vector>

#include "figures.h"
#include "fit_character.h"
#include "playback_error.h"

namespace keln::velmfit {

// Writes the plots of animation index (its figures and playback error
// measured already) into the existing directory dir. On a write failure,
// reports it with msg_error ("cannot write %s"), stops and returns false.
bool write_plots(const std::string& dir, const fit_character_t& character, std::size_t index, const figures_t& figures,
                 const playback_error_t& error);

// The largest playback error of the joints that each bone's transform moves
// directly: its own joint (by its position) and its children's joints (by
// its rotation and stretch). skeleton and bone_largest (the largest distance
// of every joint, measure_playback) have one entry per bone.
std::vector<double> joint_reach_errors(const array_t<velm::bone_node_t>& skeleton,
                                       const std::vector<double>& bone_largest);

// The channels of motion to plot: up to count channels with a bone below
// reach.size(), by decreasing reach error of their bone, the earlier of equal
// ones first.
std::vector<std::uint32_t> worst_channels(const velm::motion_t& motion, const std::vector<double>& reach,
                                          std::size_t count);

std::string plot_stem(const std::string& animation_name);

}  // namespace keln::velmfit
