#pragma once
// Whole-file reads and writes. Every function returns 0 or the errno value of the call that failed.

#include <string>
#include <string_view>

namespace platform {

// Appends the bytes with one write per call (O_APPEND), creating the file 0600 when missing.
int AppendFile(const std::string& path, std::string_view bytes);
// Creates or empties the file (0600 when new) and writes the bytes.
int WriteFileTruncate(const std::string& path, std::string_view bytes);
// Replaces the file atomically: temporary file (path + ".XXXXXX") in the same folder, write, fsync,
// rename, fsync of the folder. The file is 0600. A symbolic link at path stays: the file it points to is
// replaced, beside itself. On failure the old file is untouched and failedCall names the call.
int ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* failedCall = nullptr);
// Reads the whole of a regular file (through links), never waiting for a writer: anything else (a
// FIFO, a device) gives EINVAL, a file larger than maxBytes EFBIG.
constexpr size_t kReadLimit = size_t{1} << 30;
int ReadFile(const std::string& path, std::string& out, size_t maxBytes = kReadLimit);
int RenameFile(const std::string& from, const std::string& to);
// Renames only when nothing is at to (EEXIST otherwise), with no window in which another rename could
// slip in.
int RenameNoReplace(const std::string& from, const std::string& to);
// The regular file that path's symbolic links lead to; path itself when it is no link or the links end
// anywhere else (nothing, a device, a FIFO).
std::string RegularFileBehindLinks(const std::string& path);
// Removes the temporary files that ReplaceFileAtomically left for path when it was stopped half-way
// (a kill during a save): regular files named path + "." and six letters or digits. Returns how many.
int RemoveLeftTemporaries(const std::string& path);

}  // namespace platform
