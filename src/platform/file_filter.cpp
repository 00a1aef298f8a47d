#include "platform/file_filter.h"

namespace pelt {

std::vector<FileFilter> parseFilterString(const std::string& filter) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : filter) {
    if (c == '|') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  std::vector<FileFilter> filters;
  // The closing extra bar yields an empty label: the list ends there.
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty()) break;
    filters.push_back({parts[i], parts[i + 1]});
  }
  return filters;
}

std::string filterExtension(const std::string& filter, int filterIndex) {
  const std::vector<FileFilter> filters = parseFilterString(filter);
  if (filterIndex < 1 || filterIndex > static_cast<int>(filters.size())) return "";
  const std::string& pattern = filters[static_cast<size_t>(filterIndex - 1)].pattern;
  if (!pattern.starts_with("*.") || pattern == "*.*" || pattern.find(';') != std::string::npos)
    return "";
  return pattern.substr(1);
}

}  // namespace pelt
