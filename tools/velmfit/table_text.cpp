#include "table_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace keln::velmfit {

namespace {

struct column_t {
  const char* title;
  bool left;  // left-aligned (texts) rather than right-aligned (numbers)
};

constexpr column_t columns[] = {
    {"animation", true},   {"channels", false},   {"keys", false},       {"duration", false},
    {"keyframe B", false}, {"B-spline B", false}, {"cache B", false},    {"ratio", false},
    {"fit ms", false},     {"pos err2", false},   {"rot err2", false},   {"str err2", false},
    {"max dist", false},   {"max %", false},      {"mean dist", false},  {"mean %", false},
    {"worst bone", true},
};
constexpr std::size_t column_count = sizeof columns / sizeof columns[0];

using cells_t = std::vector<std::string>;

std::string number(const char* format, double value) {
  if (std::isnan(value)) return "-";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// A percentage with three decimals; beyond 99,999 % (a playback gone wild)
// in exponent form, so that the column stays narrow.
std::string percent(double value) { return number(std::fabs(value) < 1e5 ? "%.3f" : "%.3e", value); }

cells_t cells_of(const figures_t& f, bool total) {
  return {f.name,
          std::to_string(f.channels),
          total ? "-" : std::to_string(f.keys),
          number("%.3f", f.duration),
          std::to_string(f.keyframe_bytes),
          std::to_string(f.bspline_bytes),
          std::to_string(f.cache_bytes),
          number("%.2f", f.ratio()),
          number("%.1f", f.fit_ms),
          number("%.2e", f.key_errors.position),
          number("%.2e", f.key_errors.rotation),
          number("%.2e", f.key_errors.stretch),
          number("%.3e", f.largest),
          percent(f.largest_percent),
          number("%.3e", f.mean),
          percent(f.mean_percent),
          total && f.worst_animation != "-" ? f.worst_bone + " (" + f.worst_animation + ")" : f.worst_bone};
}

void append_line(std::string& out, const cells_t& cells, const std::size_t* widths) {
  std::string line;
  for (std::size_t c = 0; c < column_count; ++c) {
    const std::string pad(widths[c] - cells[c].size(), ' ');
    if (c != 0) line += "  ";
    line += columns[c].left ? cells[c] + (c + 1 < column_count ? pad : "") : pad + cells[c];
  }
  out += line + "\n";
}

}  // namespace

std::string table_text(const std::vector<figures_t>& rows, const figures_t& total) {
  std::vector<cells_t> lines;
  cells_t header;
  for (const column_t& column : columns) header.push_back(column.title);
  lines.push_back(header);
  for (const figures_t& row : rows) lines.push_back(cells_of(row, false));
  lines.push_back(cells_of(total, true));

  std::size_t widths[column_count] = {};
  for (const cells_t& cells : lines)
    for (std::size_t c = 0; c < column_count; ++c) widths[c] = std::max(widths[c], cells[c].size());

  std::string out;
  append_line(out, lines.front(), widths);
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) append_line(out, lines[i], widths);
  std::size_t rule = 2 * (column_count - 1);
  for (std::size_t w : widths) rule += w;
  out += std::string(rule, '-') + "\n";
  append_line(out, lines.back(), widths);
  return out;
}

}  // namespace keln::velmfit
