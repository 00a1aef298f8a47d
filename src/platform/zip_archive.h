#pragma once
// Zip archives (.pk3, .pkz) through libzip, kept open for reading. Entries
// are checked when the archive is opened, so a damaged or hostile one is
// refused before anything in it is inflated.

#include <memory>
#include <span>
#include <string>

#include "platform/archive_listing.h"
#include "platform/file_io.h"

struct zip;
struct zip_source;

namespace pelt {

class ZipArchive {
 public:
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // A regular file, or bytes that outlive the archive. Null with the reason
  // in `refusal` when the archive cannot be served.
  static std::unique_ptr<ZipArchive> openFile(const std::string& path, std::string& refusal);
  static std::unique_ptr<ZipArchive> openBytes(std::span<const std::uint8_t> bytes,
                                               std::string& refusal);

  // Files in directory order (folders left out).
  const std::vector<ArchiveEntry>& entries() const { return entries_; }

  // An entry's bytes; a checksum or length that does not match gives EIO.
  FileReadResult read(const ArchiveEntry& entry);

 private:
  explicit ZipArchive(struct zip* archive) : archive_(archive) {}
  static std::unique_ptr<ZipArchive> open(struct zip_source* source, std::uint64_t size,
                                          std::string& refusal);

  struct zip* archive_;
  std::vector<ArchiveEntry> entries_;
};

}  // namespace pelt
