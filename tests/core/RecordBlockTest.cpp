#include "core/RecordBlock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace quillon {
namespace {

FixRecord Written(std::int32_t sequence) {
  FixRecord r;
  r.sequence = sequence;
  r.altitude = 12.5;
  r.latitudeText.Assign("2503.1234");
  r.rmcSentence = TextSpan{77, 60};
  return r;
}

bool IsCleared(const FixRecord& r) {
  return r.sequence == 0 && r.altitude == 0.0 && r.latitudeText.View().empty() && r.rmcSentence.offset == 0 &&
         r.rmcSentence.length == 0;
}

// Records that grow back into memory that once held records are cleared as
// well as those in memory never written; the records kept are untouched.
TEST(RecordBlock, GrowingGivesClearedRecordsWhereverTheyLie) {
  RecordBlock block;
  block.resize(3);
  for (const FixRecord& r : block) EXPECT_TRUE(IsCleared(r));
  for (std::int32_t i = 0; i < 3; ++i) block[i] = Written(i + 1);
  block.resize(1);
  block.push_back(Written(9));
  block.resize(5);  // one slot written before, two never written
  ASSERT_EQ(block.size(), 5u);
  EXPECT_EQ(block[0].sequence, 1);
  EXPECT_EQ(block[1].sequence, 9);
  for (std::size_t i = 2; i < 5; ++i) EXPECT_TRUE(IsCleared(block[i])) << "record " << i;
  block.clear();
  block.resize(2);
  EXPECT_TRUE(IsCleared(block[0]));
  EXPECT_TRUE(IsCleared(block[1]));
}

// A copy is a block of its own: lists that stop sharing records rely on it.
TEST(RecordBlock, CopiesAndMovesKeepTheRecords) {
  RecordBlock block;
  for (std::int32_t i = 1; i <= 100; ++i) block.push_back(Written(i));
  RecordBlock copy = block;
  copy[0].sequence = -1;
  EXPECT_EQ(block[0].sequence, 1);
  ASSERT_EQ(copy.size(), 100u);
  EXPECT_EQ(copy[99].sequence, 100);
  EXPECT_EQ(copy[99].latitudeText.View(), "2503.1234");
  copy.resize(101);
  EXPECT_TRUE(IsCleared(copy[100]));
  RecordBlock moved = std::move(copy);
  EXPECT_EQ(moved.size(), 101u);
  EXPECT_TRUE(copy.empty());
  block = moved;
  EXPECT_EQ(block[0].sequence, -1);
  EXPECT_EQ(block.size(), 101u);
}

}  // namespace
}  // namespace quillon
