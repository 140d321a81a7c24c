// Helpers of the grammar's actions: building value groups, starting a stream
// and the end-of-document count checks.
#pragma once

#include <cstdint>

#include "documents/qix_format.h"
#include "documents/qix_node.h"

namespace keln {

// A float group of the given form code from its floats in the order written.
void qix_float_value(qix_value_t& out, std::uint32_t format, const float* floats);
// A 16-float group: the k-th number written becomes element (k mod 4) x 4 +
// (k div 4) of the row-by-row matrix, so each written group of four fills one
// column and the translation is written as the 13th to 15th numbers.
void qix_matrix_value(qix_value_t& out, const float* floats);
// A ( STRING ) group: the text, zero-padded to 64 bytes.
void qix_string_value(qix_value_t& out, const char* text);
// An integer group (form QIX_FORMAT_INT or QIX_FORMAT_TRIANGLE).
void qix_int_group_value(qix_value_t& out, std::uint32_t format, const std::int32_t* integers);

// Creates a stream in the parse's node list, makes it the current stream,
// allocates it for count items, sets its tag and expects item 0 next.
void qix_begin_stream(std::uint32_t format, std::uint32_t count, const char* tag);

// The end-of-document checks of geometry and collision documents, in this
// order: piece count ("mismatching Piece count"), part count ("mismatching
// Part count"), locator count ("mismatching Locator count"), the sum of the
// pieces' vertex counts ("mismatching VertexCount count") and of their
// triangle counts ("mismatching TriangleCount count"). Sums are exact (no
// 32-bit wrap-around). Reports the first failure and returns false.
bool qix_check_global_counts(const array_t<qix_piece_t*>& pieces, std::uint32_t piece_count, std::uint32_t parts,
                             std::uint32_t part_count, std::uint32_t locators, std::uint32_t locator_count,
                             std::uint32_t vertex_count, std::uint32_t triangle_count);

// The parser runtime's own texts in this parser's words: its stack exhaustion
// is "parser stack overflow"; every other text is returned unchanged.
const char* qix_grammar_text(const char* text);

}  // namespace keln
