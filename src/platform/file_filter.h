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

}  // namespace pelt
