#pragma once
// The figures as a JSON document for scripts:
//   {"animations": [ {row}, ... ], "total": {total}}
// Every row holds "name", "channels", "keys", "duration", "keyframe_bytes",
// "bspline_bytes", "ratio", "fit_ms", "position_error", "rotation_error",
// "stretch_error" (largest squared key errors), "largest_distance",
// "largest_percent", "mean_distance", "mean_percent", "worst_bone",
// "worst_time" and "rest_height"; the total the same without "keys",
// "worst_time" and "rest_height", with "worst_animation". Distances are in
// document units, times in the document's time unit; a figure that does not
// exist, or is infinite (JSON has no infinity), is null. Numbers carry enough digits to read back the same value.

#include <string>
#include <vector>

#include "figures.h"

namespace keln::velmfit {

std::string json_text(const std::vector<figures_t>& rows, const figures_t& total);

// s as a JSON string literal, quotes included.
std::string json_string(const std::string& s);

}  // namespace keln::velmfit
