#include "rtw/rtw_writers.h"

#include <gtest/gtest.h>

#include "tests/rtw/hook_recorder.h"

namespace {

TEST_F(RtwWriterTest, LineGoesToTheLineHookUnexamined) {
  record.errorMessage = "earlier";
  EXPECT_EQ(ssWriteRTWLine(&record, "Block {"), 1);
  EXPECT_EQ(ssWriteRTWLine(&record, ""), 1);
  EXPECT_EQ(ssWriteRTWLine(&record, nullptr), 1);
  ASSERT_EQ(calls().size(), 3u);
  EXPECT_EQ(calls()[0].kind, HookKind::kLine);
  EXPECT_EQ(calls()[0].writerArg, &hooks);
  EXPECT_EQ(hooks.lines(), (std::vector<std::string>{"Block {", "", "<null>"}));
  EXPECT_STREQ(errorSlot(), "earlier");
}

TEST_F(RtwWriterTest, LineReturnsWhatTheHookReturns) {
  const int32_t results[] = {0, 2, -5};
  for (int i = 0; i < 3; ++i) hooks.resultAt(i, results[i]);
  for (int32_t expected : results) EXPECT_EQ(ssWriteRTWLine(&record, "x"), expected);
  EXPECT_EQ(errorSlot(), nullptr);
}

}  // namespace
