#include "platform/safe_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/platform.h"

namespace pelt {

int SaveSystem::open(const std::string& path, int flags, mode_t mode) {
  return ::open(path.c_str(), flags, mode);
}
ssize_t SaveSystem::pwrite(int fd, const void* data, size_t size, off_t offset) {
  return ::pwrite(fd, data, size, offset);
}
int SaveSystem::reserve(int fd, off_t length) { return ::posix_fallocate(fd, 0, length); }
int SaveSystem::ftruncate(int fd, off_t length) { return ::ftruncate(fd, length); }
int SaveSystem::fsync(int fd) { return ::fsync(fd); }
int SaveSystem::rename(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str());
}

namespace {

constexpr int kMaxLinkHops = 40;
constexpr size_t kMaxNameBytes = 255;
constexpr const char* kNewSuffix = ".pelt-new";  // being written; never complete until renamed
constexpr const char* kKeptSuffix = ".pelt-save";

// "dir/" for "dir/name", "" for a bare name.
std::string folderPrefix(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string fileName(const std::string& path) { return path.substr(folderPrefix(path).size()); }

// The user means the file a symbolic link names, not the link; a dangling
// link names the file to create.
int followLinks(std::string& path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
    std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0) return errno;
    if (static_cast<size_t>(n) >= target.size()) return ENAMETOOLONG;  // grew meanwhile
    target.resize(static_cast<size_t>(n));
    path = (!target.empty() && target.front() == '/') ? target : folderPrefix(path) + target;
  }
  return ELOOP;
}

// Refuses what a direct write would refuse, without touching the file.
int checkWritable(SaveSystem& system, const std::string& path, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return EISDIR;
  // Renaming over a device or a pipe would replace the node itself.
  if (!S_ISREG(st.st_mode)) return EINVAL;
  int fd = system.open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC, 0);
  if (fd < 0) return errno;
  ::close(fd);
  return 0;
}

// A private folder for copies whose own folder takes no new files, made
// when asked to; "" when there is none we can trust.
std::string copyFolder(bool create) {
  std::error_code ec;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
  if (ec) return {};
  const std::string folder = (temp / ("pelt-save-" + std::to_string(::geteuid()))).string();
  if (create) ::mkdir(folder.c_str(), 0700);
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
    return {};
  return folder + "/";
}

// Names from different folders must not meet in the copy folder.
std::string pathHash(const std::string& path) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : path) hash = (hash ^ c) * 16777619u;
  char text[9];
  std::snprintf(text, sizeof text, "%08x", hash);
  return text;
}

// ".NAME" + suffix beside the target, or "NAME-HASH" + suffix in the copy
// folder; the name is cut so the whole stays a legal file name.
std::string savePath(const std::string& target, bool besideIt, const char* suffix,
                     bool create = false) {
  std::string folder = besideIt ? folderPrefix(target) : copyFolder(create);
  if (!besideIt && folder.empty()) return {};
  std::string name = fileName(target);
  std::string tail;
  if (besideIt) {
    folder += '.';
  } else {
    tail = '-';
    tail += pathHash(target);
  }
  const size_t room = kMaxNameBytes - std::strlen(kKeptSuffix) - tail.size() - (besideIt ? 1 : 0);
  if (name.size() > room) name.resize(room);
  folder += name;
  folder += tail;
  folder += suffix;
  return folder;
}

int writeAt(SaveSystem& system, int fd, const std::uint8_t* data, size_t size, off_t offset) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = system.pwrite(fd, data + done, size - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    done += static_cast<size_t>(n);
  }
  return 0;
}

