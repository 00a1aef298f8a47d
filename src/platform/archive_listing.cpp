#include "platform/archive_listing.h"

#include "platform/paths.h"

namespace pelt {

std::string entryLabel(std::uint64_t number, const std::string& name) {
  std::string label = "entry " + std::to_string(number);
  return name.empty() ? label : label + " (" + name + ")";
}

std::string entryNameProblem(const std::string& name, std::uint64_t number) {
  if (name.empty()) return entryLabel(number, "") + " has no name";
  if (!staysBelow(name))
    return entryLabel(number, name) + " has a name that leaves the game folder";
  return "";
}

}  // namespace pelt
