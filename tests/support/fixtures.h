#pragma once
// Fixtures built in code: temporary folders, small skins and models.

#include <cstdint>
#include <string>
#include <vector>

#include "model/md2_format.h"
#include "platform/file_io.h"
#include "skins/skin.h"

namespace pelt::test {

// A fresh folder below the system's temporary folder, removed on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Writes bytes to a file below the folder (creating sub-folders).
  std::string write(const std::string& name, const Bytes& bytes) const;

 private:
  std::string path_;
};

// A skin whose pixel (x, y) is (x * 7 + y * 13 + seed) & 0xFF and whose
// palette entry i is (i, 255 - i, i * 3).
Skin patternSkin(int width, int height, int seed = 0);

// A small model: `quads` quads side by side, 2 triangles each, sharing
// vertices; the st table holds one duplicate and one unused entry at the end.
Md2Data quadStripMd2(int quads, int skinWidth, int skinHeight,
                     std::vector<std::string> skinNames = {}, int frameCount = 2);

}  // namespace pelt::test
