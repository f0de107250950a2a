#pragma once
// The file-system calls safe saving needs, one file per platform.
#include <cstdio>
#include <string>

// Creates `path` for writing only if no file has that name; `taken` says the name was in use.
FILE* createNewFile(const std::string& path, bool* taken);
// Gives the new file the permissions the file it replaces had, where the platform has them.
void keepPermissions(const std::string& target, const std::string& temporary);
// Moves `from` over `to` in one step; false leaves `to` as it was.
bool replaceFile(const std::string& from, const std::string& to);
