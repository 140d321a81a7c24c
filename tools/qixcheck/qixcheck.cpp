// qixcheck: loads documents the way the viewer does and reports what it found.
//
//   qixcheck FILE...         one summary line per loaded document
//   qixcheck --dump FILE...  each loaded document written back as text
//   qixcheck --help          the usage line
//
// The kind of each FILE comes from its extension: .qim geometry, .qis
// skeleton, .qia animation, .qit trait, .qic collision. Paths are relative to
// the working directory. Standard error carries exactly the loader's messages;
// the exit status is 0 when every file loaded, 1 when any failed, 2 for a
// usage error (no file, an unknown extension).
#include <cstdio>
#include <cstring>

#include "documents/qix_load.h"
#include "documents/qix_writer.h"
#include "kelncore/fs/fs_types.h"
#include "kelncore/system/messages.h"
#include "kelncore/system/startup.h"

using namespace keln;

namespace {

const char* const g_usage = "usage: qixcheck [--dump] FILE...  (FILE ending in .qim, .qis, .qia, .qit or .qic)";

void summarise(const char* path, qix_kind_t kind, const qix_node_t* root) {
  switch (kind) {
    case QIX_GEOMETRY: {
      const qim_t& d = *static_cast<const qim_t*>(root);
      msg_info("%s: geometry, FormatVersion %d, %u materials, %u pieces, %u vertices, %u triangles, %u parts, "
               "%u locators, %u bones, %u skin streams",
               path, d.header->format_version, d.materials.size(), d.pieces.size(), d.global->vertex_count,
               d.global->triangle_count, d.parts.size(), d.locators.size(), d.bone_names.size(),
               d.skin ? d.skin->streams.size() : 0u);
      return;
    }
    case QIX_SKELETON: {
      const qis_t& d = *static_cast<const qis_t*>(root);
      msg_info("%s: skeleton, FormatVersion %d, %u bones", path, d.header->format_version,
               d.bones->bone_list.size());
      return;
    }
    case QIX_ANIMATION: {
      const qia_t& d = *static_cast<const qia_t*>(root);
      msg_info("%s: animation, FormatVersion %d, %u bone channels, %u custom channels, total time %g", path,
               d.header->format_version, d.bone_channels.size(), d.custom_channels.size(),
               static_cast<double>(d.global->total_time));
      return;
    }
    case QIX_TRAIT: {
      const qit_t& d = *static_cast<const qit_t*>(root);
      msg_info("%s: trait, FormatVersion %d, %u looks, %u variants", path, d.header->format_version,
               d.looks.size(), d.variants.size());
      return;
    }
    case QIX_COLLISION: {
      const qic_t& d = *static_cast<const qic_t*>(root);
      msg_info("%s: collision, FormatVersion %d, %u materials, %u pieces, %u parts, %u locators", path,
               d.header->format_version, d.materials.size(), d.pieces.size(), d.parts.size(),
               d.locators.size());
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf("%s\n", g_usage);
    return 0;
  }
  int first = 1;
  const bool dumping = argc > 1 && std::strcmp(argv[1], "--dump") == 0;
  if (dumping) first = 2;
  qix_kind_t kind = QIX_GEOMETRY;
  bool usable = first < argc;
  for (int i = first; i < argc && usable; ++i) {
    usable = qix_kind_from_path(argv[i], kind);
    if (!usable) std::fprintf(stderr, "qixcheck: unknown document kind: %s\n", argv[i]);
  }
  if (!usable) {
    std::fprintf(stderr, "%s\n", g_usage);
    return 2;
  }

  core_startup(0);
  bool all_loaded = true;
  for (int i = first; i < argc; ++i) {
    qix_kind_from_path(argv[i], kind);
    qix_node_list_t nodes;
    if (qix_load(argv[i], FS_DEVICE_SYSTEM, nodes, kind)) {
      const qix_node_t* root = qix_loaded_root(kind);
      if (dumping) {
        qix_stdio_out_t out(stdout);
        qix_write(*root, kind, out);
      } else {
        summarise(argv[i], kind, root);
      }
    } else {
      all_loaded = false;
    }
    qix_destroy_nodes(nodes);
  }
  std::fflush(stdout);
  core_shutdown();
  return all_loaded ? 0 : 1;
}
