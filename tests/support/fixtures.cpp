#include "support/fixtures.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace pelt::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "pelt-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
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
      skin.pixels[static_cast<size_t>(y) * width + x] = static_cast<std::uint8_t>(x * 7 + y * 13 + seed);
  for (int i = 0; i < 256; ++i) {
    skin.palette[i * 3 + 0] = static_cast<std::uint8_t>(i);
    skin.palette[i * 3 + 1] = static_cast<std::uint8_t>(255 - i);
    skin.palette[i * 3 + 2] = static_cast<std::uint8_t>(i * 3);
  }
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
  for (int i = 0; i <= quads; ++i) {
    auto s = static_cast<std::int16_t>(i * 8);
    data.st.push_back({s, 0});
    data.st.push_back({s, 16});
  }
  // A duplicate of entry 0 used by the last triangle, and one unused entry.
  data.st.push_back({0, 0});
  data.st.push_back({99, 99});
  for (int q = 0; q < quads; ++q) {
    auto a = static_cast<std::int16_t>(2 * q);
    Md2Triangle t1{{a, static_cast<std::int16_t>(a + 1), static_cast<std::int16_t>(a + 2)},
                   {a, static_cast<std::int16_t>(a + 1), static_cast<std::int16_t>(a + 2)}};
    Md2Triangle t2{{static_cast<std::int16_t>(a + 1), static_cast<std::int16_t>(a + 3),
                    static_cast<std::int16_t>(a + 2)},
                   {static_cast<std::int16_t>(a + 1), static_cast<std::int16_t>(a + 3),
                    static_cast<std::int16_t>(a + 2)}};
    data.triangles.push_back(t1);
    data.triangles.push_back(t2);
  }
  data.triangles.back().stIndex[0] = static_cast<std::int16_t>(data.st.size() - 2);
  for (int f = 0; f < frameCount; ++f) {
    Md2Frame frame;
    frame.name = "frame" + std::to_string(f);
    frame.scale = {0.5f, 0.25f, 1.0f};
    frame.translate = {-8.0f, 0.0f, static_cast<float>(f)};
    for (int v = 0; v < data.vertexCount; ++v)
      frame.vertices.push_back({{static_cast<std::uint8_t>((v / 2) * 10), static_cast<std::uint8_t>((v % 2) * 40),
                                 static_cast<std::uint8_t>(f * 3)}, 0});
    data.frames.push_back(frame);
  }
  return data;
}

}  // namespace pelt::test
