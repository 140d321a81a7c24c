#pragma once
// The fixed catalog of characters: for each character its name, the paths of
// its skeleton and geometry documents and its animations, in creation order.
// Paths are relative to the working directory and handed to the loaders as
// written. The viewer builds its characters from this table and the fitting
// tool measures every animation of it, so the table exists once.

#include <cstdint>
#include <iterator>

namespace keln::velm {

struct catalog_animation_t {
  const char* name;      // shown to the user; independent of the document's name
  const char* document;  // animation document (.qia)
  bool base;             // true: a base animation; false: a side animation
};

struct catalog_character_t {
  const char* name;
  const char* skeleton;  // skeleton document (.qis)
  const char* geometry;  // geometry document (.qim)
  const catalog_animation_t* animations;
  std::uint32_t animation_count;
};

inline constexpr catalog_animation_t catalog_hunter_animations[] = {
    {"RUN", "hunter/run.qia", true},
    {"WALK", "hunter/walk.qia", true},
    {"BACKWALK", "hunter/backwalk.qia", true},
    {"WAVE", "hunter/shake.qia", false},
    {"GREET", "hunter/binoc_hld.qia", false},
};

inline constexpr catalog_animation_t catalog_horse_animations[] = {
    {"WALK", "horse/walk.qia", true},
    {"GALLOP", "horse/gallop.qia", true},
    {"IDLE_SPECIAL", "horse/stand_idle.qia", true},
    {"GRAZING", "horse/grazing.qia", false},
    {"SHAKE", "horse/shake.qia", false},
};

inline constexpr catalog_animation_t catalog_elephant_animations[] = {
    {"WALK", "elephant/walk.qia", true},
    {"GALLOP", "elephant/gallop.qia", true},
    {"GRAZING", "elephant/grazing.qia", false},
    {"SHAKE", "elephant/shake.qia", false},
};

// The characters in creation order (the order of the viewer's model list).
inline constexpr catalog_character_t catalog_characters[] = {
    {"HUNTER", "hunter/hunter.qis", "hunter/hunter.qim", catalog_hunter_animations,
     static_cast<std::uint32_t>(std::size(catalog_hunter_animations))},
    {"HORSE", "horse/vehicle.qis", "horse/vehicle.qim", catalog_horse_animations,
     static_cast<std::uint32_t>(std::size(catalog_horse_animations))},
    {"ELEPHANT", "elephant/animal.qis", "elephant/animal.qim", catalog_elephant_animations,
     static_cast<std::uint32_t>(std::size(catalog_elephant_animations))},
};

inline constexpr std::uint32_t catalog_character_count = static_cast<std::uint32_t>(std::size(catalog_characters));

}  // namespace keln::velm
