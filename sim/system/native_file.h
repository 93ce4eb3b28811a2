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
  bool fifo = false;
  unsigned mode = 0;   // permission bits
  unsigned links = 1;  // names of the file (hard links)
};
PathStatus pathStatus(const std::string& path);

std::FILE* openFile(const std::string& path, const char* mode);
// A new file for reading and writing that no name leads to and that is
// gone once closed, even when the program is killed.
std::FILE* anonymousTemporary();
// An existing file or device for writing, neither made nor truncated.
std::FILE* openExisting(const std::string& path);
// open(2) with the binary flag on Windows; -1 and errno on failure.
int openDescriptor(const std::string& path, int flags, int mode);
bool removeFile(const std::string& path);
// A new file, made only if the name is free, open for writing. On Linux it
// holds a lock while open, so another run can tell it is in use; on Windows
// nobody else may delete it while open, and handle (opened with the right
// to delete) is set. -1 and errno on failure.
int createExclusive(const std::string& path, void*& handle);
// Removes a temporary left by a run that ended without removing it (killed),
// and nothing in use: on Linux only a file of this user's whose lock is free
// and whose maker, process pid, is gone; on Windows one nobody has open.
void removeIfAbandoned(const std::string& path, long pid);
// N when the path names the program's own open descriptor N, as /dev/stdout,
// /dev/stderr, /dev/fd/N and /proc/self/fd/N do (through links too); else -1.
// Opening such a name again would truncate the file behind `>>`.
int streamDescriptor(const std::string& path);
// 1 or 2 when the regular file at path is the one standard output or
// standard error already writes (`--trace log >> log`); else -1.
int standardStreamWriting(const std::string& path);
// The device a Windows name such as NUL or CON (in any folder, any case)
// stands for, as a path to open ("CONOUT$" for CON); empty for other names,
// and always on Linux.
std::string windowsDevice(const std::string& path);
// Renames from over to; errno on failure.
bool replaceFile(const std::string& from, const std::string& to);

// The file a path reaches through symbolic links, followed one by one as
// open(2) would, even when the last one names a file not yet made. False
// with errno (ELOOP for a loop of links). Windows paths come back unchanged.
bool followLinks(const std::string& path, std::string& reached);

}  // namespace sim
