// The fixture of every test that plays the host: each test starts and ends
// with a host that holds nothing and a fresh card.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/fresh_state.h"

class FreshHostTest : public ::testing::Test {
 protected:
  void SetUp() override { fresh::resetHostAndCard(); }
  void TearDown() override { fresh::resetHostAndCard(); }
};
