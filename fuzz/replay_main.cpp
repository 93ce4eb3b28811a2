// A fuzz target without libFuzzer: each file named, or each file in each
// folder named, is handed to the target once, as libFuzzer replays a
// corpus. Built with the tests, so every input kept (the seeds and each
// finding) is checked again by every build; a finding aborts with the
// input's name.
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

char replaying[4096];  // the input at hand, for the abort handler

extern "C" void tellInputAndAbort(int signal) {
  const char before[] = "fuzz replay: the finding came with ";
  ssize_t ignored = write(STDERR_FILENO, before, sizeof before - 1);
  ignored = write(STDERR_FILENO, replaying, std::strlen(replaying));
  ignored = write(STDERR_FILENO, "\n", 1);
  (void)ignored;
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

std::vector<std::filesystem::path> inputsOf(const std::vector<std::string>& names) {
  std::vector<std::filesystem::path> inputs;
  for (const std::string& name : names) {
    if (!std::filesystem::is_directory(name)) {
      inputs.emplace_back(name);
      continue;
    }
    for (const auto& entry : std::filesystem::directory_iterator(name))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

// The bytes in a block of their own size, as libFuzzer hands them over, so
// that a read past the end is caught by the sanitizers.
bool replay(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!file.good() && !file.eof()) return false;
  std::snprintf(replaying, sizeof replaying, "%s", path.c_str());
  std::unique_ptr<uint8_t[]> data(new uint8_t[bytes.size() + (bytes.empty() ? 1 : 0)]);
  std::copy(bytes.begin(), bytes.end(), data.get());
  LLVMFuzzerTestOneInput(data.get(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGABRT, tellInputAndAbort);
  std::signal(SIGSEGV, tellInputAndAbort);
  const std::vector<std::filesystem::path> inputs =
      inputsOf(std::vector<std::string>(argv + 1, argv + argc));
  for (const std::filesystem::path& input : inputs) {
    if (!replay(input)) {
      std::fprintf(stderr, "fuzz replay: cannot read %s\n", input.c_str());
      return 1;
    }
  }
  // No input at all is a corpus gone missing, not a pass.
  std::printf("fuzz replay: %zu inputs, no finding\n", inputs.size());
  return inputs.empty() ? 1 : 0;
}
