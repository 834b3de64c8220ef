#pragma once
// Whole-file reads and writes. Every function returns 0 or the errno value of the call that failed.

#include <string>
#include <string_view>

namespace platform {

// Appends the bytes with one write per call (O_APPEND), creating the file 0600 when missing.
int AppendFile(const std::string& path, std::string_view bytes);
// Creates or empties the file (0600 when new) and writes the bytes.
int WriteFileTruncate(const std::string& path, std::string_view bytes);
// Replaces the file atomically: temporary file in the same folder, write, fsync, rename, fsync of the
// folder. The file is 0600. On failure the old file is untouched and failedCall names the call.
int ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* failedCall = nullptr);
// Reads the whole file.
int ReadFile(const std::string& path, std::string& out);
int RenameFile(const std::string& from, const std::string& to);

}  // namespace platform
