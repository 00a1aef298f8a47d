// Zip listings: any byte string is refused with a reason or opened with
// every entry's name served below the game folder and its size within the
// budget; entries read back with exactly their size, or not at all.
#include <cstdint>
#include <cstdlib>

#include "platform/paths.h"
#include "platform/zip_archive.h"

namespace {
// Larger entries are listed but not inflated, so every run stays quick.
constexpr std::uint64_t kLargestRead = 1 << 16;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string refusal;
  std::unique_ptr<pelt::ZipArchive> archive = pelt::ZipArchive::openBytes({data, size}, refusal);
  if (!archive) {
    if (refusal.empty()) std::abort();
    return 0;
  }
  for (const pelt::ArchiveEntry& entry : archive->entries()) {
    if (entry.name.empty() || !pelt::staysBelow(entry.name) ||
        entry.size > static_cast<std::uint64_t>(pelt::kMaxReadableFileSize))
      std::abort();
    if (entry.size > kLargestRead) continue;
    const pelt::FileReadResult read = archive->read(entry);
    if (read.ok() && read.bytes.size() != entry.size) std::abort();
  }
  return 0;
}
