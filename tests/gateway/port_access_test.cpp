// The guarded port accessors: what they return, and the dialogs they show.
#include <climits>
#include <string>

#include "gateway_fixture.h"

namespace {

using expected::feedThroughOutOfRange;
using expected::portOutOfRange;
using expected::portUnconnected;

class PortAccessTest : public gateway_test::PortRecordTest {
 protected:
  void expectOneFatalDialog(const std::string& message) {
    ASSERT_EQ(standinDialogCount(), 1u);
    const StandinDialog dialog = standinDialog(0);
    EXPECT_EQ(std::string(dialog.message), message);
    EXPECT_STREQ(dialog.title, expected::kFatalTitle);
    EXPECT_STREQ(dialog.mode, expected::kFatalMode);
    EXPECT_EQ(hostInfo_.fatalErrorFlag, 1);
    EXPECT_EQ(standinBreachCount(), 0u);
  }

  void expectNothingReported() {
    EXPECT_EQ(standinDialogCount(), 0u);
    EXPECT_EQ(hostInfo_.fatalErrorFlag, 0);
    EXPECT_EQ(record_.errorMessage, nullptr);
  }
};

TEST_F(PortAccessTest, ConnectedPortReturnsItsSignalWithoutLookingAtFeedThrough) {
  const double signal[2] = {1.0, 2.0};
  setPortCount(3);
  ports_[2].signal = signal;
  ports_[2].directFeedThrough = 0;
  EXPECT_EQ(ssGetInputPortSignal(&record_, 2), signal);
  EXPECT_EQ(ssGetInputPortRealSignal(&record_, 2), signal);
  expectNothingReported();
}

struct OutOfRangeCase {
  int32_t count;
  int32_t port;
  const char* shownPort;
  const char* shownCount;
  const char* last;
};

// Both signal accessors, over ordinary and extreme numbers.
TEST_F(PortAccessTest, PortOutOfRangeShowsTheRangeAndReturnsNull) {
  const OutOfRangeCase cases[] = {
      {1, 1, "2", "1", "0"},
      {0, 0, "1", "0", "-1"},
      {3, -1, "0", "3", "2"},
      {1, INT32_MAX, "2147483648", "1", "0"},
      {1, INT32_MIN, "-2147483647", "1", "0"},
      {INT32_MAX, -1, "0", "2147483647", "2147483646"},
      {INT32_MIN, 0, "1", "-2147483648", "-2147483649"},
      {INT32_MIN, INT32_MAX, "2147483648", "-2147483648", "-2147483649"},
  };
  for (bool real : {false, true}) {
    for (const OutOfRangeCase& c : cases) {
      SCOPED_TRACE(std::string(real ? "real " : "") + "port " + std::to_string(c.port) + " of " +
                   std::to_string(c.count));
      fresh::resetHostAndCard();
      hostInfo_.fatalErrorFlag = 0;
      setPortCount(c.count);
      const void* result =
          real ? static_cast<const void*>(ssGetInputPortRealSignal(&record_, c.port))
               : ssGetInputPortSignal(&record_, c.port);
      EXPECT_EQ(result, nullptr);
      expectOneFatalDialog(
          portOutOfRange("twinvolts", "model/Analog Out", c.shownPort, c.shownCount, c.last));
      EXPECT_EQ(record_.errorMessage, nullptr);
    }
  }
}

TEST_F(PortAccessTest, UnconnectedPortShowsTheFeedThroughHintAndReturnsNull) {
  setPortCount(2);
  ports_[1].directFeedThrough = 1;
  EXPECT_EQ(ssGetInputPortRealSignal(&record_, 1), nullptr);
  expectOneFatalDialog(portUnconnected("twinvolts", "model/Analog Out", "2"));
  EXPECT_EQ(record_.errorMessage, nullptr);
}

TEST_F(PortAccessTest, LongNamesFitTheMessages) {
  const std::string name(300, 'n');
  const std::string path(5000, 'p');
  record_.sfcnName = name.c_str();
  record_.blockPath = path.c_str();
  setPortCount(INT32_MIN);
  ssGetInputPortSignal(&record_, INT32_MAX);
  ssSetInputPortDirectFeedThrough(&record_, INT32_MAX, 1);
  setPortCount(1);
  ssGetInputPortSignal(&record_, 0);
  ASSERT_EQ(standinDialogCount(), 3u);
  EXPECT_EQ(std::string(standinDialog(0).message),
            portOutOfRange(name, path, "2147483648", "-2147483648", "-2147483649"));
  EXPECT_EQ(std::string(standinDialog(1).message),
            feedThroughOutOfRange(name, path, "2147483648", "-2147483648", "-2147483649"));
  EXPECT_EQ(std::string(standinDialog(2).message), portUnconnected(name, path, "1"));
}

// A host record without names, or without host info, still gets its dialog.
TEST_F(PortAccessTest, RecordWithoutNamesOrHostInfoStillShowsTheDialog) {
  record_.sfcnName = nullptr;
  record_.blockPath = nullptr;
  ssGetInputPortSignal(&record_, 0);
  record_.hostInfo = nullptr;
  ssSetInputPortDirectFeedThrough(&record_, 1, 1);
  ASSERT_EQ(standinDialogCount(), 2u);
  EXPECT_EQ(std::string(standinDialog(0).message), portUnconnected("", "", "1"));
  EXPECT_EQ(std::string(standinDialog(1).message), feedThroughOutOfRange("", "", "2", "1", "0"));
  EXPECT_EQ(hostInfo_.fatalErrorFlag, 1);
}

TEST_F(PortAccessTest, FeedThroughSetterStoresTheFlagOfAValidPort) {
  setPortCount(3);
  ssSetInputPortDirectFeedThrough(&record_, 0, 1);
  ssSetInputPortDirectFeedThrough(&record_, 2, 7);
  EXPECT_EQ(ports_[0].directFeedThrough, 1);
  EXPECT_EQ(ports_[1].directFeedThrough, 0);
  EXPECT_EQ(ports_[2].directFeedThrough, 7);
  ssSetInputPortDirectFeedThrough(&record_, 2, 0);
  EXPECT_EQ(ports_[2].directFeedThrough, 0);
  expectNothingReported();
}

TEST_F(PortAccessTest, FeedThroughSetterRefusesAnInvalidPortWithADialog) {
  const OutOfRangeCase cases[] = {
      {1, -1, "0", "1", "0"},
      {1, 1, "2", "1", "0"},
      {0, 0, "1", "0", "-1"},
      {1, INT32_MAX, "2147483648", "1", "0"},
      {1, INT32_MIN, "-2147483647", "1", "0"},
      {INT32_MAX, -1, "0", "2147483647", "2147483646"},
      // Where the range's number alone takes 11 characters.
      {INT32_MIN, 0, "1", "-2147483648", "-2147483649"},
      {-100000000, 5, "6", "-100000000", "-100000001"},
  };
  for (const OutOfRangeCase& c : cases) {
    SCOPED_TRACE("port " + std::to_string(c.port) + " of " + std::to_string(c.count));
    fresh::resetHostAndCard();
    hostInfo_.fatalErrorFlag = 0;
    for (InputPortInfo& port : ports_) port.directFeedThrough = 5;
    setPortCount(c.count);
    ssSetInputPortDirectFeedThrough(&record_, c.port, 1);
    for (const InputPortInfo& port : ports_) EXPECT_EQ(port.directFeedThrough, 5);
    expectOneFatalDialog(
        feedThroughOutOfRange("twinvolts", "model/Analog Out", c.shownPort, c.shownCount, c.last));
    EXPECT_EQ(record_.errorMessage, nullptr);
  }
}

using FatalErrorTest = FreshHostTest;

TEST_F(FatalErrorTest, ShowsAModalErrorDialogTitledFatalError) {
  showFatalError(nullptr, "Something broke.\nBadly.");
  ASSERT_EQ(standinDialogCount(), 1u);
  EXPECT_STREQ(standinDialog(0).message, "Something broke.\nBadly.");
  EXPECT_STREQ(standinDialog(0).title, expected::kFatalTitle);
  EXPECT_STREQ(standinDialog(0).mode, expected::kFatalMode);
  EXPECT_EQ(standinBreachCount(), 0u);
}

}  // namespace
