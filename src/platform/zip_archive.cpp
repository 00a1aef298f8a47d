#include "platform/zip_archive.h"

#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pelt {

namespace {

// libzip checks every local header against the central directory as well.
constexpr int kOpenFlags = ZIP_RDONLY | ZIP_CHECKCONS;
constexpr std::uint64_t kReadChunk = std::uint64_t{1} << 20;

std::string libzipText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

}  // namespace

ZipArchive::~ZipArchive() { zip_discard(archive_); }

std::unique_ptr<ZipArchive> ZipArchive::openFile(const std::string& path, std::string& refusal) {
  int error = 0;
  const int fd = openRegularFile(path, error);
  if (fd < 0) {
    refusal = std::strerror(error);
    return nullptr;
  }
  const off_t size = ::lseek(fd, 0, SEEK_END);
  ::lseek(fd, 0, SEEK_SET);
  int code = 0;
  struct zip* archive = zip_fdopen(fd, kOpenFlags, &code);  // owns fd from here on
  if (archive == nullptr) {
    ::close(fd);
    refusal = libzipText(code);
    return nullptr;
  }
  return take(archive, size < 0 ? 0 : static_cast<std::uint64_t>(size), refusal);
}

std::unique_ptr<ZipArchive> ZipArchive::openBytes(std::span<const std::uint8_t> bytes,
                                                  std::string& refusal) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  struct zip* archive = source ? zip_open_from_source(source, kOpenFlags, &error) : nullptr;
  if (archive == nullptr) {
    if (source) zip_source_free(source);
    refusal = zip_error_strerror(&error);
    zip_error_fini(&error);
    return nullptr;
  }
  zip_error_fini(&error);
  return take(archive, bytes.size(), refusal);
}

std::unique_ptr<ZipArchive> ZipArchive::take(struct zip* archive, std::uint64_t archiveSize,
                                             std::string& refusal) {
  std::unique_ptr<ZipArchive> result(new ZipArchive(archive));
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const auto number = static_cast<std::uint64_t>(i) + 1;
    zip_stat_t st;
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &st) != 0 ||
        (st.valid & (ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE)) !=
            (ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE)) {
      refusal = entryLabel(number, "") + " cannot be read";
      return nullptr;
    }
    std::string name = st.name;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (!name.empty() && name.back() == '/') continue;  // a folder
    if (std::string problem = entryNameProblem(name, number); !problem.empty()) {
      refusal = problem;
      return nullptr;
    }
    if (st.comp_size > archiveSize) {
      refusal = entryLabel(number, name) + " lies outside the file";
      return nullptr;
    }
    // Refused before anything is inflated: a small entry may unpack to gigabytes.
    if (st.size > static_cast<std::uint64_t>(kMaxReadableFileSize)) {
      refusal = entryLabel(number, name) + " unpacks to more than Pelt reads (" +
                std::to_string(st.size) + " bytes)";
      return nullptr;
    }
    result->entries_.push_back({std::move(name), static_cast<std::uint64_t>(i), st.size});
  }
  return result;
}

FileReadResult ZipArchive::read(const ArchiveEntry& entry) {
  FileReadResult result;
  zip_file_t* file = zip_fopen_index(archive_, entry.at, 0);
  if (file == nullptr) {
    result.error = EIO;
    return result;
  }
  // Grown as the data arrives, so a size that lies costs no more than the data.
  while (result.bytes.size() < entry.size) {
    const size_t done = result.bytes.size();
    result.bytes.resize(done + std::min(kReadChunk, entry.size - done));
    const zip_int64_t n = zip_fread(file, result.bytes.data() + done, result.bytes.size() - done);
    result.bytes.resize(done + static_cast<size_t>(std::max<zip_int64_t>(n, 0)));
    if (n <= 0) break;
  }
  // One more read reaches the end, where libzip compares the checksum.
  std::uint8_t extra = 0;
  if (result.bytes.size() != entry.size || zip_fread(file, &extra, 1) != 0) {
    result.bytes.clear();
    result.error = EIO;
  }
  zip_fclose(file);
  return result;
}

}  // namespace pelt
