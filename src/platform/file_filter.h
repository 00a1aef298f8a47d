#pragma once
// File dialog filter strings: "label|pattern|label|pattern||".

#include <string>
#include <vector>

namespace pelt {

struct FileFilter {
  std::string label;
  std::string pattern;  // "*.md2", or several joined by ';'
};

std::vector<FileFilter> parseFilterString(const std::string& filter);

// The extension a filter's single pattern names (".png" for "*.png"), for
// the 1-based `filterIndex`; "" for "*.*", several patterns or no such filter.
std::string filterExtension(const std::string& filter, int filterIndex);

}  // namespace pelt
