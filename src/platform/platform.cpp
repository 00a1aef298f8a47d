#include "platform/platform.h"

#include <filesystem>

#include "platform/paths.h"

namespace pelt {

bool Platform::canEnterFolder(const std::string& folder) {
  std::error_code ec;
  if (folder.empty() || !std::filesystem::is_directory(folder, ec)) return false;
  // Kernel folders are no place to load from or save to.
  if (isSystemFolder(folder)) return false;
  std::filesystem::directory_iterator it(folder, ec);
  return !ec;
}

}  // namespace pelt
