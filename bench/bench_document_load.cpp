// Loading throughput of large documents: a geometry document of 60,000
// skinned vertices and an animation document of 60 channels x 600 matrix
// keys, generated as text into a temporary directory when the program starts
// and loaded through the typed loaders from the system device.
//
// Counters per load: allocations and allocated bytes (everything from the
// heap, the scanner's copy of the text included), reads and bytes read. The
// text is read in one read and copied once (by the scanner), and nothing is
// allocated per token: the allocations stay at a few per stream or node.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "documents/qix_load.h"
#include "documents/qix_node.h"
#include "kelncore/fs/fs_types.h"
#include "kelncore/system/startup.h"
#include "load_counters.h"

namespace {

constexpr int k_grid_columns = 300;
constexpr int k_grid_rows = 200;  // 60,000 vertices
constexpr int k_channels = 60;
constexpr int k_keys = 600;

std::string g_directory;

void append(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void append(std::string& text, const char* format, ...) {
  char line[256];
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(line, sizeof line, format, arguments);
  va_end(arguments);
  text.append(line, static_cast<std::size_t>(length));
}

// A grid of columns x rows vertices in one piece, with positions, normals and
// texture coordinates, two triangles per grid cell, and a skin whose items
// are the vertices, each weighted to two of four bones.
std::string geometry_text() {
  const int vertices = k_grid_columns * k_grid_rows;
  const int triangles = (k_grid_columns - 1) * (k_grid_rows - 1) * 2;
  std::string text;
  text.reserve(12u << 20);
  append(text, "Header {\n  FormatVersion : 5\n  Source : \"bench\"\n  Type : \"geometry\"\n  Name : \"grid\"\n}\n");
  append(text,
         "Global {\n  VertexCount : %d\n  TriangleCount : %d\n  MaterialCount : 1\n  PieceCount : 1\n"
         "  PartCount : 1\n  BoneCount : 4\n  LocatorCount : 0\n  Skeleton : \"grid\"\n}\n",
         vertices, triangles);
  append(text, "Material {\n  Alias : \"skin\"\n  Effect : \"lit\"\n}\n");
  append(text, "Piece {\n  Index : 0\n  Material : 0\n  VertexCount : %d\n  TriangleCount : %d\n  StreamCount : 3\n",
         vertices, triangles);
  const auto x_of = [](int v) { return static_cast<float>(v % k_grid_columns) * 0.01f; };
  const auto y_of = [](int v) { return static_cast<float>(v / k_grid_columns) * 0.01f; };
  append(text, "  Stream {\n    Format : Float3\n    Tag : \"_POSITION\"\n");
  for (int v = 0; v < vertices; ++v) append(text, "    %d ( %.4f %.4f %.4f )\n", v, x_of(v), y_of(v), 0.125f);
  append(text, "  }\n  Stream {\n    Format : Float3\n    Tag : \"_NORMAL\"\n");
  for (int v = 0; v < vertices; ++v) append(text, "    %d ( 0.0 0.0 1.0 )\n", v);
  append(text, "  }\n  Stream {\n    Format : Float2\n    Tag : \"_TEXCOORD\"\n");
  for (int v = 0; v < vertices; ++v) append(text, "    %d ( %.4f %.4f )\n", v, x_of(v), y_of(v));
  append(text, "  }\n  Triangles {\n");
  int t = 0;
  for (int r = 0; r + 1 < k_grid_rows; ++r) {
    for (int c = 0; c + 1 < k_grid_columns; ++c) {
      const int v = r * k_grid_columns + c;
      append(text, "    %d ( %d %d %d )\n", t++, v, v + 1, v + k_grid_columns);
      append(text, "    %d ( %d %d %d )\n", t++, v + 1, v + k_grid_columns + 1, v + k_grid_columns);
    }
  }
  append(text, "  }\n}\n");
  append(text, "Part {\n  Name : \"body\"\n  PieceCount : 1\n  LocatorCount : 0\n  Pieces : 0\n  Locators :\n}\n");
  append(text, "Bones {\n  0 ( \"root\" )\n  1 ( \"spine\" )\n  2 ( \"arm\" )\n  3 ( \"hand\" )\n}\n");
  append(text,
         "Skin {\n  StreamCount : 1\n  SkinStream {\n    Format : Float3\n    Tag : \"_POSITION\"\n"
         "    ItemCount : %d\n    TotalWeightCount : %d\n    TotalCloneCount : %d\n",
         vertices, 2 * vertices, vertices);
  for (int v = 0; v < vertices; ++v) {
    append(text, "    %d ( ( %.4f %.4f %.4f ) Weights : 2 %d 0.75 %d 0.25 Clones : 1 0 %d )\n", v, x_of(v), y_of(v),
           0.125f, v % 4, (v + 1) % 4, v);
  }
  append(text, "  }\n}\n");
  return text;
}

// channels bone channels of keys evenly spaced keys each: a time stream and
// a stream of 4 x 4 matrices (a rotation about z and a translation).
std::string animation_text() {
  std::string text;
  text.reserve(40u << 20);
  append(text, "Header {\n  FormatVersion : 3\n  Source : \"bench\"\n  Type : \"animation\"\n  Name : \"sway\"\n}\n");
  append(text, "Global {\n  Skeleton : \"grid\"\n  TotalTime : 20.0\n  BoneChannelCount : %d\n  CustomChannelCount : 0\n}\n",
         k_channels);
  for (int channel = 0; channel < k_channels; ++channel) {
    append(text, "BoneChannel {\n  Name : \"bone_%d\"\n  StreamCount : 2\n  KeyframeCount : %d\n", channel, k_keys);
    append(text, "  Stream {\n    Format : Float\n    Tag : \"_TIME\"\n");
    for (int key = 0; key < k_keys; ++key) append(text, "    %d ( %.6f )\n", key, 20.0f / k_keys);
    append(text, "  }\n  Stream {\n    Format : Float4x4\n    Tag : \"_MATRIX\"\n");
    for (int key = 0; key < k_keys; ++key) {
      const float angle = 0.01f * static_cast<float>(key + channel);
      const float c = std::cos(angle);
      const float s = std::sin(angle);
      append(text, "    %d ( %.7f %.7f 0.0 0.0  %.7f %.7f 0.0 0.0  0.0 0.0 1.0 0.0  %.5f %.5f %.5f 1.0 )\n", key, c,
             s, -s, c, 0.1f * channel, 0.002f * key, -0.5f);
    }
    append(text, "  }\n}\n");
  }
  return text;
}

std::string write_document(const char* name, const std::string& text) {
  const std::string path = g_directory + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
  return path;
}

template <typename Load>
void load_document(benchmark::State& state, const std::string& path, Load load) {
  const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
  load_counters_t used = {};
  for (auto _ : state) {
    keln::qix_node_list_t nodes;
    const load_counters_t before = load_counters();
    const bool loaded = load(path.c_str(), keln::FS_DEVICE_SYSTEM, nodes) != nullptr;
    const load_counters_t after = load_counters();
    used = {after.allocations - before.allocations, after.allocated_bytes - before.allocated_bytes,
            after.reads - before.reads, after.read_bytes - before.read_bytes};
    keln::qix_destroy_nodes(nodes);
    if (!loaded) {
      state.SkipWithError("the generated document did not load");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["document_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["allocs_per_load"] = static_cast<double>(used.allocations);
  state.counters["alloc_bytes_per_doc_byte"] = static_cast<double>(used.allocated_bytes) / static_cast<double>(bytes);
  state.counters["reads_per_load"] = static_cast<double>(used.reads);
  state.counters["read_bytes_per_doc_byte"] = static_cast<double>(used.read_bytes) / static_cast<double>(bytes);
}

}  // namespace

int main(int argc, char** argv) {
  keln::core_startup(0);
  char pattern[] = "/tmp/velm_bench_XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  g_directory = pattern;
  const std::string geometry = write_document("grid.qim", geometry_text());
  const std::string animation = write_document("sway.qia", animation_text());

  benchmark::RegisterBenchmark("load_geometry_60000_vertices", [&](benchmark::State& state) {
    load_document(state, geometry, keln::qim_load);
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("load_animation_60x600_keys", [&](benchmark::State& state) {
    load_document(state, animation, keln::qia_load);
  })->Unit(benchmark::kMillisecond);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(g_directory);
  keln::core_shutdown();
  return 0;
}
