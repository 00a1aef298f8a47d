#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace pelt {

namespace {

// Reads `count` bytes at `offset` into `out`; fewer when the file shrank.
int readAt(int fd, std::uint8_t* out, size_t count, off_t offset, size_t& done) {
  done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd, out + done, count - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return 0;
}

ReadPlan wholeFile(std::span<const std::uint8_t>) { return {UINT64_MAX, 0}; }

}  // namespace

FileReadResult readFile(const std::string& path, ReadPlanner planner) {
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
  } else if (!S_ISREG(st.st_mode)) {
    result.error = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
  } else if (st.st_size > kMaxReadableFileSize) {
    result.error = EFBIG;
  }
  if (result.error != 0) {
    ::close(fd);
    return result;
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  Bytes& bytes = result.bytes;
  bytes.resize(std::min<std::uint64_t>(size, kReadProbeBytes));
  size_t done = 0;
  result.error = readAt(fd, bytes.data(), bytes.size(), 0, done);
  bytes.resize(done);
  const ReadPlan plan = planner(bytes);
  const bool whole = plan.head >= size || plan.tail >= size - plan.head;
  const std::uint64_t head = whole ? size : plan.head, tail = whole ? 0 : plan.tail;
  if (result.error == 0 && head > done) {
    bytes.resize(static_cast<size_t>(head));
    size_t more = 0;
    result.error = readAt(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done), more);
    bytes.resize(done + more);
  }
  bytes.resize(std::min<std::uint64_t>(bytes.size(), head));
  if (result.error == 0 && tail > 0) {
    const size_t at = bytes.size();
    bytes.resize(at + static_cast<size_t>(tail));
    result.error = readAt(fd, bytes.data() + at, static_cast<size_t>(tail),
                          static_cast<off_t>(size - tail), done);
    bytes.resize(at + done);
  }
  ::close(fd);
  return result;
}

FileReadResult readWholeFile(const std::string& path) { return readFile(path, wholeFile); }

std::int64_t fileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

}  // namespace pelt
