#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace pelt {

FileReadResult readWholeFile(const std::string& path) {
  FileReadResult result;
  // Non-blocking, so a FIFO or device is refused below instead of waited on.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    result.error = errno;
    return result;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    result.error = errno;
    ::close(fd);
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.error = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
    ::close(fd);
    return result;
  }
  if (st.st_size > kMaxReadableFileSize) {
    result.error = EFBIG;
    ::close(fd);
    return result;
  }
  result.bytes.resize(static_cast<size_t>(st.st_size));
  size_t done = 0;
  while (done < result.bytes.size()) {
    ssize_t n = ::read(fd, result.bytes.data() + done, result.bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      result.error = errno;
      break;
    }
    if (n == 0) break;  // shrank while reading
    done += static_cast<size_t>(n);
  }
  result.bytes.resize(done);
  ::close(fd);
  return result;
}

static int writeAll(int fd, const Bytes& bytes) {
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

int writeFileAtomically(const std::string& path, const Bytes& bytes) {
  std::string temp = path + ".peltXXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return errno;
  int error = writeAll(fd, bytes);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  // Keep the permissions an ordinary new file would get.
  mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat old {};
  mode_t mode = (::stat(path.c_str(), &old) == 0) ? (old.st_mode & 07777) : (0666 & ~mask);
  if (error == 0 && ::fchmod(fd, mode) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) ::unlink(temp.c_str());
  return error;
}

std::int64_t fileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

}  // namespace pelt
