// Building keyframe motions from animation documents.
#include <cstring>

#include "documents/qia.h"
#include "documents/qix_load.h"
#include "documents/qix_stream.h"
#include "kelncore/fs/fs_types.h"
#include "kelncore/math/quat.h"
#include "kelncore/system/messages.h"
#include "velm/document_report.h"
#include "velm/skeletal_instance.h"

namespace keln::velm {

namespace {

// The channel's stream tag if it holds items of format; otherwise reports
// missing or wrong_format and gives null.
const qix_stream_t* typed_stream(const qia_channel_t& channel, const char* tag, std::uint32_t format,
                                 const char* missing, const char* wrong_format) {
  const qix_stream_t* stream = channel.find_stream(tag);
  if (stream == nullptr) {
    msg_error("%s", missing);
    return nullptr;
  }
  if (stream->format != format) {
    msg_error("%s", wrong_format);
    return nullptr;
  }
  return stream;
}

// Items of the stream that stand for keys: the channel's key count, or fewer
// when the stream holds fewer.
std::uint32_t key_items(const qia_channel_t& channel, const qix_stream_t& stream) {
  return channel.keyframe_count < stream.item_count ? channel.keyframe_count : stream.item_count;
}

// The duration of a channel: the sum, in float and in order, of its first
// K - 1 "_TIME" items (the time steps between consecutive keys; the last item
// is not used). K = 0 gives 0. Reports and returns false when the stream is
// missing or not of floats.
bool read_duration(const qia_channel_t& channel, float& duration) {
  const qix_stream_t* stream =
      typed_stream(channel, "_TIME", QIX_FORMAT_FLOAT, "unable to get time stream", "incompatible time format");
  if (stream == nullptr) return false;
  const std::uint32_t keys = key_items(channel, *stream);
  float sum = 0.0f;
  for (std::uint32_t k = 0; k + 1 < keys; ++k) {
    float step;
    std::memcpy(&step, stream->item(k), sizeof step);
    sum += step;
  }
  duration = sum;
  return true;
}

// Keeps each rotation in the hemisphere of the one before it, so that blending
// consecutive keys never passes near a zero quaternion.
void align_hemispheres(bone_channel_t& keys) {
  for (std::uint32_t k = 1; k < keys.size(); ++k) {
    quat_t negated = keys[k].rotation;
    quat_negate(negated);
    if (quat_distance(negated, keys[k - 1].rotation) < quat_distance(keys[k].rotation, keys[k - 1].rotation))
      keys[k].rotation = negated;
  }
}

// The keys of a channel, one bone_t per "_MATRIX" item. Reports and returns
// false (no keys) when the stream is missing or not of 4 x 4 matrices.
bool read_keys(const qia_channel_t& channel, bone_channel_t& keys) {
  const qix_stream_t* stream =
      typed_stream(channel, "_MATRIX", QIX_FORMAT_FLOAT4X4, "unable to get matrix stream", "incompatible matrix format");
  if (stream == nullptr) return false;
  const std::uint32_t count = key_items(channel, *stream);
  keys.reserve(count);
  for (std::uint32_t k = 0; k < count; ++k) {
    mat4_t matrix;
    std::memcpy(matrix.m, stream->item(k), sizeof matrix.m);
    keys.push_back(bone_t(matrix));
  }
  align_hemispheres(keys);
  return true;
}

}  // namespace

motion_t* skeletal_instance_t::load_motion(const char* path) {
  const qia_t* document = qia_load(path, FS_DEVICE_SYSTEM, *m_documents);
  if (!report_document_load(document != nullptr, path, banner_skeleton_animation, "animation")) return nullptr;
  motion_t* motion = new motion_t();
  const array_dyn_t<qia_channel_t*>& channels = document->bone_channels;
  motion->channels.resize(channels.size());
  for (std::uint32_t i = 0; i < channels.size(); ++i) {
    const qia_channel_t& source = *channels[i];
    bone_channel_t& channel = motion->channels[i];
    channel.bone = resolve_bone(source.name.c_str());
    // A failed step leaves duration 0: the channel then plays its first key.
    channel.duration = 0.0f;
    if (!read_duration(source, channel.duration)) msg_error("error processing the time channel: %zu", std::size_t{i});
    if (!read_keys(source, channel)) msg_error("error processing the matrix channel: %zu", std::size_t{i});
  }
  return motion;
}

}  // namespace keln::velm
