#include "velmscope/overlay.h"

namespace keln::velmscope {

namespace {

constexpr float first_line_y = 35.0f;
constexpr float line_spacing = 15.0f;
constexpr float label_x = 10.0f;
constexpr float value_x = 130.0f;
constexpr float credit_x = 800.0f;
constexpr float credit_y = 766.0f;
constexpr const char* credit_text = "Velmscope - skinned animation viewer";

// The legend's texts: before the scale and after it.
constexpr float legend_start_x = colour_legend_box.x0 - 12.0f;
constexpr float legend_end_x = colour_legend_box.x1 + 6.0f;

const char* on_off(bool on) { return on ? "ON" : "OFF"; }

// A missing text is shown as an empty one.
const char* or_empty(const char* text) { return text ? text : ""; }

double percent_of(double distance, double rest_height) {
  return rest_height > 0.0 ? 100.0 * distance / rest_height : 0.0;
}

}  // namespace

void overlay_t::format_difference(const difference_readout_t& readout, bool paused) {
  if (paused)
    m_pause.format("   PAUSED %.3f s", static_cast<double>(readout.base_time));
  else
    m_pause.assign("");
  m_difference.format("%.4f (%.2f %%) at %s, largest %.4f (%.2f %%)%s", readout.distance,
                      percent_of(readout.distance, readout.rest_height), readout.bone[0] ? readout.bone : "-",
                      readout.largest_seen, percent_of(readout.largest_seen, readout.rest_height), m_pause.c_str());
}

void overlay_t::add_line(const char* label, const char* value) {
  m_items.push_back({label_x, m_hud_y, overlay_label_colour, label});
  if (value) m_items.push_back({value_x, m_hud_y, overlay_value_colour, value});
  m_hud_y += line_spacing;
}

void overlay_t::build(const viewer_settings_t& settings, const model_catalog_t* catalog) {
  const bool has_model = model_count(catalog) != 0;
  const std::uint32_t model = settings.current_model;
  m_time_scale.format("%.3f", static_cast<double>(settings.time_scale));

  m_items.clear();
  m_hud_y = first_line_y;
  add_line("M. Change model:", has_model ? or_empty(catalog->name(model)) : "");
  add_line("+/- Change time scale:", m_time_scale.c_str());
  add_line("S. Skinning:", on_off(settings.show_skin));
  add_line("K. Skeleton:", on_off(settings.show_skeleton));
  add_line("R. Render mode:", render_mode_name(settings.render_mode));
  add_line("P. Skin polygon mode:", settings.wireframe_skin ? "Wireframe" : "Fill");
  add_line("1. Base animation:", has_model ? or_empty(catalog->base_animation_name(model)) : "NONE");
  add_line("2. Side animation:", has_model ? or_empty(catalog->side_animation_name(model)) : "NONE");
  add_line("C. Background color", nullptr);
  add_line("F. Fullscreen mode", nullptr);
  add_line("Mouse - rotate and zoom", nullptr);
  add_line("Q. Quit", nullptr);
  if (shows_difference_readout(settings)) {
    if (has_model) format_difference(catalog->difference_readout(model), settings.paused);
    add_line("D. Difference:", has_model ? m_difference.c_str() : "");
    add_line("Space. Pause   . and , Step while paused", nullptr);
  }
  if (settings.difference_colouring) {
    m_items.push_back({legend_start_x, m_hud_y, overlay_label_colour, "0"});
    m_items.push_back({legend_end_x, m_hud_y, overlay_label_colour, "2 % of the rest height"});
  }
  m_items.push_back({credit_x, credit_y, overlay_label_colour, credit_text});
}

}  // namespace keln::velmscope
