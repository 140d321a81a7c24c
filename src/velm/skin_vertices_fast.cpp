#include "velm/skin_vertices_fast.h"

#include "kelncore/system/cpu.h"
#include "kelncore/system/cpu_vector_sets.h"
#include "velm/skin_batch.h"
#include "velm/skin_vertices.h"

namespace keln::velm {

#if defined(__SSE__)

skin_job_t::skin_job_t(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices)
    : matrices(skin_matrices), count(mesh.positions.size()) {
  mesh.skinned_positions.resize(count);
  mesh.skinned_normals.resize(mesh.normals.size());
  if (count != 0) {
    // The checks of the first elements that would be out of range.
    (void)mesh.normals[count - 1];
    (void)mesh.skin_vertices[count - 1];
  }
  positions = count ? mesh.positions.data()->c : nullptr;
  normals = count ? mesh.normals.data()->c : nullptr;
  out_positions = count ? mesh.skinned_positions.data()->c : nullptr;
  out_normals = count ? mesh.skinned_normals.data()->c : nullptr;
  vertices = mesh.skin_vertices.data();
  for (std::uint32_t b = 0; b < skin_matrices.size(); ++b) {
    const float* m = skin_matrices.data()[b].m;
    for (unsigned r = 0; r < 4; ++r)
      for (unsigned c = 0; c < 4; ++c) columns[16 * b + 4 * c + r] = m[4 * r + c];
  }
}

bool skin_avx2_available() { return (cpu_x86_vector_sets() & CPU_VEC_AVX2) != 0; }

bool skin_fma_available() {
  constexpr std::uint32_t both = CPU_VEC_AVX2 | CPU_VEC_FMA;
  return (cpu_x86_vector_sets() & both) == both;
}

#endif

void skin_vertices_fast(skinned_mesh_t& mesh, const array_t<mat4_t>& skin_matrices) {
#if defined(__SSE__)
  if (cpu_features() & CPU_FEAT_SSE) {
    const std::uint32_t sets = cpu_vector_sets();
    if ((sets & CPU_VEC_AVX2) && (sets & CPU_VEC_FMA)) {
      skin_vertices_fma(mesh, skin_matrices);
    } else if (sets & CPU_VEC_AVX2) {
      skin_vertices_avx2(mesh, skin_matrices);
    } else {
      skin_vertices_sse(mesh, skin_matrices);
    }
    return;
  }
#endif
  skin_vertices(mesh, skin_matrices);
}

}  // namespace keln::velm
