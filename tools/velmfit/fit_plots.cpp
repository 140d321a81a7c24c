#include "fit_plots.h"

#include <algorithm>
#include <cstdio>

#include "kelncore/system/messages.h"
#include "svg_chart.h"

namespace keln::velmfit {

namespace {

constexpr std::size_t plotted_channels = 3;
constexpr unsigned line_points_per_key = 8;  // B-spline samples per key interval

// One panel of a channel plot: for each component, the keys as points and
// the curve as a line in the same colour; two grey legend entries say which
// is which.
template <typename E>
svg_panel_t curve_panel(const std::string& title, const std::string& y_label, const char* const* component_names,
                        const velm::bone_channel_t& keys, E velm::bone_t::*member,
                        const velm::bspline_curve_t<E>& curve, double duration) {
  constexpr unsigned d = velm::bspline_element<E>::components;
  svg_panel_t panel{title, "time (s)", y_label, {}};
  const std::uint32_t count = keys.size();
  const std::uint32_t line_points = count > 1 ? (count - 1) * line_points_per_key + 1 : 1;
  for (unsigned c = 0; c < d; ++c) {
    svg_series_t line{component_names[c], series_colour(c), false, {}, {}};
    svg_series_t points{"", series_colour(c), true, {}, {}};
    for (std::uint32_t k = 0; k < count; ++k) {
      points.x.push_back(count > 1 ? duration * k / (count - 1) : 0.0);
      points.y.push_back(velm::bspline_element<E>::data(keys[k].*member)[c]);
    }
    if (curve.control.size() != 0)
      for (std::uint32_t i = 0; i < line_points; ++i) {
        const float u = line_points > 1 ? static_cast<float>(i) / static_cast<float>(line_points - 1) : 0.0f;
        E value;
        curve.evaluate(u, value);
        line.x.push_back(duration * u);
        line.y.push_back(velm::bspline_element<E>::data(value)[c]);
      }
    panel.series.push_back(line);
    panel.series.push_back(points);
  }
  panel.series.push_back({"keys", "#555555", true, {}, {}});
  panel.series.push_back({"B-spline", "#555555", false, {}, {}});
  return panel;
}

std::string figure_of_channel(const fit_character_t& character, const fitted_animation_t& animation, std::uint32_t c,
                              double reach, const figures_t& figures) {
  static const char* const position_names[] = {"x", "y", "z"};
  static const char* const rotation_names[] = {"w", "x", "y", "z"};
  static const char* const stretch_names[] = {"s11", "s12", "s13", "s21", "s22", "s23", "s31", "s32", "s33"};
  const velm::bone_channel_t& keys = animation.keyframe->channels[c];
  const velm::bspline_bone_channel_t& curves = animation.bspline->channels[c];
  const double duration = keys.duration;
  const std::vector<svg_panel_t> panels = {
      curve_panel("position", "position (document units)", position_names, keys, &velm::bone_t::position,
                  curves.position, duration),
      curve_panel("rotation quaternion", "component", rotation_names, keys, &velm::bone_t::rotation, curves.rotation,
                  duration),
      curve_panel("stretch matrix", "element", stretch_names, keys, &velm::bone_t::stretch, curves.stretch, duration),
  };
  char worst[160];
  if (figures.rest_height > 0.0)
    std::snprintf(worst, sizeof worst,
                  "; playback error at the joints it moves up to %.3g units (%.3g %% of rest height)", reach,
                  100.0 * reach / figures.rest_height);
  else
    std::snprintf(worst, sizeof worst, "; playback error at the joints it moves up to %.3g units", reach);
  return svg_figure(
      animation.name + ", channel " + std::to_string(c) + " (bone " + character.bone_name(keys.bone) + ")",
      std::string("points: keys of the keyframe motion; lines: the fitted B-spline curves") + worst, panels);
}

std::string figure_of_playback(const fitted_animation_t& animation, const playback_error_t& error,
                               const figures_t& figures) {
  const playback_trace_t& trace = error.trace;
  svg_series_t largest{"largest over the joints", series_colour(1), false, {}, {}};
  svg_series_t mean{"mean over the joints", series_colour(0), false, {}, {}};
  for (std::size_t i = 0; i < trace.times.size(); ++i) {
    largest.x.push_back(trace.times[i]);
    largest.y.push_back(trace.largest[i]);
    mean.x.push_back(trace.times[i]);
    mean.y.push_back(trace.mean[i]);
  }
  char subtitle[160];
  std::snprintf(subtitle, sizeof subtitle,
                "distance between the B-spline and keyframe playbacks' joint positions (rest height %.3g units)",
                figures.rest_height);
  const svg_panel_t panel{"distance by time", "time (s)", "distance (document units)", {largest, mean}};
  return svg_figure(animation.name + ": playback error over one loop", subtitle, {panel});
}

bool write_file(const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "wb");
  bool written = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (file != nullptr && std::fclose(file) != 0) written = false;
  if (!written) msg_error("cannot write %s", path.c_str());
  return written;
}

}  // namespace

std::string plot_stem(const std::string& animation_name) {
  std::string stem = animation_name;
  const std::string ending = ".qia";
  if (stem.size() > ending.size() && stem.compare(stem.size() - ending.size(), ending.size(), ending) == 0)
    stem.resize(stem.size() - ending.size());
  for (char& c : stem) {
    const bool kept =
        (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '_';
    if (!kept) c = '_';
  }
  return stem;
}

std::vector<double> joint_reach_errors(const array_t<velm::bone_node_t>& skeleton,
                                       const std::vector<double>& bone_largest) {
  std::vector<double> reach = bone_largest;
  for (std::uint32_t b = 0; b < reach.size(); ++b) {
    const std::uint32_t parent = skeleton[b].parent;
    if (parent < reach.size()) reach[parent] = std::max(reach[parent], bone_largest[b]);
  }
  return reach;
}

std::vector<std::uint32_t> worst_channels(const velm::motion_t& motion, const std::vector<double>& reach,
                                          std::size_t count) {
  std::vector<std::uint32_t> channels;
  for (std::uint32_t c = 0; c < motion.channels.size(); ++c)
    if (motion.channels[c].bone < reach.size()) channels.push_back(c);
  std::stable_sort(channels.begin(), channels.end(), [&](std::uint32_t a, std::uint32_t b) {
    return reach[motion.channels[a].bone] > reach[motion.channels[b].bone];
  });
  if (channels.size() > count) channels.resize(count);
  return channels;
}

bool write_plots(const std::string& dir, const fit_character_t& character, std::size_t index, const figures_t& figures,
                 const playback_error_t& error) {
  const fitted_animation_t& animation = character.animations.at(index);
  const std::string stem = dir + "/" + plot_stem(animation.name);
  if (!write_file(stem + "_playback.svg", figure_of_playback(animation, error, figures))) return false;
  const std::vector<double> reach = joint_reach_errors(character.keyframe_instance.skeleton(), error.bone_largest);
  for (const std::uint32_t c : worst_channels(*animation.keyframe, reach, plotted_channels)) {
    const std::uint32_t bone = animation.keyframe->channels[c].bone;
    const std::string path =
        stem + "_channel_" + std::to_string(c) + "_" + plot_stem(character.bone_name(bone)) + ".svg";
    if (!write_file(path, figure_of_channel(character, animation, c, reach[bone], figures))) return false;
  }
  return true;
}

}  // namespace keln::velmfit
