#pragma once
// Line and point charts as standalone SVG documents: a figure title, a
// subtitle line, and one or more panels stacked vertically, each with its own title, labelled axes
// with round tick values, a frame and a legend to its right.

#include <string>
#include <vector>

namespace keln::velmfit {

struct svg_series_t {
  std::string label;         // legend text; an empty label has no legend entry
  std::string colour;        // any SVG colour
  bool points = false;       // small circles at the data points instead of a line through them
  std::vector<double> x, y;  // same length; a series without data is a legend entry only
};

struct svg_panel_t {
  std::string title;
  std::string x_label;  // with the unit, e.g. "time (s)"
  std::string y_label;
  std::vector<svg_series_t> series;
};

// The whole SVG document (UTF-8, with XML declaration). Texts are escaped.
// Each panel's ranges cover all its data (a flat range is widened); non-finite
// values are left out.
std::string svg_figure(const std::string& title, const std::string& subtitle, const std::vector<svg_panel_t>& panels);

// Round tick values covering [low, high]: about five steps of 1, 2 or 5 times
// a power of ten, from the largest multiple of the step at or below low to
// the smallest at or above high.
std::vector<double> nice_ticks(double low, double high);

// The colour of series i of a palette of ten distinguishable colours.
const char* series_colour(std::size_t i);

}  // namespace keln::velmfit