// Writes `bytes` as the new file `path`, replacing what an interrupted save
// left there, with the owner and mode of `like` (or as a new file would
// get them). `created` tells whether the folder took the file at all.
int writeNewFile(SaveSystem& system, const std::string& path, const Bytes& bytes,
                 const struct stat* like, bool& created) {
  ::unlink(path.c_str());
  int fd = system.open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  created = fd >= 0;
  if (fd < 0) return errno;
  int error = writeAt(system, fd, bytes.data(), bytes.size(), 0);
  if (error == 0 && system.fsync(fd) != 0) error = errno;
  mode_t mode;
  if (like != nullptr) {
    // Owner first: a change of owner clears the set-id bits.
    // Only root may give a file away; anyone else keeps the new file as theirs.
    if ((like->st_uid != ::geteuid() || like->st_gid != ::getegid()) &&
        ::fchown(fd, like->st_uid, like->st_gid) != 0) {
    }
    mode = like->st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (error == 0 && ::fchmod(fd, mode) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) ::unlink(path.c_str());
  return error;
}

void syncFolder(const std::string& path) {
  const std::string folder = folderPrefix(path).empty() ? "." : folderPrefix(path);
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

void removeLeftovers(const std::string& target) {
  for (bool besideIt : {true, false}) {
    for (const char* suffix : {kNewSuffix, kKeptSuffix}) {
      const std::string path = savePath(target, besideIt, suffix);
      if (!path.empty()) ::unlink(path.c_str());
    }
  }
}

// Space first, without truncating: a disk that cannot hold the new contents
// refuses before the old ones change. Where the file system cannot reserve,
// the part past the old end is written first to the same effect.
int rewriteInPlace(SaveSystem& system, const std::string& path, const Bytes& bytes) {
  int fd = system.open(path, O_WRONLY | O_CLOEXEC, 0);
  if (fd < 0) return errno;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  const off_t oldSize = st.st_size;
  const auto newSize = static_cast<off_t>(bytes.size());
  int error = newSize > 0 ? system.reserve(fd, newSize) : 0;
  if (error == EOPNOTSUPP && newSize > oldSize)
    error = writeAt(system, fd, bytes.data() + oldSize, static_cast<size_t>(newSize - oldSize),
                    oldSize);
  else if (error == EOPNOTSUPP)
    error = 0;
  if (error != 0) {
    system.ftruncate(fd, oldSize);  // whatever the attempt added
    ::close(fd);
    return error;
  }
  error = writeAt(system, fd, bytes.data(), bytes.size(), 0);
  if (error == 0 && system.ftruncate(fd, newSize) != 0) error = errno;
  if (error == 0 && system.fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

// `fresh` is the complete new file beside the target, "" when its folder
// refused one.
SaveResult rewriteKeepingCopy(SaveSystem& system, const std::string& target, const Bytes& bytes,
                              const std::string& fresh) {
  std::string kept = savePath(target, !fresh.empty(), kKeptSuffix, true);
  if (!fresh.empty()) {
    if (system.rename(fresh, kept) != 0) {
      const int error = errno;
      ::unlink(fresh.c_str());
      return {error, {}};
    }
  } else if (!kept.empty()) {
    // Best effort: without it the folder's own rules still let the file be written.
    const std::string partial = savePath(target, false, kNewSuffix, true);
    bool created = false;
    if (writeNewFile(system, partial, bytes, nullptr, created) != 0 ||
        system.rename(partial, kept) != 0) {
      ::unlink(partial.c_str());
      kept.clear();
    }
  }
  // Whatever stopped the rewrite, the new contents stay complete where the
  // message says.
  const int error = rewriteInPlace(system, target, bytes);
  if (error != 0) return {error, kept};
  if (!kept.empty()) ::unlink(kept.c_str());
  removeLeftovers(target);
  return {};
}

}  // namespace

std::string keptCopyPath(const std::string& target, bool besideIt) {
  return savePath(target, besideIt, kKeptSuffix);
}

SaveResult saveFile(const std::string& path, const Bytes& bytes, SaveSystem& system) {
  std::string target = path;
  if (int error = followLinks(target)) return {error, {}};
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return {errno, {}};
  if (exists) {
    if (int error = checkWritable(system, target, old)) return {error, {}};
  }
  const std::string fresh = savePath(target, true, kNewSuffix);
  bool created = false;
  const int error = writeNewFile(system, fresh, bytes, exists ? &old : nullptr, created);
  // A writable file in a folder we may not add to is still written, as a
  // direct write would.
  const bool folderRefused = !created && (error == EACCES || error == EPERM);
  if (error != 0 && !(exists && folderRefused)) return {error, {}};
  // Other hard links must see the new contents too.
  if (exists && (!created || old.st_nlink > 1))
    return rewriteKeepingCopy(system, target, bytes, created ? fresh : std::string());
  if (system.rename(fresh, target) != 0) {
    const int renameError = errno;
    ::unlink(fresh.c_str());
    return {renameError, {}};
  }
  syncFolder(target);
  removeLeftovers(target);
  return {};
}

SaveResult saveFile(const std::string& path, const Bytes& bytes) {
  SaveSystem system;
  return saveFile(path, bytes, system);
}

int writeFileAtomically(const std::string& path, const Bytes& bytes) {
  return saveFile(path, bytes).error;
}

std::string saveErrorMessage(const std::string& path, const SaveResult& result) {
  std::string text = "Error Saving: " + std::to_string(result.error) + "\n" + path + ": " +
                     std::strerror(result.error);
  if (!result.keptCopy.empty())
    text += "\nThe complete new file was kept as " + result.keptCopy;
  return text;
}

bool saveFileOrWarn(Platform& platform, const std::string& path, const Bytes& bytes) {
  const SaveResult result = saveFile(path, bytes);
  if (!result.ok()) platform.warningBox(saveErrorMessage(path, result));
  return result.ok();
}

}  // namespace pelt
