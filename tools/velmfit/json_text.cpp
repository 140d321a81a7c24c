#include "json_text.h"

#include <cmath>
#include <cstdio>

namespace keln::velmfit {

namespace {

std::string json_number(double value) {
  if (!std::isfinite(value)) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

// Members of one object, written one per line.
class json_object_t {
 public:
  explicit json_object_t(const char* indent) : m_indent(indent) {}
  void add(const char* key, const std::string& json_value) {
    m_text += m_text.empty() ? "{\n" : ",\n";
    m_text += m_indent + "  " + json_string(key) + ": " + json_value;
  }
  void add(const char* key, double value) { add(key, json_number(value)); }
  std::string text() const { return m_text + "\n" + m_indent + "}"; }

 private:
  std::string m_indent;
  std::string m_text;
};

std::string figures_json(const figures_t& f, bool total, const char* indent) {
  json_object_t o(indent);
  o.add("name", json_string(f.name));
  o.add("channels", f.channels);
  if (!total) o.add("keys", f.keys);
  o.add("duration", f.duration);
  o.add("keyframe_bytes", static_cast<double>(f.keyframe_bytes));
  o.add("bspline_bytes", static_cast<double>(f.bspline_bytes));
  o.add("cache_bytes", static_cast<double>(f.cache_bytes));
  o.add("ratio", f.ratio());
  o.add("fit_ms", f.fit_ms);
  o.add("position_error", f.key_errors.position);
  o.add("rotation_error", f.key_errors.rotation);
  o.add("stretch_error", f.key_errors.stretch);
  o.add("largest_distance", f.largest);
  o.add("largest_percent", f.largest_percent);
  o.add("mean_distance", f.mean);
  o.add("mean_percent", f.mean_percent);
  o.add("worst_bone", json_string(f.worst_bone));
  if (total) {
    o.add("worst_animation", json_string(f.worst_animation));
  } else {
    o.add("worst_time", f.worst_time);
    o.add("rest_height", f.rest_height);
  }
  return o.text();
}

}  // namespace

std::string json_string(const std::string& s) {
  std::string out = "\"";
  for (const char ch : s) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string json_text(const std::vector<figures_t>& rows, const figures_t& total) {
  std::string out = "{\n  \"animations\": [";
  for (std::size_t i = 0; i < rows.size(); ++i)
    out += (i ? ",\n    " : "\n    ") + figures_json(rows[i], false, "    ");
  out += rows.empty() ? "],\n" : "\n  ],\n";
  out += "  \"total\": " + figures_json(total, true, "  ") + "\n}\n";
  return out;
}

}  // namespace keln::velmfit
