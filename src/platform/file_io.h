#pragma once
// Whole-file reads and crash-safe writes. Every reader works on the bytes of
// the whole file, so no parser ever touches the disk.

#include <cstdint>
#include <string>
#include <vector>

namespace pelt {

using Bytes = std::vector<std::uint8_t>;

struct FileReadResult {
  Bytes bytes;
  int error = 0;  // errno of the failure, 0 on success
  bool ok() const { return error == 0; }
};

// No file the program reads comes near this; larger ones are refused (EFBIG)
// instead of being pulled into memory.
inline constexpr std::int64_t kMaxReadableFileSize = std::int64_t{512} << 20;

// Only regular files are read: a FIFO, device or folder is refused at once
// (ENODEV, EISDIR) and never waited on.
FileReadResult readWholeFile(const std::string& path);

// `count` bytes from `offset` on, under the same rules; a file that ends
// before them gives EIO.
FileReadResult readFileRange(const std::string& path, std::uint64_t offset, std::uint64_t count);

// A descriptor for reading a regular file (the caller closes it), or -1 with
// the errno in `error`.
int openRegularFile(const std::string& path, int& error);

// Writes to a temporary file in the same folder and renames it over `path`,
// so a failed write leaves the old file as it was. A symbolic link is
// followed to the file it names; the file keeps its permission bits (and its
// other hard links); a file a direct write could not open is refused with
// that errno. Returns 0 or an errno.
int writeFileAtomically(const std::string& path, const Bytes& bytes);

// Size of a file in bytes, or -1 when it cannot be read.
std::int64_t fileSize(const std::string& path);

}  // namespace pelt
