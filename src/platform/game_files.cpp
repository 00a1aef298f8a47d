#include "platform/game_files.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <set>

#include "platform/pack_archive.h"
#include "platform/platform.h"
#include "platform/zip_archive.h"

namespace pelt {

namespace fs = std::filesystem;

namespace {

// A listing stops here rather than walk a whole disk linked below the folder.
constexpr size_t kMaxLooseFiles = 200000;

std::string keyOf(const std::string& name) { return lowerCased(withForwardSlashes(name)); }

// pakN.pak in any case: the number, or -1 for any other name.
long pakNumber(const std::string& fileName) {
  const std::string lower = lowerCased(fileName);
  if (lower.size() < 8 || lower.size() > 16 || !lower.starts_with("pak") ||
      !lower.ends_with(".pak"))
    return -1;
  const std::string digits = lower.substr(3, lower.size() - 7);
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return -1;
  return std::stol(digits);
}

// The folder's archives in search order.
std::vector<std::string> archiveNames(const std::string& base) {
  std::vector<std::string> paks = listFilesWithExtension(base, ".pak");
  std::erase_if(paks, [](const std::string& name) { return pakNumber(name) < 0; });
  std::stable_sort(paks.begin(), paks.end(), [](const std::string& a, const std::string& b) {
    return pakNumber(a) > pakNumber(b);
  });
  std::vector<std::string> zips = listFilesWithExtension(base, ".pk3");
  for (std::string& name : listFilesWithExtension(base, ".pkz")) zips.push_back(std::move(name));
  std::sort(zips.begin(), zips.end());
  paks.insert(paks.end(), zips.begin(), zips.end());
  return paks;
}

// What tells one set of archives from another.
std::string archiveStamp(const std::string& base, const std::vector<std::string>& names) {
  std::string stamp;
  for (const std::string& name : names) {
    std::error_code ec;
    const fs::path path = fs::path(base) / name;
    const auto size = fs::file_size(path, ec);
    const auto time = fs::last_write_time(path, ec).time_since_epoch().count();
    stamp += name + '\n' + std::to_string(size) + '\n' + std::to_string(time) + '\n';
  }
  return stamp;
}

std::vector<std::string> looseFiles(const std::string& base) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::recursive_directory_iterator it(base, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator() && names.size() < kMaxLooseFiles;
       it.increment(ec)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError))
      names.push_back(it->path().lexically_relative(base).generic_string());
  }
  return names;
}

bool hasExtension(const std::string& name, const std::string& extension) {
  return name.size() > extension.size() &&
         lowerCased(name.substr(name.size() - extension.size())) == lowerCased(extension);
}

}  // namespace

struct GameFileSystem::Archive {
  std::string path;
  std::vector<ArchiveEntry> packEntries;
  std::unique_ptr<ZipArchive> zip;
  const std::vector<ArchiveEntry>& entries() const { return zip ? zip->entries() : packEntries; }
};

std::string sourceText(const GameFileListing& listing) {
  std::string text = listing.source.empty() ? "loose" : listing.source;
  for (size_t i = 0; i < listing.shadows.size(); ++i)
    text += (i == 0 ? ", shadows " : ", ") + listing.shadows[i];
  return text;
}

GameFileSystem::GameFileSystem(const std::string& baseFolder, Platform& platform)
    : base_(baseFolder), platform_(platform) {}

GameFileSystem::~GameFileSystem() = default;

void GameFileSystem::index(bool recheck) {
  if (indexedBase_ == base_ && !recheck) return;
  const std::vector<std::string> names =
      base_.empty() ? std::vector<std::string>{} : archiveNames(base_);
  const std::string stamp = archiveStamp(base_, names);
  if (indexedBase_ == base_ && stamp == indexedStamp_) return;
  indexedBase_ = base_;
  indexedStamp_ = stamp;
  archives_.clear();
  byKey_.clear();
  refusals_.clear();
  for (const std::string& name : names) {
    Archive archive{joinPath(base_, name), {}, nullptr};
    std::string refusal;
    if (pakNumber(name) >= 0) {
      ArchiveListing listing = listPackFile(archive.path);
      refusal = listing.refusal;
      archive.packEntries = std::move(listing.entries);
    } else {
      archive.zip = ZipArchive::openFile(archive.path, refusal);
    }
    // One damaged archive never hides the others.
    if (!refusal.empty()) {
      refusals_.push_back("The archive " + archive.path +
                          " is damaged and was left out: " + refusal);
      platform_.messageBox(refusals_.back(), MessageButtons::Ok);
      continue;
    }
    archives_.push_back(std::move(archive));
    const std::vector<ArchiveEntry>& entries = archives_.back().entries();
    for (size_t i = 0; i < entries.size(); ++i)
      byKey_.try_emplace(keyOf(entries[i].name), static_cast<int>(archives_.size()) - 1, i);
  }
}

