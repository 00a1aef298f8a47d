#include "platform/pack_archive.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/file_io.h"

namespace pelt {

namespace {

constexpr char kPackMagic[4] = {'P', 'A', 'C', 'K'};

std::uint64_t readField(const std::uint8_t* at) {
  const std::uint32_t raw = std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 |
                            std::uint32_t{at[2]} << 16 | std::uint32_t{at[3]} << 24;
  // The fields are signed: a negative one lies outside any file.
  return raw > 0x7FFFFFFFu ? ~std::uint64_t{0} : raw;
}

bool outside(std::uint64_t offset, std::uint64_t length, std::uint64_t fileSize) {
  return offset > fileSize || length > fileSize - offset;
}

ArchiveListing refused(std::string why) { return {{}, std::move(why)}; }

}  // namespace

ArchiveListing listPack(std::uint64_t fileSize, const RangeReader& read) {
  std::uint8_t header[kPackHeaderSize];
  if (fileSize < kPackHeaderSize || !read(0, header) ||
      std::memcmp(header, kPackMagic, sizeof kPackMagic) != 0)
    return refused("it is not a PACK file");
  const std::uint64_t offset = readField(header + 4), length = readField(header + 8);
  if (outside(offset, length, fileSize)) return refused("its directory lies outside the file");
  if (length % kPackEntrySize != 0)
    return refused("its directory holds more entries than it has room for");
  std::vector<std::uint8_t> directory(static_cast<size_t>(length));
  if (!read(offset, directory)) return refused("its directory cannot be read");

  ArchiveListing listing;
  listing.entries.reserve(directory.size() / kPackEntrySize);
  for (std::uint64_t i = 0; i < length / kPackEntrySize; ++i) {
    const std::uint8_t* entry = directory.data() + i * kPackEntrySize;
    const auto* text = reinterpret_cast<const char*>(entry);
    const size_t nameLength = std::find(text, text + kPackNameSize, '\0') - text;
    if (nameLength == kPackNameSize)
      return refused(entryLabel(i + 1, "") + " has a name without an end");
    ArchiveEntry item{std::string(text, nameLength), readField(entry + 56), readField(entry + 60)};
    std::replace(item.name.begin(), item.name.end(), '\\', '/');
    if (std::string problem = entryNameProblem(item.name, i + 1); !problem.empty())
      return refused(problem);
    if (outside(item.at, item.size, fileSize))
      return refused(entryLabel(i + 1, item.name) + " lies outside the file");
    listing.entries.push_back(std::move(item));
  }
  return listing;
}

ArchiveListing listPackBytes(std::span<const std::uint8_t> file) {
  return listPack(file.size(), [file](std::uint64_t offset, std::span<std::uint8_t> into) {
    if (offset > file.size() || into.size() > file.size() - offset) return false;
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset), into.size(), into.begin());
    return true;
  });
}

ArchiveListing listPackFile(const std::string& path) {
  FileReadResult probe = readFileRange(path, 0, 0);
  if (!probe.ok()) return refused(std::strerror(probe.error));
  const std::int64_t size = fileSize(path);
  return listPack(size < 0 ? 0 : static_cast<std::uint64_t>(size),
                  [&path](std::uint64_t offset, std::span<std::uint8_t> into) {
                    FileReadResult part = readFileRange(path, offset, into.size());
                    if (!part.ok()) return false;
                    std::copy(part.bytes.begin(), part.bytes.end(), into.begin());
                    return true;
                  });
}

}  // namespace pelt
