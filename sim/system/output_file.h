// An output of the program (trace, plot), opened before the run so that a bad
// path is found before any work. Streams are written as streams, files as
// files, as the shell does:
// - a terminal, a pipe, a FIFO or a device, and a name for one of the
//   program's own open streams ("-", /dev/stdout, /dev/fd/N; NUL and CON on
//   Windows), are written in place, in order, never replaced;
// - a regular file is never left half-written: the output goes to a
//   temporary beside it (beside the file a link names) and is renamed over
//   it when complete, keeping its permission bits; a file with other hard
//   links gets the complete output copied into it, so every name sees it.
// A file the user may not write, or one whose folder takes no temporary, is
// refused and left as it was.
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
  // Written through the program's standard output: the summary goes elsewhere.
  bool isStandardOutput() const { return standardOutput_; }
  bool isTerminal() const { return terminal_; }
  // Written in place, so what is written stays written.
  bool isStream() const { return file_ != nullptr && temporary_.empty(); }
  // Remembers the first failure; finish() reports it.
  void write(std::string_view text);
  // Flushes and closes, then puts the file in place. One line on failure.
  bool finish(std::string& error);
  // Drops the temporary; the path keeps what it had.
  void discard();

 private:
  bool openStream(int descriptor, std::string& error);
  bool openDevice(const std::string& device, std::string& error);
  bool openFifo(std::string& error);
  bool openTemporary(bool exists, unsigned mode, std::string& error);
  bool putInPlace();
  bool streamOpened(std::string& error);
  void noteStream();
  void forgetHandle();
  std::string failure(const std::string& reasonText) const;

  std::string path_;
  std::string target_;     // path_, or the file a link at path_ names
  std::string temporary_;  // empty when written in place
  std::FILE* file_ = nullptr;
  void* handle_ = nullptr;  // the temporary's, on Windows
  bool ownsFile_ = true;    // false for the program's standard streams
  bool standardOutput_ = false;
  bool terminal_ = false;
  bool copyInPlace_ = false;  // a file with other hard links
  int firstErrno_ = 0;
};

}  // namespace sim
