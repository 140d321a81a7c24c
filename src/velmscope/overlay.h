// The text overlay: the command list with the current settings, as positioned
// text items that the window code draws.
#pragma once

#include <cstdint>

#include "kelncore/collections/arrays/arrays_local.h"
#include "kelncore/collections/strings.h"
#include "velmscope/model_catalog.h"
#include "velmscope/viewer_settings.h"

namespace keln::velmscope {

// The overlay space: 1024 x 768, origin at the window's top-left corner, x to
// the right, y downward, whatever the window's size.
constexpr float overlay_width = 1024.0f;
constexpr float overlay_height = 768.0f;

// Labels white, values green (RGBA).
inline constexpr float overlay_label_colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
inline constexpr float overlay_value_colour[4] = {0.2f, 1.0f, 0.2f, 1.0f};

// One piece of text at its baseline start (x, y) in overlay space. colour is
// one of the two overlay colours; text is never null.
struct overlay_text_t {
  float x;
  float y;
  const float* colour;
  const char* text;
};

// A rectangle in overlay space, from (x0, y0) at the top left to (x1, y1).
struct overlay_box_t {
  float x0;
  float y0;
  float x1;
  float y1;
};

// The legend of the difference colouring: the colour scale from its start
// (left) to its end (right) in this box, between the texts of its ends.
inline constexpr overlay_box_t colour_legend_box = {145.0f, 237.0f, 245.0f, 245.0f};

// The overlay of one frame. The lines start at y = 35, 15 apart: a label at
// x = 10 and, for the lines that have one, its value at x = 130. While
// shows_difference_readout, the commands are followed by the readout of the
// difference between the playbacks ("D. Difference:": the largest joint
// distance now, in document units and in % of the rest height, its bone, and
// the largest since the animation selection changed; while paused "PAUSED"
// and the base animation's time) and by the pause and step keys; while the
// difference colouring is on, by the texts of the legend's ends. Last comes
// the credit line at (800, 766).
class overlay_t {
 public:
  // Items of every line, then the credit: at most this many.
  static constexpr std::uint32_t max_items = 26;

  // Replaces the items with those for these settings. catalog may be null.
  // The texts point into this object, into static storage or into the
  // catalog; they stay valid until the next build or until the catalog
  // changes.
  void build(const viewer_settings_t& settings, const model_catalog_t* catalog);

  const array_t<overlay_text_t>& items() const { return m_items; }

 private:
  void add_line(const char* label, const char* value);
  void format_difference(const difference_readout_t& readout, bool paused);

  array_local_t<overlay_text_t, max_items> m_items;
  string_local_t<16> m_time_scale;  // "%.3f" of at most 2.0
  string_local_t<160> m_difference;  // the readout's value
  string_local_t<32> m_pause;        // its ending while paused
  float m_hud_y = 0.0f;             // baseline of the next line
};

}  // namespace keln::velmscope
