// Entry of the end-to-end test programs: GoogleTest plus the paths of the
// files under test, which differ per build.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "tests/e2e/test_arguments.h"

namespace e2e {
namespace {

std::map<std::string, std::string>& arguments() {
  static std::map<std::string, std::string> values;
  return values;
}

// False when an argument is not of the form --name=value or --name value.
bool parseArguments(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* text = argv[i];
    if (std::strncmp(text, "--", 2) != 0 || text[2] == '\0') return false;
    const char* equals = std::strchr(text, '=');
    if (equals != nullptr) {
      arguments()[std::string(text + 2, equals)] = equals + 1;
    } else if (i + 1 < argc) {
      arguments()[text + 2] = argv[++i];
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

const std::string& testArgument(const std::string& name) {
  static const std::string none;
  auto found = arguments().find(name);
  return found == arguments().end() ? none : found->second;
}

}  // namespace e2e

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!e2e::parseArguments(argc, argv)) {
    std::fprintf(stderr, "usage: %s [gtest flags] --module PATH [--name VALUE ...]\n", argv[0]);
    return 2;
  }
  if (e2e::testArgument("module").empty()) {
    std::fprintf(stderr, "%s: no module file given (--module PATH)\n", argv[0]);
    return 2;
  }
  return RUN_ALL_TESTS();
}
