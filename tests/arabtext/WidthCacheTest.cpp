#include "arabtext/WidthCache.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "arabtext/BoundedCache.h"

namespace kestrix::arabtext {
namespace {

int32_t Lookup(WidthCache& cache, uint32_t font, const std::string& key) {
  int32_t width = -1;
  return cache.Find(font, 0, key, width) ? width : -1;
}

void Put(WidthCache& cache, uint32_t font, const std::string& key, int32_t width) {
  cache.Insert(font, 0, key, width);
}

TEST(WidthCache, KeepsEntriesApartByFontAndBytes) {
  WidthCache cache(64);
  Put(cache, 1, "abc", 10);
  Put(cache, 2, "abc", 20);
  Put(cache, 1, "abd", 30);
  EXPECT_EQ(Lookup(cache, 1, "abc"), 10);
  EXPECT_EQ(Lookup(cache, 2, "abc"), 20);
  EXPECT_EQ(Lookup(cache, 1, "abd"), 30);
  EXPECT_EQ(Lookup(cache, 1, "ab"), -1);
  Put(cache, 1, std::string(WidthCache::kMaxKeyBytes + 1, 'x'), 5);  // too long: not kept
  EXPECT_EQ(Lookup(cache, 1, std::string(WidthCache::kMaxKeyBytes + 1, 'x')), -1);
}

TEST(WidthCache, StaysBoundedAndKeepsWhatIsInUse) {
  WidthCache cache(64);
  Put(cache, 1, "hot", 7);
  for (int i = 0; i < 10000; ++i) {
    Put(cache, 1, std::to_string(i), i);
    if (i % 16 == 0) {
      EXPECT_EQ(Lookup(cache, 1, "hot"), 7);
    }
    EXPECT_LE(cache.Size(), 64u);
  }
  EXPECT_EQ(Lookup(cache, 1, "9999"), 9999);
  EXPECT_EQ(Lookup(cache, 1, "5"), -1);  // long gone
}

// Words grown a byte at a time, as a line laid out letter by letter asks for them, in two
// fonts and slots, while the tables retire under them: whatever the cache answers is the
// width last put under that font, slot and key, and a key just put is always found.
TEST(WidthCache, GrowingKeysAnswerOnlyTheirOwnWidths) {
  WidthCache cache(256);
  std::map<std::tuple<uint32_t, uint8_t, std::string>, int32_t> truth;
  uint32_t seed = 5;
  auto next = [&](uint32_t range) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % range;
  };
  int found = 0;
  for (int word = 0; word < 4000; ++word) {
    const uint32_t font = 1 + next(2);
    const auto slot = static_cast<uint8_t>(next(2));
    // Few letters, so that words share their starts and grown keys differ in one byte.
    std::string key(1, static_cast<char>('a' + next(3)));
    const size_t length = 2 + next(WidthCache::kMaxKeyBytes - 1);
    while (key.size() < length) {
      key.push_back(static_cast<char>('a' + next(3)));
      int32_t width = -1;
      const auto known = truth.find({font, slot, key});
      if (cache.Find(font, slot, key, width)) {
        ASSERT_NE(known, truth.end()) << key;
        ASSERT_EQ(width, known->second) << key << " font " << font << " slot " << int{slot};
        ++found;
        continue;
      }
      // A new width now and then for a key already known, which the next answer must give.
      const int32_t fresh = static_cast<int32_t>(next(100000));
      truth[{font, slot, key}] = fresh;
      cache.Insert(font, slot, key, fresh);
      ASSERT_TRUE(cache.Find(font, slot, key, width));
      ASSERT_EQ(width, fresh);
    }
  }
  EXPECT_GT(found, 1000);
}

TEST(BoundedCache, HoldsAtMostTwiceItsCapacity) {
  BoundedCache<int, int, std::hash<int>, std::equal_to<>> cache(8);
  for (int i = 0; i < 100; ++i) {
    cache.Insert(i, i * 2);
    EXPECT_LE(cache.Size(), 16u);
  }
  ASSERT_NE(cache.Find(99), nullptr);
  EXPECT_EQ(*cache.Find(99), 198);
  EXPECT_EQ(cache.Find(3), nullptr);
}

}  // namespace
}  // namespace kestrix::arabtext
