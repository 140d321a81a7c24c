// Loading documents: a path is read whole through the file system, scanned and
// parsed into the caller's node list, and the root of the requested kind is
// handed back. Every node a load creates goes into the node list, whether the
// load succeeds or fails; the caller destroys the list with qix_destroy_nodes.
// Messages (all at error level):
//   "cannot stat file %s"          the file cannot be opened (nothing parsed)
//   "error reading from file %s"   its size or content cannot be read, or it is
//                                  larger than the scanner's limit of 2 GiB
//   the scanner's and parser's messages ("%s:%d: ..."), the file name being
//   the path as given.
// Loads share the process-wide scanner and parser and must not overlap.
// Skeleton documents need the matrix routine table (filled by core_startup).
#pragma once

#include <cstddef>
#include <cstdint>

#include "documents/qia.h"
#include "documents/qic.h"
#include "documents/qim.h"
#include "documents/qis.h"
#include "documents/qit.h"
#include "documents/qix_kind.h"

namespace keln {

// Largest document the scanner takes, in bytes.
constexpr std::uint64_t QIX_MAX_DOCUMENT_SIZE = 0x7FFFFFF0u;

// Reads path (device: a file-system device id, FS_DEVICE_SYSTEM for paths
// relative to the working directory) and parses it as a document of kind.
// True when the parse succeeded.
bool qix_load(const char* path, std::uint32_t device, qix_node_list_t& nodes, qix_kind_t kind);

// Parses size bytes of document text already in memory; name is the file
// name the messages use. Text larger than QIX_MAX_DOCUMENT_SIZE is refused
// with "error reading from file %s" and creates no nodes. The parse's
// stream storage is limited to QIX_STORAGE_PER_TEXT_BYTE x size +
// QIX_STORAGE_ALLOWANCE bytes (see qix_storage_budget.h). True when the parse
// succeeded.
bool qix_load_text(const char* name, const char* text, std::size_t size, qix_node_list_t& nodes, qix_kind_t kind);

// The root of the kind that the last load created (after a failed parse:
// partly filled); null when the last load created no nodes.
qix_node_t* qix_loaded_root(qix_kind_t kind);

// Typed loads: the root of the document, its file_name set to path, or null
// when the load failed (the root then stays in the node list).
qim_t* qim_load(const char* path, std::uint32_t device, qix_node_list_t& nodes);
qis_t* qis_load(const char* path, std::uint32_t device, qix_node_list_t& nodes);
qia_t* qia_load(const char* path, std::uint32_t device, qix_node_list_t& nodes);
qit_t* qit_load(const char* path, std::uint32_t device, qix_node_list_t& nodes);
qic_t* qic_load(const char* path, std::uint32_t device, qix_node_list_t& nodes);

}  // namespace keln
