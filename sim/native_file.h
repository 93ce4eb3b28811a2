// The system's file calls for paths held as UTF-8, so any file name works:
// on Windows each path goes through the wide-character functions, never the
// ANSI code page; elsewhere the bytes pass through as they are.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace sim {

std::filesystem::path nativePath(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);

struct PathStatus {
  int error = 0;  // errno of the failed look-up; 0 when the path exists
  bool directory = false;
  bool regular = false;
  unsigned mode = 0;  // permission bits
};
PathStatus pathStatus(const std::string& path);

std::FILE* openFile(const std::string& path, const char* mode);
// open(2) with the binary flag on Windows; -1 and errno on failure.
int openDescriptor(const std::string& path, int flags, int mode);
bool removeFile(const std::string& path);
// Renames from over to; errno on failure.
bool replaceFile(const std::string& from, const std::string& to);

// The file a path reaches through symbolic links, followed one by one as
// open(2) would, even when the last one names a file not yet made. False
// with errno (ELOOP for a loop of links). Windows paths come back unchanged.
bool followLinks(const std::string& path, std::string& reached);

}  // namespace sim
