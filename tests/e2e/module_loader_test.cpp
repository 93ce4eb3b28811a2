// The stand-in host's loader on real files: the built module, a library
// without an entry point, and files no loader accepts, in a program that
// holds the host's stand-ins and nothing else.
#include "standin_host/module_loader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/test_arguments.h"

namespace {

namespace fs = std::filesystem;

std::string messageFor(StandinLoadStatus expected, const std::string& path,
                       const std::string& detail = "") {
  switch (expected) {
    case STANDIN_LOAD_NO_FILE:
      return "cannot load module '" + path + "': no such file";
    case STANDIN_LOAD_UNLOADABLE:
      return "cannot load module '" + path + "': not a loadable library (" + detail;
    default:
      return "cannot load module '" + path + "': it exports no mexFunction";
  }
}

void HOST_CALL notAnEntry(int, mxArray**, int, const mxArray**) {}

class ModuleLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(message_, 'x', sizeof message_);
    module_.handle = &module_;  // a failed load must zero what it was given
    module_.mexFunction = notAnEntry;
  }
  void TearDown() override { standinUnloadModule(&module_); }

  StandinLoadStatus load(const std::string& path) {
    return standinLoadModule(path.c_str(), &module_, message_, sizeof message_);
  }

  void expectNothingLoaded() const {
    EXPECT_EQ(module_.handle, nullptr);
    EXPECT_EQ(module_.mexFunction, nullptr);
  }

  // A scratch file of this test, written with the given bytes.
  static std::string scratchFile(const std::string& name, const std::string& bytes) {
    const std::string path = ::testing::TempDir() + "e2e_loader_" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  StandinModule module_{};
  char message_[STANDIN_LOAD_MESSAGE_SIZE];
};

TEST_F(ModuleLoaderTest, LoadsTheModuleFileAndFindsItsEntryPoint) {
  const std::string& path = e2e::testArgument("module");
  ASSERT_EQ(load(path), STANDIN_LOAD_OK) << message_;
  EXPECT_NE(module_.handle, nullptr);
  EXPECT_NE(module_.mexFunction, nullptr);
  EXPECT_STREQ(message_, "");
  EXPECT_EQ(reinterpret_cast<void*>(module_.mexFunction),
            standinModuleSymbol(&module_, "mexFunction"));

  standinUnloadModule(&module_);
  expectNothingLoaded();
  standinUnloadModule(&module_);  // a second unload of a zeroed module is harmless
  expectNothingLoaded();
}

TEST_F(ModuleLoaderTest, LoadsABareFileNameFromTheCurrentDirectory) {
  const fs::path module = fs::absolute(e2e::testArgument("module"));
  const fs::path previous = fs::current_path();
  fs::current_path(module.parent_path());
  const StandinLoadStatus status = load(module.filename().string());
  fs::current_path(previous);
  EXPECT_EQ(status, STANDIN_LOAD_OK) << message_;
}

TEST_F(ModuleLoaderTest, NamesEachReasonAFileCannotBeUsed) {
  const std::string missing = ::testing::TempDir() + "e2e_loader_no_such.mexa64";
  const std::string text = scratchFile("text.mexa64", "not a library\n");
  const std::string empty = scratchFile("empty.mexa64", "");
  const std::string directory = ::testing::TempDir();
  const std::string& noEntry = e2e::testArgument("no-entry");
  ASSERT_FALSE(noEntry.empty()) << "no --no-entry library given";

  struct Case {
    const char* what;
    std::string path;
    StandinLoadStatus status;
    std::string detail;
  };
  const Case cases[] = {
      {"missing file", missing, STANDIN_LOAD_NO_FILE, ""},
      {"text file", text, STANDIN_LOAD_UNLOADABLE, ""},
      {"empty file", empty, STANDIN_LOAD_UNLOADABLE, ""},
      {"directory", directory, STANDIN_LOAD_UNLOADABLE, "a directory)"},
      {"entry only in a dependency", noEntry, STANDIN_LOAD_NO_ENTRY, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    EXPECT_EQ(load(c.path), c.status);
    const std::string expected = messageFor(c.status, c.path, c.detail);
    if (c.status == STANDIN_LOAD_UNLOADABLE) {
      // The system loader's own words follow; they differ between systems.
      EXPECT_EQ(std::string(message_).substr(0, expected.size()), expected);
      EXPECT_EQ(std::string(message_).back(), ')');
    } else {
      EXPECT_EQ(message_, expected);
    }
    expectNothingLoaded();
  }
}

// The program holds only the host's stand-ins: the module file's driver
// library is found by its name, as a host finds the real driver, or the file
// is refused and the library named. The test's command says which (--driver).
TEST_F(ModuleLoaderTest, LoadsTheModuleOnlyWhereItsDriverLibraryIsFound) {
  struct Case {
    const char* driver;
    StandinLoadStatus status;
    std::string message;
  };
  const std::string& path = e2e::testArgument("module");
  const Case cases[] = {
      {"found", STANDIN_LOAD_OK, ""},
      {"missing", STANDIN_LOAD_UNLOADABLE,
       messageFor(STANDIN_LOAD_UNLOADABLE, path) +
           "libnidaqmx.so: cannot open shared object file: No such file or directory)"},
  };
  const std::string& driver = e2e::testArgument("driver");
  int matched = 0;
  for (const Case& c : cases) {
    if (driver != c.driver) continue;
    ++matched;
    EXPECT_EQ(load(path), c.status);
    EXPECT_EQ(message_, c.message);
  }
  EXPECT_EQ(matched, 1) << "--driver must be found or missing, not '" << driver << "'";
}

TEST_F(ModuleLoaderTest, RefusesAMissingPath) {
  for (const char* path : {static_cast<const char*>(nullptr), ""}) {
    SetUp();
    EXPECT_EQ(standinLoadModule(path, &module_, message_, sizeof message_), STANDIN_LOAD_NO_FILE);
    EXPECT_STREQ(message_, "cannot load module: no path given");
    expectNothingLoaded();
  }
}

TEST_F(ModuleLoaderTest, CutsALongMessageToTheBufferAndTerminatesIt) {
  const std::string missing = "/no/such/dir/" + std::string(600, 'a') + ".mexa64";
  char small[16];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(standinLoadModule(missing.c_str(), &module_, small, sizeof small),
            STANDIN_LOAD_NO_FILE);
  EXPECT_STREQ(small, "cannot load mod");

  EXPECT_EQ(load(missing), STANDIN_LOAD_NO_FILE);
  EXPECT_EQ(std::strlen(message_), sizeof message_ - 1);

  // No buffer at all is allowed too.
  EXPECT_EQ(standinLoadModule(missing.c_str(), &module_, nullptr, 0), STANDIN_LOAD_NO_FILE);
  expectNothingLoaded();
}

TEST_F(ModuleLoaderTest, FindsOnlySymbolsOfTheFileItself) {
  ASSERT_EQ(load(e2e::testArgument("module")), STANDIN_LOAD_OK) << message_;
  // The host's functions are reachable from the module but are not its own.
  EXPECT_EQ(standinModuleSymbol(&module_, "mxGetPr"), nullptr);
  EXPECT_EQ(standinModuleSymbol(&module_, "no_such_symbol"), nullptr);
  EXPECT_EQ(standinModuleSymbol(&module_, nullptr), nullptr);
  EXPECT_EQ(standinModuleSymbol(nullptr, "mexFunction"), nullptr);
}

}  // namespace
