// Windows only: a UTF-8 path for the system's wide-character functions, so
// a module file of any name loads, whatever the ANSI code page.
#pragma once

#ifdef _WIN32
#include <string>

namespace standin {

std::wstring widePath(const char* utf8);
// The system's UTF-16 text as UTF-8, for messages.
std::string utf8Text(const wchar_t* wide, int length);

}  // namespace standin
#endif
