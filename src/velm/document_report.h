#pragma once
// The lines that open the building of a runtime asset from a document.

namespace keln::velm {

// Banners of the two document families, printed before the "parsed OK" line.
inline constexpr const char* banner_skeleton_animation = "# <<<<<<<<<<<<<";
inline constexpr const char* banner_geometry = "# *************";

// Reports how loading the document at path went: when loaded is false, the
// error line "error parsing %s"; otherwise the information lines banner and
// "<kind> file: <path> - parsed OK" (kind is "skeleton", "animation" or
// "geometry"). Returns loaded.
bool report_document_load(bool loaded, const char* path, const char* banner, const char* kind);

}  // namespace keln::velm
