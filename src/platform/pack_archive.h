#pragma once
// The game's PACK archives (pak0.pak): "PACK", the directory's offset and
// length (little-endian int32), then 64-byte entries of a 56-byte
// NUL-padded name, offset and length.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "platform/archive_listing.h"

namespace pelt {

inline constexpr std::size_t kPackHeaderSize = 12;
inline constexpr std::size_t kPackEntrySize = 64;
inline constexpr std::size_t kPackNameSize = 56;

// Fills `into` from `offset` on; false when the file cannot give them all.
using RangeReader = std::function<bool(std::uint64_t offset, std::span<std::uint8_t> into)>;

// The directory of a PACK file of `fileSize` bytes, every entry checked
// against the file; a damaged one refuses the whole archive.
ArchiveListing listPack(std::uint64_t fileSize, const RangeReader& read);

// The same for a file in memory, and for one on disk (regular files only).
ArchiveListing listPackBytes(std::span<const std::uint8_t> file);
ArchiveListing listPackFile(const std::string& path);

}  // namespace pelt
