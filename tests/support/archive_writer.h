#pragma once
// Game archives built in code: PACK files by hand, zip files through libzip.

#include <string>
#include <utility>
#include <vector>

#include "platform/file_io.h"

namespace pelt::test {

using ArchiveFiles = std::vector<std::pair<std::string, Bytes>>;

// "PACK", the directory's offset and length, the files' bytes in order, then
// one 64-byte entry per file (names longer than 55 bytes are cut).
Bytes packBytes(const ArchiveFiles& files);

// A zip file, each entry deflated.
Bytes zipBytes(const ArchiveFiles& files);

}  // namespace pelt::test
