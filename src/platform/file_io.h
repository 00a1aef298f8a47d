#pragma once
// Whole-file reads and crash-safe writes. Every reader works on the bytes of
// the whole file, so no parser ever touches the disk.

#include <cstddef>
#include <cstdint>
#include <span>
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

// What a reader needs of a file, judged from its first bytes: the first
// `head` bytes and the last `tail` bytes, which follow the head directly in
// what is read (the whole file when the two meet). A reader whose header
// says how long the file can usefully be reads no more than that, however
// long the file is.
struct ReadPlan {
  std::uint64_t head = 0;
  std::uint64_t tail = 0;
};
inline constexpr size_t kReadProbeBytes = 128;
// Gets the first kReadProbeBytes of the file (fewer when it is shorter).
using ReadPlanner = ReadPlan (*)(std::span<const std::uint8_t> start);
// The whole file, for readers whose formats say nothing of their length.
ReadPlan wholeFilePlan(std::span<const std::uint8_t> start);

// Only regular files are read: a FIFO, device or folder is refused at once
// (ENODEV, EISDIR) and never waited on.
FileReadResult readFile(const std::string& path, ReadPlanner planner);
FileReadResult readWholeFile(const std::string& path);

// `count` bytes from `offset` on, under the same rules; a file that ends
// before them gives EIO.
FileReadResult readFileRange(const std::string& path, std::uint64_t offset, std::uint64_t count);

// A descriptor for reading a regular file (the caller closes it), or -1 with
// the errno in `error`.
int openRegularFile(const std::string& path, int& error);

// What `plan` asks for of bytes already in memory (an archived file).
Bytes keepPlanned(Bytes bytes, ReadPlanner planner);

// Saves without ever losing the old contents (see safe_save.h); 0 or an
// errno.
int writeFileAtomically(const std::string& path, const Bytes& bytes);

// Size of a file in bytes, or -1 when it cannot be read.
std::int64_t fileSize(const std::string& path);

}  // namespace pelt
