#pragma once
// Files named by UTF-8 paths, the same way on every platform (Windows takes them through its
// wide-character calls; elsewhere they pass through unchanged). Failures set errno.
// platform/linux/ and platform/win32/ implement it; the build compiles one.
#include <cstdio>

namespace velmora_base {

// fopen with a UTF-8 path; null on failure.
std::FILE* OpenFile(const char* path, const char* mode);
// A file that must not exist yet, opened for binary writing; null on failure (errno EEXIST when
// the name is taken).
std::FILE* CreateNewFile(const char* path);
// Renames from to to, replacing an existing to in one step.
bool RenameOver(const char* from, const char* to);
bool RemoveFile(const char* path);
// The running process's id, for names no other process picks at the same time.
long ProcessId();

}  // namespace velmora_base
