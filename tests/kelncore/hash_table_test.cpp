#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "kelncore/system/hash_key.h"
#include "kelncore/system/hash_ptr_table.h"

namespace keln {
namespace {

void* as_value(std::uintptr_t v) { return reinterpret_cast<void*>(v); }

TEST(hash_key, doubles_and_adds_each_byte_as_signed_wrapping_in_32_bits) {
  const std::string ones(40, '\x01');  // 2^40 - 1 before wrapping
  const std::pair<std::string, std::uint32_t> cases[] = {
      {"A", 65u}, {"AB", 196u}, {"\xE9", static_cast<std::uint32_t>(-23)}, {"\xE9" "A", 19u}, {"", 0u},
      {ones, 0xFFFFFFFFu}};
  for (const auto& [key, hash] : cases)
    EXPECT_EQ(hash_key(key.data(), static_cast<std::uint32_t>(key.size())), hash) << key;
}

TEST(vptrhash, keys_are_bytes_and_length_and_set_replaces) {
  vptrhash_t table;
  EXPECT_EQ(table.get("Hips", 4), nullptr);
  const char bytes[] = "arm\0arm";
  table.set(bytes, 3, as_value(1));
  table.set(bytes, 4, as_value(2));
  table.set(bytes, 0, as_value(3));
  table.set(bytes, 3, as_value(4));
  EXPECT_EQ(table.get(bytes, 3), as_value(4));
  EXPECT_EQ(table.get(bytes, 4), as_value(2));
  EXPECT_EQ(table.get("", 0), as_value(3));
  EXPECT_EQ(table.get("ar", 2), nullptr);
}

TEST(vptrhash, keys_that_always_collide_grow_it_to_the_largest_count_and_still_fit) {
  // 4x + 2y + z = 80 for every key, so each key lands in one bucket at every
  // count: from the fifth key on each insertion grows the table once.
  std::vector<std::string> keys;
  for (char i = 0; i < 20; ++i) keys.push_back(std::string{i, static_cast<char>(40 - 2 * i), 0});
  vptrhash_t table;
  for (std::size_t i = 0; i < keys.size(); ++i) table.set(keys[i].data(), 3, as_value(i + 1));
  EXPECT_EQ(table.bucket_count(), 65537u);
  for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(table.get(keys[i].data(), 3), as_value(i + 1));
}

}  // namespace
}  // namespace keln
