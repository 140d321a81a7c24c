#pragma once
// The figures as a plain-text table for people: a header, one row per
// animation, a rule and the total row; columns separated by two spaces,
// numbers right-aligned, lines ending with LF.
//
// Columns: animation name; channels; keys (of the longest channel);
// duration (document time unit); keyframe and B-spline bytes; their ratio;
// fit time in ms; the largest squared key error of the position, rotation
// and stretch curves; the largest and mean distance between the playbacks'
// joint positions in document units and in percent of the rest height; the
// bone of the largest distance. Percentages have three decimals (in exponent
// form from 100,000 % on). A figure that does not exist is "-"; an
// infinite one is "inf".

#include <string>
#include <vector>

#include "figures.h"

namespace keln::velmfit {

std::string table_text(const std::vector<figures_t>& rows, const figures_t& total);

}  // namespace keln::velmfit
