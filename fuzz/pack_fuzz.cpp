// PACK directories: any byte string is refused with a reason or listed with
// every entry's name served below the game folder and its bytes inside the
// file.
#include <cstdint>
#include <cstdlib>

#include "platform/pack_archive.h"
#include "platform/paths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const pelt::ArchiveListing listing = pelt::listPackBytes({data, size});
  if (!listing.ok()) {
    if (!listing.entries.empty()) std::abort();
    return 0;
  }
  for (const pelt::ArchiveEntry& entry : listing.entries) {
    if (entry.name.empty() || !pelt::staysBelow(entry.name) || entry.at > size ||
        entry.size > size - entry.at)
      std::abort();
  }
  return 0;
}
