#include "svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace keln::velmfit {

namespace {

// Layout in SVG user units (pixels).
constexpr double figure_width = 960;
constexpr double title_height = 60;  // title and subtitle
constexpr double panel_height = 280;
constexpr double plot_left = 90;  // room for the y tick labels and axis label
constexpr double plot_width = 680;
constexpr double plot_top = 30;      // room for the panel title
constexpr double plot_height = 200;  // the rest of the panel holds the x ticks and label
constexpr double legend_left = plot_left + plot_width + 20;

std::string escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", v);
  return text;
}

std::string tick_label(double v, double step) {
  char text[32];
  if (v == 0.0) return "0";
  if (std::fabs(v) >= 1e5 || step < 1e-4) {
    std::snprintf(text, sizeof text, "%.3g", v);
  } else {
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
  }
  return text;
}

std::string text_element(double x, double y, const std::string& text, const char* anchor, int size,
                         const char* extra = "") {
  return "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" text-anchor=\"" + anchor + "\" font-size=\"" +
         std::to_string(size) + "\"" + extra + ">" + escaped(text) + "</text>\n";
}

struct range_t {
  double low = INFINITY, high = -INFINITY;
  void add(double v) {
    if (!std::isfinite(v)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  // An empty range becomes [0, 1]; a flat one is widened around its value.
  void settle() {
    if (low > high) {
      low = 0;
      high = 1;
    } else if (low == high) {
      const double margin = low == 0.0 ? 1.0 : std::fabs(low) * 0.1;
      low -= margin;
      high += margin;
    }
  }
};

std::string panel_svg(const svg_panel_t& panel, double top) {
  range_t xr, yr;
  for (const svg_series_t& s : panel.series)
    for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i)
      if (std::isfinite(s.x[i]) && std::isfinite(s.y[i])) {
        xr.add(s.x[i]);
        yr.add(s.y[i]);
      }
  xr.settle();
  yr.settle();
  const std::vector<double> xt = nice_ticks(xr.low, xr.high), yt = nice_ticks(yr.low, yr.high);
  const double x0 = xt.front(), x1 = xt.back(), y0 = yt.front(), y1 = yt.back();
  const double left = plot_left, right = plot_left + plot_width;
  const double upper = top + plot_top, lower = top + plot_top + plot_height;
  auto px = [&](double x) { return left + (x - x0) / (x1 - x0) * plot_width; };
  auto py = [&](double y) { return lower - (y - y0) / (y1 - y0) * plot_height; };

  std::string out = "<g>\n";
  out += text_element(left + plot_width / 2, top + 18, panel.title, "middle", 15, " font-weight=\"bold\"");
  // Grid, ticks and tick labels.
  const double x_step = xt.size() > 1 ? xt[1] - xt[0] : 1.0, y_step = yt.size() > 1 ? yt[1] - yt[0] : 1.0;
  for (const double x : xt) {
    out += "<line x1=\"" + num(px(x)) + "\" y1=\"" + num(upper) + "\" x2=\"" + num(px(x)) + "\" y2=\"" + num(lower) +
           "\" stroke=\"#dddddd\"/>\n";
    out += text_element(px(x), lower + 16, tick_label(x, x_step), "middle", 11);
  }
  for (const double y : yt) {
    out += "<line x1=\"" + num(left) + "\" y1=\"" + num(py(y)) + "\" x2=\"" + num(right) + "\" y2=\"" + num(py(y)) +
           "\" stroke=\"#dddddd\"/>\n";
    out += text_element(left - 6, py(y) + 4, tick_label(y, y_step), "end", 11);
  }
  out += "<rect x=\"" + num(left) + "\" y=\"" + num(upper) + "\" width=\"" + num(plot_width) + "\" height=\"" +
         num(plot_height) + "\" fill=\"none\" stroke=\"black\"/>\n";
  out += text_element(left + plot_width / 2, lower + 36, panel.x_label, "middle", 12);
  const double label_y = upper + plot_height / 2;
  out += text_element(24, label_y, panel.y_label, "middle", 12,
                      (" transform=\"rotate(-90 24 " + num(label_y) + ")\"").c_str());

  // Data (the ticks cover every value, so all of it lies inside the frame).
  for (const svg_series_t& s : panel.series) {
    std::string path;
    for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i) {
      if (!std::isfinite(s.x[i]) || !std::isfinite(s.y[i])) continue;
      if (s.points)
        out += "<circle cx=\"" + num(px(s.x[i])) + "\" cy=\"" + num(py(s.y[i])) + "\" r=\"2.5\" fill=\"" + s.colour +
               "\"/>\n";
      else
        path += (path.empty() ? "M" : " L") + num(px(s.x[i])) + " " + num(py(s.y[i]));
    }
    if (!path.empty())
      out += "<path d=\"" + path + "\" fill=\"none\" stroke=\"" + s.colour + "\" stroke-width=\"1.5\"/>\n";
  }

  // Legend.
  double entry_y = upper + 10;
  for (const svg_series_t& s : panel.series) {
    if (s.label.empty()) continue;
    if (s.points)
      out += "<circle cx=\"" + num(legend_left + 12) + "\" cy=\"" + num(entry_y) + "\" r=\"3\" fill=\"" + s.colour +
             "\"/>\n";
    else
      out += "<line x1=\"" + num(legend_left) + "\" y1=\"" + num(entry_y) + "\" x2=\"" + num(legend_left + 24) +
             "\" y2=\"" + num(entry_y) + "\" stroke=\"" + s.colour + "\" stroke-width=\"2\"/>\n";
    out += text_element(legend_left + 32, entry_y + 4, s.label, "start", 12);
    entry_y += 18;
  }
  return out + "</g>\n";
}

}  // namespace

std::vector<double> nice_ticks(double low, double high) {
  const double span = high - low;
  const double rough = span / 5;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double step = 10 * power;
  for (const double m : {1.0, 2.0, 5.0})
    if (rough <= m * power) {
      step = m * power;
      break;
    }
  std::vector<double> ticks;
  const double first = std::floor(low / step + 1e-9), last = std::ceil(high / step - 1e-9);
  for (double i = first; i <= last; ++i) ticks.push_back(i * step);
  return ticks;
}

const char* series_colour(std::size_t i) {
  static const char* const palette[] = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e", "#9467bd",
                                        "#8c564b", "#e377c2", "#7f7f7f", "#bcbd22", "#17becf"};
  return palette[i % (sizeof palette / sizeof palette[0])];
}

std::string svg_figure(const std::string& title, const std::string& subtitle, const std::vector<svg_panel_t>& panels) {
  const double height = title_height + panel_height * static_cast<double>(panels.size());
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(figure_width) + "\" height=\"" + num(height) +
         "\" viewBox=\"0 0 " + num(figure_width) + " " + num(height) + "\" font-family=\"sans-serif\">\n";
  out += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  out += text_element(figure_width / 2, 26, title, "middle", 17, " font-weight=\"bold\"");
  out += text_element(figure_width / 2, 48, subtitle, "middle", 13);
  for (std::size_t p = 0; p < panels.size(); ++p)
    out += panel_svg(panels[p], title_height + panel_height * static_cast<double>(p));
  return out + "</svg>\n";
}

}  // namespace keln::velmfit
