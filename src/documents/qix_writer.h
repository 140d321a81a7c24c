// The document writer: writes a document model back as text in one canonical
// layout that the loaders read back to the same model.
//
// Layout: one field or item per line, sections opened with "Keyword {" and
// closed with "}", two spaces of indentation per level, keywords in their
// mixed case, fields and counts exactly as the model holds them (nothing is
// recomputed, so a model whose counts disagree with its sections is written
// as it is and fails to load the same way). A locator's Hookup is written only
// when it is not empty.
//
// Floats: the shortest decimal text that reads back to the same float, always
// with a point or an exponent ("1.0", "0.1", "-2.5e-07", "1e+30"); infinities
// and NaNs, which have no decimal form, as "&" and their 8-digit bit pattern.
// So every float reads back bit for bit. Matrices (Float4x4 items, bone
// matrices) are written column by column, as the format stores them
// transposed.
//
// Each writer returns false, leaving incomplete text behind, when the model
// cannot be written so that it reads back: a missing header or global
// section, a string containing a double quote, a stream or attribute whose
// format has no keyword, a skin without bone names or bone names without a
// skin, a skeleton without bones.
#pragma once

#include "documents/qia.h"
#include "documents/qic.h"
#include "documents/qim.h"
#include "documents/qis.h"
#include "documents/qit.h"
#include "documents/qix_kind.h"
#include "documents/qix_text_out.h"

namespace keln {

bool qim_write(const qim_t& document, qix_text_out_t& out);
bool qis_write(const qis_t& document, qix_text_out_t& out);
bool qia_write(const qia_t& document, qix_text_out_t& out);
bool qit_write(const qit_t& document, qix_text_out_t& out);
bool qic_write(const qic_t& document, qix_text_out_t& out);

// The writer of the kind, for a root of that kind (as qix_loaded_root gives).
bool qix_write(const qix_node_t& root, qix_kind_t kind, qix_text_out_t& out);

// The text of one float as the writer writes it (at most 16 characters and a
// terminator in out).
void qix_write_float(float value, char out[24]);

}  // namespace keln
