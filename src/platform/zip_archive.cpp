#include "platform/zip_archive.h"

#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace pelt {

namespace {

constexpr std::uint64_t kReadChunk = std::uint64_t{1} << 20;

// The entry checks of an opened archive; "" when every entry may be served.
std::string entryProblems(struct zip* archive, std::uint64_t archiveSize,
                          std::vector<ArchiveEntry>& entries) {
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const auto number = static_cast<std::uint64_t>(i) + 1;
    constexpr zip_uint64_t kNeeded = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE;
    zip_stat_t st;
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &st) != 0 ||
        (st.valid & kNeeded) != kNeeded)
      return entryLabel(number, "") + " cannot be read";
    std::string name = st.name;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (!name.empty() && name.back() == '/') continue;  // a folder
    if (std::string problem = entryNameProblem(name, number); !problem.empty()) return problem;
    if (st.comp_size > archiveSize) return entryLabel(number, name) + " lies outside the file";
    // Refused before anything is inflated: a small entry may unpack to gigabytes.
    if (st.size > static_cast<std::uint64_t>(kMaxReadableFileSize))
      return entryLabel(number, name) + " unpacks to more than Pelt reads (" +
             std::to_string(st.size) + " bytes)";
    entries.push_back({std::move(name), static_cast<std::uint64_t>(i), st.size});
  }
  return "";
}

}  // namespace

ZipArchive::~ZipArchive() { zip_discard(archive_); }

std::unique_ptr<ZipArchive> ZipArchive::openFile(const std::string& path, std::string& refusal) {
  int error = 0;
  const int fd = openRegularFile(path, error);
  FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "rb");
  if (file == nullptr) {
    refusal = std::strerror(fd < 0 ? error : errno);
    if (fd >= 0) ::close(fd);
    return nullptr;
  }
  const std::int64_t size = fileSize(path);
  zip_error_t failure;
  zip_error_init(&failure);
  zip_source_t* source = zip_source_filep_create(file, 0, -1, &failure);  // owns the file
  if (source == nullptr) {
    ::fclose(file);
    refusal = zip_error_strerror(&failure);
    zip_error_fini(&failure);
    return nullptr;
  }
  zip_error_fini(&failure);
  return open(source, size < 0 ? 0 : static_cast<std::uint64_t>(size), refusal);
}

std::unique_ptr<ZipArchive> ZipArchive::openBytes(std::span<const std::uint8_t> bytes,
                                                  std::string& refusal) {
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, nullptr);
  if (source == nullptr) {
    refusal = std::strerror(ENOMEM);
    return nullptr;
  }
  return open(source, bytes.size(), refusal);
}

// Opened twice: first to read and check the directory, then with libzip
// comparing every entry's own header with it, which is how an entry that
// lies outside the file shows.
std::unique_ptr<ZipArchive> ZipArchive::open(zip_source_t* source, std::uint64_t size,
                                             std::string& refusal) {
  zip_error_t failure;
  zip_error_init(&failure);
  zip_source_keep(source);
  struct zip* archive = zip_open_from_source(source, ZIP_RDONLY, &failure);
  std::vector<ArchiveEntry> entries;
  if (archive == nullptr) {
    refusal = zip_error_strerror(&failure);
    zip_source_free(source);
  } else {
    refusal = entryProblems(archive, size, entries);
    zip_discard(archive);  // gives back the hold taken above
    archive = nullptr;
    if (refusal.empty())
      archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &failure);
    if (refusal.empty() && archive == nullptr)
      refusal = "an entry lies outside the file or disagrees with the directory";
  }
  zip_error_fini(&failure);
  if (archive == nullptr) {
    zip_source_free(source);
    return nullptr;
  }
  std::unique_ptr<ZipArchive> result(new ZipArchive(archive));
  result->entries_ = std::move(entries);
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