std::optional<GameFile> GameFileSystem::find(const std::string& relative,
                                             FolderListings* listings) {
  if (base_.empty() || !staysBelow(relative)) return std::nullopt;
  const std::string name = withForwardSlashes(relative);
  const std::string loose = resolveBelow(base_, name, listings);
  if (!loose.empty() && fileSize(loose) >= 0) return GameFile{loose, "", -1, {}};
  index();
  auto found = byKey_.find(keyOf(name));
  if (found == byKey_.end()) return std::nullopt;
  const auto [archive, entry] = found->second;
  const Archive& holder = archives_[static_cast<size_t>(archive)];
  const ArchiveEntry& item = holder.entries()[entry];
  return GameFile{joinPath(base_, item.name), fileNameOf(holder.path), archive, item};
}

std::optional<GameFile> GameFileSystem::locate(const std::string& path) {
  if (path.empty()) return std::nullopt;
  if (path.front() != '/') {
    if (std::optional<GameFile> file = find(path)) return file;
    if (fileSize(path) >= 0) return GameFile{path, "", -1, {}};
    return std::nullopt;
  }
  if (fileSize(path) >= 0) return GameFile{path, "", -1, {}};
  std::string relative;
  if (isBelowFolder(path, base_, &relative)) return find(relative);
  return std::nullopt;
}

FileReadResult GameFileSystem::read(const GameFile& file, ReadPlanner planner) {
  if (!file.archived()) return readFile(file.path, planner);
  if (static_cast<size_t>(file.archive) >= archives_.size()) return {{}, ENOENT};
  Archive& archive = archives_[static_cast<size_t>(file.archive)];
  FileReadResult result = archive.zip
                              ? archive.zip->read(file.entry)
                              : readFileRange(archive.path, file.entry.at, file.entry.size);
  result.bytes = keepPlanned(std::move(result.bytes), planner);
  return result;
}

FileReadResult GameFileSystem::readPath(const std::string& path, GameFile* found,
                                        ReadPlanner planner) {
  std::optional<GameFile> file = locate(path);
  if (!file) return readFile(path, planner);
  if (found) *found = *file;
  return read(*file, planner);
}

std::vector<GameFile> GameFileSystem::filesIn(const std::string& folder,
                                              const std::string& extension) {
  std::string relative;
  const bool inGame =
      !base_.empty() && (folder == base_ || isBelowFolder(folder, base_, &relative));
  const std::string real = relative.empty() ? folder : resolveBelow(base_, relative);
  std::vector<GameFile> files;
  std::set<std::string> looseKeys;
  for (const std::string& name :
       real.empty() ? std::vector<std::string>{} : listFilesWithExtension(real, extension)) {
    files.push_back({joinPath(real, name), "", -1, {}});
    looseKeys.insert(keyOf(joinPath(relative, name)));
  }
  if (inGame) {
    index();
    const std::string folderKey = keyOf(relative);
    for (const auto& [key, where] : byKey_) {
      if (folderOf(key) != folderKey) continue;
      const Archive& holder = archives_[static_cast<size_t>(where.first)];
      const ArchiveEntry& item = holder.entries()[where.second];
      if (!hasExtension(item.name, extension) || looseKeys.contains(key)) continue;
      files.push_back({joinPath(base_, item.name), fileNameOf(holder.path), where.first, item});
    }
  }
  std::sort(files.begin(), files.end(), [](const GameFile& a, const GameFile& b) {
    return fileNameOf(a.path) < fileNameOf(b.path);
  });
  return files;
}

std::vector<GameFileListing> GameFileSystem::list() {
  index(true);
  std::vector<GameFileListing> rows;
  std::map<std::string, size_t> rowOfKey;
  for (std::string& name : looseFiles(base_)) {
    rowOfKey.try_emplace(keyOf(name), rows.size());
    rows.push_back({std::move(name), "", {}});
  }
  for (const Archive& archive : archives_) {
    const std::string source = fileNameOf(archive.path);
    for (const ArchiveEntry& entry : archive.entries()) {
      auto [at, fresh] = rowOfKey.try_emplace(keyOf(entry.name), rows.size());
      if (fresh) {
        rows.push_back({entry.name, source, {}});
        continue;
      }
      GameFileListing& winner = rows[at->second];
      if (winner.source != source &&
          std::find(winner.shadows.begin(), winner.shadows.end(), source) == winner.shadows.end())
        winner.shadows.push_back(source);
    }
  }
  std::sort(rows.begin(), rows.end(), [](const GameFileListing& a, const GameFileListing& b) {
    const std::string ka = keyOf(a.name), kb = keyOf(b.name);
    return ka != kb ? ka < kb : a.name < b.name;
  });
  return rows;
}

const std::vector<std::string>& GameFileSystem::refusals() {
  index();
  return refusals_;
}

}  // namespace pelt
