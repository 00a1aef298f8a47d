#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace pelt {

namespace {

// Opens a regular file for reading. Non-blocking, so a FIFO or device is
// refused (ENODEV, EISDIR) instead of waited on. Returns the descriptor or -1.
int openRegular(const std::string& path, std::int64_t& size, int& error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error = errno;
  } else if (!S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
  } else {
    size = static_cast<std::int64_t>(st.st_size);
    return fd;
  }
  ::close(fd);
  return -1;
}

// Reads `count` bytes from `offset` on; fewer when the file shrank meanwhile.
int readRange(int fd, std::uint64_t offset, Bytes& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n =
        ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return 0;
}

}  // namespace

FileReadResult readWholeFile(const std::string& path) {
  FileReadResult result;
  std::int64_t size = 0;
  int fd = openRegular(path, size, result.error);
  if (fd < 0) return result;
  if (size > kMaxReadableFileSize) {
    result.error = EFBIG;
  } else {
    result.bytes.resize(static_cast<size_t>(size));
    result.error = readRange(fd, 0, result.bytes);
  }
  ::close(fd);
  return result;
}

FileReadResult readFileRange(const std::string& path, std::uint64_t offset, std::uint64_t count) {
  FileReadResult result;
  if (count > static_cast<std::uint64_t>(kMaxReadableFileSize)) {
    result.error = EFBIG;
    return result;
  }
  std::int64_t size = 0;
  int fd = openRegular(path, size, result.error);
  if (fd < 0) return result;
  result.bytes.resize(static_cast<size_t>(count));
  result.error = readRange(fd, offset, result.bytes);
  // The file changed since its directory was read.
  if (result.error == 0 && result.bytes.size() != count) result.error = EIO;
  ::close(fd);
  return result;
}

int openRegularFile(const std::string& path, int& error) {
  std::int64_t size = 0;
  return openRegular(path, size, error);
}

namespace {

constexpr int kMaxLinkHops = 40;

int writeAll(int fd, const Bytes& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<size_t>(n);
  }
  return 0;
}

// "dir/" for "dir/name", "" for a bare name.
std::string folderPrefix(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

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
int checkWritable(const std::string& path, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return EISDIR;
  // Renaming over a device or a pipe would replace the node itself.
  if (!S_ISREG(st.st_mode)) return EINVAL;
  int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  ::close(fd);
  return 0;
}

int writeInPlace(const std::string& path, const Bytes& bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return errno;
  int error = writeAll(fd, bytes);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

// A short name, so a long target name never makes the temporary one too long.
int writeTemporary(const std::string& target, const Bytes& bytes, const struct stat* old,
                   std::string& temp) {
  temp = folderPrefix(target) + ".pelt-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    const int error = errno;
    temp.clear();  // nothing was created
    return error;
  }
  int error = writeAll(fd, bytes);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  mode_t mode;
  if (old != nullptr) {
    // Owner first: a change of owner clears the set-id bits.
    // Only root may give a file away; anyone else keeps the new file as theirs.
    if ((old->st_uid != ::geteuid() || old->st_gid != ::getegid()) &&
        ::fchown(fd, old->st_uid, old->st_gid) != 0) {
    }
    mode = old->st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (error == 0 && ::fchmod(fd, mode) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) ::unlink(temp.c_str());
  return error;
}

}  // namespace

int writeFileAtomically(const std::string& path, const Bytes& bytes) {
  std::string target = path;
  if (int error = followLinks(target)) return error;
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return errno;
  if (exists) {
    if (int error = checkWritable(target, old)) return error;
  }
  std::string temp;
  int error = writeTemporary(target, bytes, exists ? &old : nullptr, temp);
  // A writable file in a folder we may not add to is still written, as a
  // direct write would. A write that failed part way (a full disk) must not
  // be repeated over the only good copy.
  const bool folderRefused = temp.empty() && (error == EACCES || error == EPERM);
  if (error != 0) return exists && folderRefused ? writeInPlace(target, bytes) : error;
  // Other hard links must see the new contents too: the full copy already
  // on disk stays the fallback should the rewrite fail.
  if (exists && old.st_nlink > 1 && writeInPlace(target, bytes) == 0) {
    ::unlink(temp.c_str());
    return 0;
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    error = errno;
    ::unlink(temp.c_str());
  }
  return error;
}

std::int64_t fileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

}  // namespace pelt
