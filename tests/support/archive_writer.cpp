#include "support/archive_writer.h"

#include <zip.h>

#include <algorithm>
#include <stdexcept>

#include "skins/byte_order.h"

namespace pelt::test {

Bytes packBytes(const ArchiveFiles& files) {
  constexpr size_t kHeader = 12, kEntry = 64, kName = 56;
  Bytes out(kHeader);
  std::copy_n("PACK", 4, out.begin());
  std::vector<std::pair<size_t, size_t>> places;
  for (const auto& [name, bytes] : files) {
    places.emplace_back(out.size(), bytes.size());
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  const size_t directory = out.size();
  for (size_t i = 0; i < files.size(); ++i) {
    const size_t at = out.size();
    out.resize(at + kEntry, 0);
    const std::string& name = files[i].first;
    std::copy_n(name.begin(), std::min(name.size(), kName - 1), out.begin() + at);
    writeU32(&out[at + kName], static_cast<std::uint32_t>(places[i].first));
    writeU32(&out[at + kName + 4], static_cast<std::uint32_t>(places[i].second));
  }
  writeU32(&out[4], static_cast<std::uint32_t>(directory));
  writeU32(&out[8], static_cast<std::uint32_t>(files.size() * kEntry));
  return out;
}

// libzip writes into a buffer source that is kept past the archive's close.
Bytes zipBytes(const ArchiveFiles& files) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* archive = target ? zip_open_from_source(target, ZIP_TRUNCATE, &error) : nullptr;
  if (archive == nullptr) throw std::runtime_error("zip: cannot create");
  zip_source_keep(target);
  for (const auto& [name, bytes] : files) {
    zip_source_t* data = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    if (data == nullptr || zip_file_add(archive, name.c_str(), data, ZIP_FL_ENC_RAW) < 0)
      throw std::runtime_error("zip: cannot add " + name);
  }
  if (zip_close(archive) != 0) throw std::runtime_error("zip: cannot write");
  zip_stat_t st;
  Bytes out;
  if (zip_source_stat(target, &st) == 0 && zip_source_open(target) == 0) {
    out.resize(st.size);
    out.resize(static_cast<size_t>(
        std::max<zip_int64_t>(zip_source_read(target, out.data(), st.size), 0)));
    zip_source_close(target);
  }
  zip_source_free(target);
  zip_error_fini(&error);
  return out;
}

}  // namespace pelt::test
