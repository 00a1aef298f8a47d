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

std::string lowerCased(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
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

bool staysBelow(const std::string& relative) {
  std::string name = withForwardSlashes(relative);
  if (name.starts_with('/')) return false;
  for (size_t start = 0; start <= name.size();) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

std::string FolderListings::find(const std::string& folder, const std::string& name) {
  auto [it, added] = folders_.try_emplace(folder);
  if (added) {
    std::error_code ec;
    for (fs::directory_iterator entry(folder, ec), end; !ec && entry != end; entry.increment(ec)) {
      std::string actual = entry->path().filename().string();
      // Of names differing only in case, the first in byte order wins.
      auto [slot, fresh] = it->second.try_emplace(lowerCased(actual), actual);
      if (!fresh && actual < slot->second) slot->second = actual;
    }
  }
  auto found = it->second.find(lowerCased(name));
  return found == it->second.end() ? "" : found->second;
}

std::string resolveBelow(const std::string& base, const std::string& relative,
                         FolderListings* listings) {
  if (!staysBelow(relative)) return "";
  std::string name = withForwardSlashes(relative);
  std::string direct = joinPath(base, name);
  std::error_code ec;
  if (fs::exists(direct, ec)) return direct;
  FolderListings local;
  FolderListings& folders = listings ? *listings : local;
  fs::path current = fs::path(base);
  for (const auto& part : fs::path(name)) {
    std::string wanted = part.string();
    if (wanted.empty() || wanted == ".") continue;
    fs::path exact = current / wanted;
    if (fs::exists(exact, ec)) {
      current = exact;
      continue;
    }
    std::string actual = folders.find(current.string(), wanted);
    if (actual.empty()) return direct;
    current /= actual;
  }
  return current.string();
}

std::string programDataFolder() {
  std::error_code ec;
  const fs::path program = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return "";
  for (const fs::path& candidate :
       {program.parent_path() / "share/pelt", program.parent_path().parent_path() / "share/pelt"}) {
    if (fs::is_directory(candidate, ec)) return candidate.lexically_normal().string();
  }
  return "";
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
