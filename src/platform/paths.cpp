#include "platform/paths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace pelt {

namespace fs = std::filesystem;

std::string folderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool lacksExtension(const std::string& path) {
  return fileNameOf(path).find('.') == std::string::npos;
}

std::string withForwardSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool isBelowFolder(const std::string& path, const std::string& base, std::string* relative) {
  std::string prefix = base + "/";
  if (base.empty() || path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0)
    return false;
  if (relative) *relative = path.substr(prefix.size());
  return true;
}

static bool equalsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool isSystemFolder(const std::string& path) {
  if (path.empty()) return false;
  // Links and "//proc/./" spellings lead to the same place.
  std::error_code ec;
  fs::path real = fs::weakly_canonical(path, ec);
  std::string clean = (ec ? fs::path(path).lexically_normal() : real).string();
  while (clean.size() > 1 && clean.back() == '/') clean.pop_back();
  while (clean.size() > 1 && clean[0] == '/' && clean[1] == '/') clean.erase(0, 1);
  for (const std::string root : {"/proc", "/sys", "/dev"})
    if (clean == root || clean.rfind(root + "/", 0) == 0) return true;
  return false;
}

std::string resolveBelow(const std::string& base, const std::string& relative) {
  std::string name = withForwardSlashes(relative);
  std::string direct = name.starts_with('/') ? name : joinPath(base, name);
  std::error_code ec;
  if (fs::exists(direct, ec)) return direct;
  fs::path current = name.starts_with('/') ? fs::path("/") : fs::path(base);
  for (const auto& part : fs::path(name)) {
    std::string wanted = part.string();
    if (wanted.empty() || wanted == "/") continue;
    fs::path exact = current / wanted;
    if (fs::exists(exact, ec)) {
      current = exact;
      continue;
    }
    bool found = false;
    for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
      if (equalsNoCase(it->path().filename().string(), wanted)) {
        current = it->path();
        found = true;
        break;
      }
    }
    if (!found) return direct;
  }
  return current.string();
}

std::vector<std::string> listFilesWithExtension(const std::string& folder,
                                                const std::string& extension) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string ext = it->path().extension().string();
    if (equalsNoCase(ext, extension)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace pelt
