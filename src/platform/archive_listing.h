#pragma once
// What an archive holds, as read from its directory, and the checks every
// entry passes before the game's files serve it.

#include <cstdint>
#include <string>
#include <vector>

namespace pelt {

struct ArchiveEntry {
  std::string name;        // as the archive spells it, '\\' turned to '/'
  std::uint64_t at = 0;    // PACK: offset in the file; zip: entry index
  std::uint64_t size = 0;  // bytes once read
};

// The entries in directory order, or the reason the whole archive is refused.
struct ArchiveListing {
  std::vector<ArchiveEntry> entries;
  std::string refusal;
  bool ok() const { return refusal.empty(); }
};

// Why an entry's name cannot be served ("" when it can): the name is empty,
// absolute or climbs out with "..". `number` counts entries from 1.
std::string entryNameProblem(const std::string& name, std::uint64_t number);

// "entry 3 (models/x.md2)": how refusals name an entry.
std::string entryLabel(std::uint64_t number, const std::string& name);

}  // namespace pelt
