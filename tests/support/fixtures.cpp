#include "support/fixtures.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "skins/byte_order.h"
#include "skins/skin_image.h"
#include "support/bmp_rle8.h"

namespace pelt::test {

namespace fs = std::filesystem;

TempDir::TempDir() : path_((fs::temp_directory_path() / "pelt-test-XXXXXX").string()) {
  if (!::mkdtemp(path_.data())) throw std::runtime_error("mkdtemp failed");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempDir::write(const std::string& name, const Bytes& bytes) const {
  std::string path = file(name);
  fs::create_directories(fs::path(path).parent_path());
  if (writeFileAtomically(path, bytes) != 0) throw std::runtime_error("cannot write " + path);
  return path;
}

Skin patternSkin(int width, int height, int seed) {
  Skin skin;
  allocateSkin(skin, width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      skin.pixels[static_cast<size_t>(y * width + x)] =
          static_cast<std::uint8_t>(x * 7 + y * 13 + seed);
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c)
      skin.palette[i * 3 + c] = static_cast<std::uint8_t>(c == 0 ? i : c == 1 ? 255 - i : i * 3);
  skin.storedPixels = skin.pixels;
  return skin;
}

Md2Data quadStripMd2(int quads, int skinWidth, int skinHeight, std::vector<std::string> skinNames,
                     int frameCount) {
  Md2Data data;
  data.skinWidth = skinWidth;
  data.skinHeight = skinHeight;
  data.skinNames = std::move(skinNames);
  data.vertexCount = 2 * (quads + 1);
  for (int i = 0; i < data.vertexCount; ++i)
    data.st.push_back(
        {static_cast<std::int16_t>(i / 2 * 8), static_cast<std::int16_t>(i % 2 * 16)});
  // A duplicate of entry 0 used by the last triangle, and one unused entry.
  data.st.push_back({0, 0});
  data.st.push_back({99, 99});
  auto corners = [](int a, int b, int c) {
    return std::array{static_cast<std::int16_t>(a), static_cast<std::int16_t>(b),
                      static_cast<std::int16_t>(c)};
  };
  for (int a = 0; a < 2 * quads; a += 2) {
    data.triangles.push_back({corners(a, a + 1, a + 2), corners(a, a + 1, a + 2)});
    data.triangles.push_back({corners(a + 1, a + 3, a + 2), corners(a + 1, a + 3, a + 2)});
  }
  data.triangles.back().stIndex[0] = static_cast<std::int16_t>(data.st.size() - 2);
  for (int f = 0; f < frameCount; ++f) {
    Md2Frame& frame = data.frames.emplace_back(
        Md2Frame{{0.5f, 0.25f, 1.0f}, {-8.0f, 0.0f, float(f)}, "frame" + std::to_string(f), {}});
    for (int v = 0; v < data.vertexCount; ++v)
      frame.vertices.push_back(
          {{static_cast<std::uint8_t>(v / 2 * 10), static_cast<std::uint8_t>(v % 2 * 40),
            static_cast<std::uint8_t>(f * 3)}});
  }
  return data;
}

Bytes bmpRle8File(const Skin& skin, const Bytes& stream) {
  Bytes file = encodeSkinBmp(skin);
  file.resize(readU32(file.data() + 10));  // up to the pixel data
  file.insert(file.end(), stream.begin(), stream.end());
  Bytes fields;
  for (std::uint32_t v : {std::uint32_t(file.size()), 1u, std::uint32_t(stream.size())})
    putU32(fields, v);
  std::copy_n(fields.begin(), 4, file.begin() + 2);       // file size
  std::copy_n(fields.begin() + 4, 8, file.begin() + 30);  // compression, image size
  return file;
}

}  // namespace pelt::test
