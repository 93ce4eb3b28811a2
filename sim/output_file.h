// An output of the program (trace, plot), opened before the run so that a bad
// path is found before any work, and never left half-written: a regular file
// is written to a temporary beside it (beside the file a link names) and
// renamed over it when complete, keeping its permission bits; a
// device, a pipe or standard output ("-") is written directly. A file the
// user may not write, or one whose folder takes no temporary, is refused
// and left as it was.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace sim {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // removes an unfinished temporary
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool open(const std::string& path, std::string& error);
  bool isOpen() const { return file_ != nullptr; }
  bool isStandardOutput() const { return path_ == "-"; }
  // Remembers the first failure; finish() reports it.
  void write(std::string_view text);
  // Flushes and closes, then puts the file in place. One line on failure.
  bool finish(std::string& error);
  // Drops the temporary; the path keeps what it had.
  void discard();

 private:
  std::string path_;
  std::string target_;     // path_, or the file a link at path_ names
  std::string temporary_;  // empty when written directly
  std::FILE* file_ = nullptr;
  int firstErrno_ = 0;
};

}  // namespace sim
