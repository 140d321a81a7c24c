#include "documents/qim_skin.h"

namespace keln {

qim_skinstream_t::~qim_skinstream_t() {
  delete[] reinterpret_cast<unsigned char*>(weights);
  delete[] reinterpret_cast<unsigned char*>(clones);
}

bool qim_skinstream_t::allocate_skin(std::uint32_t new_format, std::uint32_t items, std::uint32_t weight_total,
                                     std::uint32_t clone_total) {
  item_count_declared = items;
  if (!allocate(new_format, items)) return false;
  delete[] reinterpret_cast<unsigned char*>(weights);
  delete[] reinterpret_cast<unsigned char*>(clones);
  weights = reinterpret_cast<qim_weight_t*>(allocate_block(std::size_t{weight_total} * sizeof(qim_weight_t)));
  clones = reinterpret_cast<qim_clone_t*>(allocate_block(std::size_t{clone_total} * sizeof(qim_clone_t)));
  weight_capacity = weights ? weight_total : 0;
  clone_capacity = clones ? clone_total : 0;
  weights_used = 0;
  clones_used = 0;
  return weights && clones;
}

bool qim_skinstream_t::add_item(const void* item_bytes, std::uint32_t size) {
  if (!qix_stream_t::add_item(item_bytes, size)) return false;
  qim_skinitem_t skin_item = {0, 0, weights + weights_used, clones + clones_used, 0, 0};
  skin_items.push_back(skin_item);
  return true;
}

bool qim_skinstream_t::set_weight_count(std::uint32_t n) {
  if (skin_items.empty()) return false;
  skin_items[skin_items.size() - 1].weight_count = n;
  return true;
}

bool qim_skinstream_t::set_clone_count(std::uint32_t n) {
  if (skin_items.empty()) return false;
  skin_items[skin_items.size() - 1].clone_count = n;
  return true;
}

bool qim_skinstream_t::add_weight(std::uint32_t bone, float weight) {
  if (skin_items.empty()) return false;
  qim_skinitem_t& last = skin_items[skin_items.size() - 1];
  if (last.weights_added == last.weight_count || weights_used == weight_capacity) return false;
  weights[weights_used++] = {bone, weight};
  ++last.weights_added;
  return true;
}

bool qim_skinstream_t::add_clone(std::uint32_t piece, std::uint32_t vertex) {
  if (skin_items.empty()) return false;
  qim_skinitem_t& last = skin_items[skin_items.size() - 1];
  if (last.clones_added == last.clone_count || clones_used == clone_capacity) return false;
  clones[clones_used++] = {piece, vertex};
  ++last.clones_added;
  return true;
}

}  // namespace keln
