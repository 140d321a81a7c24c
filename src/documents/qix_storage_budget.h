// The storage budget of one parse. Counts written in a document are untrusted:
// a declared count far beyond what the text can hold must not make the loader
// ask for absurd amounts of memory. While a budget is in force, every block of
// stream, weight and clone storage is taken from it, and a block that does not
// fit is refused like a failed allocation ("cannot allocate stream [size %zu]").
// Outside a parse there is no budget and only the system's memory limits apply.
//
// The loader sets the budget from the document's size: no honest item needs
// more than 16 bytes of storage per byte of its text, so a document whose
// declared counts match what it writes always fits.
#pragma once

#include <cstddef>

namespace keln {

// Storage allowed per byte of document text, and the allowance every document
// gets on top of that.
constexpr std::size_t QIX_STORAGE_PER_TEXT_BYTE = 16;
constexpr std::size_t QIX_STORAGE_ALLOWANCE = 1u << 20;

// Puts a budget of bytes in force (replacing any previous one).
void qix_storage_budget_begin(std::size_t bytes);
// Lifts the budget.
void qix_storage_budget_end();
// Takes bytes from the budget: true when no budget is in force or the bytes
// fit in what is left (which then shrinks by bytes).
bool qix_storage_budget_take(std::size_t bytes);

}  // namespace keln
