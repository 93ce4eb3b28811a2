// Where this program and its files are, and how a path is shown to the user.
#pragma once

#include <filesystem>
#include <string>

namespace sim {

// The folder this program runs from, as the system knows it, so a program
// found through PATH still finds its module; else argv[0]'s folder.
std::filesystem::path programFolder(const std::string& argv0);

// The module file built with this program, at builtRelative from the
// program's folder (a build does not record where its checkout lies) or, in
// a release kit, in the kit's module folder beside the program's.
std::string defaultModulePath(const std::string& argv0, const std::string& builtRelative);

// A path as the user would type it from here: relative when it lies below
// the current directory, in the system's own separators.
std::string shownPath(const std::string& path);

}  // namespace sim
