#include "app/game_folder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace pelt {

namespace {

constexpr std::string_view kBaseFolderName = "baseq2";

bool namesBaseFolder(const std::string& name) {
  return std::equal(
      name.begin(), name.end(), kBaseFolderName.begin(), kBaseFolderName.end(),
      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

}  // namespace

std::optional<std::string> baseFolderAbove(const std::string& modelPath) {
  std::filesystem::path folder = std::filesystem::path(modelPath).lexically_normal().parent_path();
  // The file's own name never counts, only the folders holding it.
  for (; !folder.empty() && folder != folder.root_path(); folder = folder.parent_path()) {
    if (namesBaseFolder(folder.filename().string())) return folder.string();
  }
  return std::nullopt;
}

std::string baseFolderFor(const std::string& modelPath) {
  std::error_code ec;
  std::filesystem::path path = std::filesystem::absolute(modelPath, ec).lexically_normal();
  if (ec) path = std::filesystem::path(modelPath).lexically_normal();
  return baseFolderAbove(path.string()).value_or(path.parent_path().string());
}

}  // namespace pelt
