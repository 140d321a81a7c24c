#include "documents/qix_load.h"

#include "documents/qix_context.h"
#include "documents/qix_parse.h"
#include "documents/qix_scanner.h"
#include "documents/qix_storage_budget.h"
#include "kelncore/fs/fs.h"
#include "kelncore/system/messages.h"

namespace keln {

namespace {

// The scanner takes at most QIX_MAX_DOCUMENT_SIZE bytes; a larger document is
// refused with the read error. True when size is within the limit.
bool within_limit(const char* name, std::uint64_t size) {
  if (size <= QIX_MAX_DOCUMENT_SIZE) return true;
  msg_error("error reading from file %s", name);
  return false;
}

// Parses text whose size is within the limit.
bool parse_text(const char* name, const char* text, std::size_t size, qix_node_list_t& nodes, qix_kind_t kind) {
  qix_scan_begin(name, kind);
  qix_parse_setup(nodes, kind);
  qix_storage_budget_begin(QIX_STORAGE_PER_TEXT_BYTE * size + QIX_STORAGE_ALLOWANCE);
  yy_buffer_state* buffer = qix_scan_bytes(text, static_cast<int>(size));
  const int result = qix_parse();
  qix_scan_end(buffer);
  qix_storage_budget_end();
  qix_parse_clear();
  return result == 0;
}

}  // namespace

bool qix_load_text(const char* name, const char* text, std::size_t size, qix_node_list_t& nodes, qix_kind_t kind) {
  g_qix_context = qix_parse_context_t();  // no roots until this parse creates them
  return within_limit(name, size) && parse_text(name, text, size, nodes, kind);
}

bool qix_load(const char* path, std::uint32_t device, qix_node_list_t& nodes, qix_kind_t kind) {
  g_qix_context = qix_parse_context_t();  // no roots until this load creates them
  auto_ptr_t<file_t> file = fs_open(path, device);
  if (!file.get()) {
    msg_error("cannot stat file %s", path);
    return false;
  }
  const std::uint64_t size = file->size();
  if (file->state() != FS_STATE_OK) {
    msg_error("error reading from file %s", path);
    return false;
  }
  if (!within_limit(path, size)) return false;
  char* text = new char[size];
  bool loaded = false;
  if (!file->read(text, size))
    msg_error("error reading from file %s", path);
  else
    loaded = parse_text(path, text, size, nodes, kind);
  delete[] text;
  return loaded;
}

qix_node_t* qix_loaded_root(qix_kind_t kind) {
  switch (kind) {
    case QIX_GEOMETRY:
      return g_qix_context.qim;
    case QIX_SKELETON:
      return g_qix_context.qis;
    case QIX_ANIMATION:
      return g_qix_context.qia;
    case QIX_TRAIT:
      return g_qix_context.qit;
    case QIX_COLLISION:
      return g_qix_context.qic;
  }
  return nullptr;
}

namespace {

// Common body of the typed loads.
template <typename Root>
Root* load_root(const char* path, std::uint32_t device, qix_node_list_t& nodes, qix_kind_t kind) {
  if (!qix_load(path, device, nodes, kind)) return nullptr;
  Root* root = static_cast<Root*>(qix_loaded_root(kind));
  root->file_name = path;
  return root;
}

}  // namespace

qim_t* qim_load(const char* path, std::uint32_t device, qix_node_list_t& nodes) {
  return load_root<qim_t>(path, device, nodes, QIX_GEOMETRY);
}

qis_t* qis_load(const char* path, std::uint32_t device, qix_node_list_t& nodes) {
  return load_root<qis_t>(path, device, nodes, QIX_SKELETON);
}

qia_t* qia_load(const char* path, std::uint32_t device, qix_node_list_t& nodes) {
  return load_root<qia_t>(path, device, nodes, QIX_ANIMATION);
}

qit_t* qit_load(const char* path, std::uint32_t device, qix_node_list_t& nodes) {
  return load_root<qit_t>(path, device, nodes, QIX_TRAIT);
}

qic_t* qic_load(const char* path, std::uint32_t device, qix_node_list_t& nodes) {
  return load_root<qic_t>(path, device, nodes, QIX_COLLISION);
}

}  // namespace keln
