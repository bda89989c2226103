#include "arabtext/WidthCache.h"

#include <gtest/gtest.h>

#include <string>

#include "arabtext/BoundedCache.h"

namespace arabtext {
namespace {

int32_t Lookup(WidthCache& cache, uint32_t font, const std::string& key) {
  int32_t width = -1;
  return cache.Find(font, 0, key, WidthCache::Hash(font, 0, key), width) ? width : -1;
}

void Put(WidthCache& cache, uint32_t font, const std::string& key, int32_t width) {
  cache.Insert(font, 0, key, WidthCache::Hash(font, 0, key), width);
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
}  // namespace arabtext
