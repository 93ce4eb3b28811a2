#include "services/services.h"

#include <gtest/gtest.h>

#include <string>

#include "standin_host/host_calls.h"
#include "standin_host/host_record.h"
#include "tests/support/fresh_host_test.h"

namespace {

class BlockWarningTest : public FreshHostTest {
 protected:
  static std::string warnings() {
    std::string all;
    for (size_t i = 0; i < standinWarningCount(); ++i) all += std::string(standinWarning(i)) + "\n";
    return all;
  }
};

struct WarningCase {
  const char* name;
  const char* blockPath;  // null: a record without a path
  const char* message;
  const char* shown;
};

// Texts that look like formats must come through literally.
const WarningCase kWarningCases[] = {
    {"prefixed", "m/B", "Hello", "block 'm/B': Hello"},
    {"no path", nullptr, "Hello", "Hello"},
    {"module name as path", "twinvolts", "Hello", "block 'twinvolts': Hello"},
    {"empty message", "m/B", "", "block 'm/B': "},
    {"empty path", "", "Hello", "block '': Hello"},
    {"percent in message", "m/B", "100% %s %d done", "block 'm/B': 100% %s %d done"},
    {"percent in path", "m/%s", "Hello", "block 'm/%s': Hello"},
    {"percent without path", nullptr, "50% %n", "50% %n"},
};

TEST_F(BlockWarningTest, ShowsMessageWithBlockPathPrefix) {
  for (const WarningCase& c : kWarningCases) {
    SCOPED_TRACE(c.name);
    standinReset();
    SFcnRecord record{};
    record.sfcnName = "twinvolts";
    record.blockPath = c.blockPath;
    ssWarnWithBlockPath(&record, c.message);
    ASSERT_EQ(standinWarningCount(), 1u);
    EXPECT_STREQ(standinWarning(0), c.shown);
  }
}

TEST_F(BlockWarningTest, PrefixIsSizedForLongPathsAndMessages) {
  const std::string path(3000, 'p');
  const std::string message(5000, 'm');
  SFcnRecord* record = standinNewHostRecord("twinvolts", path.c_str());
  ssWarnWithBlockPath(record, message.c_str());
  standinFreeHostRecord(record);
  ASSERT_EQ(standinWarningCount(), 1u);
  EXPECT_EQ(standinWarning(0), "block '" + path + "': " + message);
}

TEST_F(BlockWarningTest, NamesTheBlockByPathNotByName) {
  SFcnRecord* record = standinNewHostRecord("twinvolts", "model/sub/Out");
  ssWarnWithBlockPath(record, "careful");
  ssWarnWithBlockPath(record, "careful");
  standinFreeHostRecord(record);
  EXPECT_EQ(warnings(), "block 'model/sub/Out': careful\nblock 'model/sub/Out': careful\n");
}

TEST_F(BlockWarningTest, LeavesErrorSlotsAlone) {
  SFcnRecord* record = standinNewHostRecord("twinvolts", "m/B");
  ssWarnWithBlockPath(record, "Hello");
  EXPECT_EQ(record->errorMessage, nullptr);
  EXPECT_EQ(record->hostInfo->fatalErrorFlag, 0);
  EXPECT_EQ(record->rootRecord, record);
  EXPECT_EQ(standinDialogCount(), 0u);
  standinFreeHostRecord(record);
}

}  // namespace
