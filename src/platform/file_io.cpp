#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

std::int64_t fileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

}  // namespace pelt
