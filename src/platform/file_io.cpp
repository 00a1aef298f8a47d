#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

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

// Reads `bytes.size()` bytes from `offset` on; fewer when the file shrank
// meanwhile.
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

// The head and tail `plan` asks of a file of `size` bytes: all of it when
// they meet.
std::pair<std::uint64_t, std::uint64_t> planned(const ReadPlan& plan, std::uint64_t size) {
  if (plan.head >= size || plan.tail >= size - plan.head) return {size, 0};
  return {plan.head, plan.tail};
}

}  // namespace

ReadPlan wholeFilePlan(std::span<const std::uint8_t>) { return {UINT64_MAX, 0}; }

FileReadResult readFile(const std::string& path, ReadPlanner planner) {
  FileReadResult result;
  std::int64_t fileBytes = 0;
  int fd = openRegular(path, fileBytes, result.error);
  if (fd < 0) return result;
  if (fileBytes > kMaxReadableFileSize) {
    result.error = EFBIG;
    ::close(fd);
    return result;
  }
  const auto size = static_cast<std::uint64_t>(fileBytes);
  Bytes& bytes = result.bytes;
  bytes.resize(std::min<std::uint64_t>(size, kReadProbeBytes));
  result.error = readRange(fd, 0, bytes);
  const auto [head, tail] = planned(planner(bytes), size);
  if (result.error == 0 && head > bytes.size()) {
    Bytes rest(static_cast<size_t>(head) - bytes.size());
    result.error = readRange(fd, bytes.size(), rest);
    bytes.insert(bytes.end(), rest.begin(), rest.end());
  }
  bytes.resize(std::min<std::uint64_t>(bytes.size(), head));
  if (result.error == 0 && tail > 0) {
    Bytes end(static_cast<size_t>(tail));
    result.error = readRange(fd, size - tail, end);
    bytes.insert(bytes.end(), end.begin(), end.end());
  }
  ::close(fd);
  return result;
}

FileReadResult readWholeFile(const std::string& path) { return readFile(path, wholeFilePlan); }

Bytes keepPlanned(Bytes bytes, ReadPlanner planner) {
  const auto [head, tail] = planned(
      planner({bytes.data(), std::min(bytes.size(), kReadProbeBytes)}), bytes.size());
  if (head + tail == bytes.size()) return bytes;
  bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(head),
              bytes.end() - static_cast<std::ptrdiff_t>(tail));
  return bytes;
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

std::int64_t fileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

}  // namespace pelt
