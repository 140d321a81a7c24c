// Animation document (.qia): per channel, streams of evenly spaced keys.
#pragma once

#include <cstdint>

#include "documents/qix_node.h"

namespace keln {

class qia_global_t : public qix_node_t {
 public:
  qix_string_t skeleton;  // name of the skeleton the animation is for
  float total_time = 0.0f;
  std::uint32_t bone_channel_count = 0;    // as declared, not checked
  std::uint32_t custom_channel_count = 0;  // as declared, not checked
};

// One channel: every stream has exactly keyframe_count items, one per key.
class qia_channel_t : public qix_streamholder_t {
 public:
  qix_string_t name;  // for a bone channel, the animated bone's name
  std::uint32_t stream_count = 0;
  std::uint32_t keyframe_count = 0;
};

class qia_t : public qix_node_t {
 public:
  qix_header_t* header = nullptr;
  qia_global_t* global = nullptr;
  string_dyn file_name;
  array_dyn_t<qia_channel_t*> bone_channels;    // BoneChannel sections in document order
  array_dyn_t<qia_channel_t*> custom_channels;  // CustomChannel sections in document order
};

}  // namespace keln
