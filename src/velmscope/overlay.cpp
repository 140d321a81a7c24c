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

const char* on_off(bool on) { return on ? "ON" : "OFF"; }

// A missing text is shown as an empty one.
const char* or_empty(const char* text) { return text ? text : ""; }

}  // namespace

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
  m_items.push_back({credit_x, credit_y, overlay_label_colour, credit_text});
}

}  // namespace keln::velmscope
