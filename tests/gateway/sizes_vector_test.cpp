// The sizes vector: 38 rows of the record's sizes entries, signed except
// rows 15-18 and 23, with the set-up bit 0x2000 in row 23 and in the record.
#include <cstring>

#include "gateway_fixture.h"

namespace {

using namespace gateway_test;

class SizesVector : public GatewayTest {};

constexpr int kRows = 38;

bool isUnsignedRow(int k) {
  return (k >= 15 && k <= 18) || k == 23;
}

uint32_t entry(const SFcnSizes& sizes, int k) {
  uint32_t words[kRows];
  std::memcpy(words, &sizes, sizeof words);
  return words[k];
}

void setEntry(SFcnSizes* sizes, int k, uint32_t value) {
  uint32_t words[kRows];
  std::memcpy(words, sizes, sizeof words);
  words[k] = value;
  std::memcpy(sizes, words, sizeof words);
}

TEST_F(SizesVector, StandaloneCallReportsTheBlocksInterface) {
  const SetupOutcome outcome = callSetup(1, setupArgs(doubleScalar(0.0)));
  ASSERT_TRUE(outcome.returned) << outcome.error;
  struct Row {
    int k;
    double value;
  };
  const Row named[] = {{2, 0.0},        {3, 1.0},     {6, 1.0}, {7, 0.0},
                       {19, 5200229.0}, {23, 8192.0}, {31, 2.0}};  // 31: count declared by a hook
  for (int k = 0; k < kRows; ++k) {
    double expected = 0.0;
    for (const Row& row : named)
      if (row.k == k) expected = row.value;
    EXPECT_EQ(outcome.row(k), expected) << "row " << k;
  }
}

TEST_F(SizesVector, HostWordsKeepTheirSignedness) {
  SFcnRecord* record = host().record();
  // Every entry the block leaves alone holds a word with the top bit set.
  for (int k = 0; k < kRows; ++k) setEntry(&record->sizesBlock, k, 0x80000000u + k);
  setEntry(&record->sizesBlock, 14, 0xFFFFFFFFu);
  setEntry(&record->sizesBlock, 15, 0xFFFFFFFFu);
  setEntry(&record->sizesBlock, 23, 0);

  const SetupOutcome outcome = attach(record);
  ASSERT_TRUE(outcome.returned) << outcome.error;

  EXPECT_EQ(outcome.row(14), -1.0);
  EXPECT_EQ(outcome.row(15), 4294967295.0);
  EXPECT_EQ(outcome.row(16), 2147483648.0 + 16);
  EXPECT_EQ(outcome.row(0), -2147483648.0);
  EXPECT_EQ(outcome.row(23), 8192.0);
  EXPECT_EQ(record->sizesBlock.sizesFlags, 0x2000u);
  for (int k = 0; k < kRows; ++k) {
    const uint32_t word = entry(record->sizesBlock, k);
    const double expected = isUnsignedRow(k) ? static_cast<double>(word)
                                             : static_cast<double>(static_cast<int32_t>(word));
    EXPECT_EQ(outcome.row(k), expected) << "row " << k;
  }
}

TEST_F(SizesVector, SetupBitJoinsFlagsAlreadySet) {
  SFcnRecord* record = host().record();
  record->sizesBlock.sizesFlags = 0x80000001u;
  const SetupOutcome outcome = attach(record);
  ASSERT_TRUE(outcome.returned) << outcome.error;
  EXPECT_EQ(outcome.row(23), static_cast<double>(0x80002001u));
  EXPECT_EQ(record->sizesBlock.sizesFlags, 0x80002001u);
}

}  // namespace
