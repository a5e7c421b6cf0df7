#include "engine/text_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace voziroz {
namespace {

std::string_view TextAt(const TextPool& pool, std::uint32_t reference, std::size_t size) {
  return {pool.Data(reference), size};
}

TEST(TextPool, TextsStayWhereTheyAreWhileThePoolGrows) {
  TextPool pool;
  std::vector<std::pair<std::uint32_t, std::string>> stored;
  for (int i = 0; i < 400000; ++i) {  // about 5 MB: several blocks and windows
    std::string text =
        "text " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 7), '.');
    stored.emplace_back(pool.Add(text), text);
  }
  for (const auto& [reference, text] : stored)
    ASSERT_EQ(TextAt(pool, reference, text.size()), text) << reference;
}

TEST(TextPool, TextLongerThanAWindowIsContiguousAndLaterTextsFollow) {
  TextPool pool;
  const std::uint32_t before = pool.Add("before");
  std::string big(TextPool::kWindowBytes * 2 + 12345, 'x');
  big.back() = 'y';
  const std::uint32_t big_reference = pool.Add(big);
  const std::uint32_t after = pool.Add("after");
  EXPECT_EQ(TextAt(pool, before, 6), "before");
  EXPECT_EQ(TextAt(pool, big_reference, big.size()), big);
  EXPECT_EQ(TextAt(pool, after, 5), "after");
  EXPECT_GT(after, big_reference + big.size() - 1);
}

TEST(TextPool, ReservationBeyondFourGibibytesFailsAndChangesNothing) {
  TextPool pool;
  const std::uint32_t kept = pool.Add("kept");
  for (std::size_t bytes : {std::size_t{1} << 32, (std::size_t{5} << 30) + 1}) {
    try {
      pool.Reserve(bytes);
      ADD_FAILURE() << bytes << " bytes were reserved";
    } catch (const std::length_error& error) {
      EXPECT_STREQ(error.what(), "a table's text pool is limited to 4 GiB");
    }
  }
  EXPECT_EQ(TextAt(pool, kept, 4), "kept");
  EXPECT_EQ(TextAt(pool, pool.Add("next"), 4), "next");
}

TEST(TextPool, CopyHoldsTheSameTextsUnderTheSameReferences) {
  TextPool pool;
  std::vector<std::pair<std::uint32_t, std::string>> stored;
  for (int i = 0; i < 20000; ++i) {
    std::string text(static_cast<std::size_t>(1 + i % 300), static_cast<char>('a' + i % 26));
    stored.emplace_back(pool.Add(text), text);
  }
  TextPool copy = pool;
  pool.Clear();
  pool.Add("overwrites nothing in the copy");
  for (const auto& [reference, text] : stored)
    ASSERT_EQ(TextAt(copy, reference, text.size()), text);
  EXPECT_EQ(TextAt(copy, copy.Add("more"), 4), "more");
}

TEST(TextPool, SharedTextIsStoredOnceAndNeverConfusedWithAnother) {
  TextPool pool;
  const std::uint32_t u = pool.AddShared("U");
  const std::uint32_t key = pool.AddShared("00000000");
  EXPECT_EQ(pool.AddShared("U"), u);
  EXPECT_EQ(pool.AddShared("00000000"), key);
  // Texts that differ in one byte anywhere, or only in size, each keep their own copy.
  const std::string_view distinct[] = {"a",        "aa",       "aaa",
                                       "b",        "ab",       "ba",
                                       "abc",      "abd",      "xbc",
                                       "abcd",     "abce",     "abcde",
                                       "abXde",    "abcdf",    "abcdefg",
                                       "abcdefh",  "abcdefgh", "abcdefgi",
                                       "Xbcdefgh", "abcXefgh", std::string_view("a\0", 2)};
  std::vector<std::uint32_t> references;
  for (std::string_view text : distinct) {
    references.push_back(pool.AddShared(text));
    EXPECT_EQ(pool.AddShared(text), references.back()) << text;
  }
  for (std::size_t k = 0; k < std::size(distinct); ++k)
    EXPECT_EQ(TextAt(pool, references[k], distinct[k].size()), distinct[k]);
  const std::string longer(TextPool::kSharedBytes + 1, 'x');
  EXPECT_NE(pool.AddShared(longer), pool.AddShared(longer)) << "only short texts are shared";
  EXPECT_EQ(TextAt(pool, u, 1), "U");
}

TEST(TextPool, SharedTextsPushedOutOfTheirSlotStayReadable) {
  TextPool pool;
  std::vector<std::pair<std::uint32_t, std::string>> stored;
  for (int i = 0; i < 50000; ++i) {  // far more texts than slots
    std::string text = std::to_string(i * 7919 % 100000);
    stored.emplace_back(pool.AddShared(text), text);
  }
  for (const auto& [reference, text] : stored)
    ASSERT_EQ(TextAt(pool, reference, text.size()), text);
}

}  // namespace
}  // namespace voziroz
