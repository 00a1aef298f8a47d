// Writes the starting inputs of every fuzz target, all made by our own
// code: the demo game folder's files and files from our writers, including
// forms our writers never produce (PCX runs and padded rows, RLE8 BMPs).
//
//   pelt-fuzz-seeds FOLDER   ->  FOLDER/<target>/...

#include <filesystem>
#include <iostream>
#include <string>

#include "demo/demo_folder.h"
#include "demo/demo_mesh.h"
#include "model/mapping_file.h"
#include "model/md2_format.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "skins/byte_order.h"
#include "skins/colour_reduction.h"
#include "skins/png_file.h"
#include "skins/skin_image.h"
#include "skins/tga_file.h"
#include "support/archive_writer.h"

namespace {

using namespace pelt;
namespace fs = std::filesystem;

Skin gradientSkin(int width, int height) {
  Skin skin;
  allocateSkin(skin, width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      skin.pixels[static_cast<size_t>(y * width + x)] =
          static_cast<std::uint8_t>((x / 3) * 16 + y + (x > 4 ? 0xC0 : 0));
  for (int i = 0; i < 768; ++i)
    skin.palette[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i * 5);
  skin.storedPixels = skin.pixels;
  return skin;
}

// A run-length PCX with real runs and rows padded to an even length.
Bytes runLengthPcx(const Skin& skin) {
  Bytes out = encodeSkinPcx(skin);
  out.resize(128);
  const int stride = skin.width + (skin.width & 1);
  out[66] = static_cast<std::uint8_t>(stride);
  out[67] = static_cast<std::uint8_t>(stride >> 8);
  for (int y = 0; y < skin.height; ++y) {
    for (int x = 0; x < stride;) {
      const std::uint8_t value = x < skin.width ? skin.pixel(x, y) : 0;
      int run = 1;
      while (x + run < stride && run < 63 &&
             (x + run < skin.width ? skin.pixel(x + run, y) : 0) == value)
        ++run;
      if (run > 1 || value >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
      out.push_back(value);
      x += run;
    }
  }
  out.push_back(0x0C);
  out.insert(out.end(), skin.palette.begin(), skin.palette.end());
  return out;
}

// RLE8: encoded runs, one absolute run per row, end-of-line and end markers.
Bytes runLengthBmp(const Skin& skin) {
  Bytes out = encodeSkinBmp(skin);
  out.resize(1078);
  out[30] = 1;  // compression
  for (int y = skin.height - 1; y >= 0; --y) {
    int x = 0;
    if (skin.width >= 3) {
      out.insert(out.end(), {0, 3, skin.pixel(0, y), skin.pixel(1, y), skin.pixel(2, y), 0});
      x = 3;
    }
    while (x < skin.width) {
      int run = 1;
      while (x + run < skin.width && run < 255 && skin.pixel(x + run, y) == skin.pixel(x, y)) ++run;
      out.insert(out.end(), {static_cast<std::uint8_t>(run), skin.pixel(x, y)});
      x += run;
    }
    out.insert(out.end(), {0, 0});
  }
  out.insert(out.end(), {0, 1});
  return out;
}

// A run-length TGA, bottom row first: runs of equal pixels, the rest in
// literal packets. `grey` writes type 11 (the palette is left out).
Bytes runLengthTga(const Skin& skin, bool grey) {
  Bytes out = encodeSkinTga(skin);
  out[2] = grey ? 11 : 9;
  out[17] = 0;
  if (grey) {
    out[1] = 0;
    out[5] = out[6] = out[7] = 0;
  }
  out.resize(grey ? 18 : 18 + 768);
  for (int y = skin.height - 1; y >= 0; --y)
    for (int x = 0; x < skin.width;) {
      int run = 1;
      while (x + run < skin.width && run < 128 && skin.pixel(x + run, y) == skin.pixel(x, y)) ++run;
      if (run > 1) {
        out.insert(out.end(), {static_cast<std::uint8_t>(0x80 | (run - 1)), skin.pixel(x, y)});
      } else {
        out.insert(out.end(), {0, skin.pixel(x, y)});
      }
      x += run;
    }
  return out;
}

Bytes withField(Bytes bytes, size_t at, std::uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  return bytes;
}

class SeedFolder {
 public:
  explicit SeedFolder(std::string root) : root_(std::move(root)) {}
  void add(const std::string& target, const std::string& name, const Bytes& bytes) {
    const std::string folder = joinPath(root_, target);
    fs::create_directories(folder);
    if (writeFileAtomically(joinPath(folder, name), bytes) != 0) failed_ = true;
  }
  void addFile(const std::string& target, const std::string& path) {
    FileReadResult file = readWholeFile(path);
    if (!file.ok())
      failed_ = true;
    else
      add(target, fileNameOf(path), file.bytes);
  }
  bool failed() const { return failed_; }

 private:
  std::string root_;
  bool failed_ = false;
};

void addModels(SeedFolder& seeds, const std::string& base) {
  Md2Data box = makeBoxModel(10.0f, 8, 8, 3);
  box.skinNames = {"s8.pcx", "models/s8.bmp", "missing.pcx"};
  Md2Data strip = makeStripModel(3, 16, 16);
  strip.skinNames = {"s16.pcx"};
  Md2Data bare = makeStripModel(1, 64, 64);
  for (const char* target : {"md2_fuzz", "model_load_fuzz", "companion_fuzz", "md2_writer_fuzz"}) {
    seeds.add(target, "box.md2", encodeMd2(box));
    seeds.add(target, "strip.md2", encodeMd2(strip));
    seeds.add(target, "bare.md2", encodeMd2(bare));
    seeds.addFile(target, joinPath(base, kDemoWeaponPath));
  }
  // The demo creature is large; the parser target takes it, the whole load
  // would spend each run rendering it.
  seeds.addFile("md2_fuzz", joinPath(base, kDemoModelPath));
}

// Two-triangle mappings: the shape the mapping target's model has.
void addMappings(SeedFolder& seeds) {
  Model model;
  model.triangleCount = 2;
  model.vertexCount = 5;
  model.skinWidth = 64;
  model.skinHeight = 32;
  model.triangles[0].vertexIndex = {0, 1, 2};
  model.triangles[1].vertexIndex = {2, 3, 4};
  model.triangles[0].cornerSt = {StCoord{0, 0}, {63, 0}, {0, 31}};
  model.triangles[1].cornerSt = {StCoord{63, 31}, {10, 20}, {63, 0}};
  seeds.add("mapping_fuzz", "two_triangles.pmp", encodeMappingFile(model));
  model.skinWidth = 128;
  seeds.add("mapping_fuzz", "wider_skin.pmp", encodeMappingFile(model));
}

void addImages(SeedFolder& seeds, const std::string& base) {
  for (auto [w, h] : {std::pair{1, 1}, {7, 3}, {8, 8}, {33, 17}}) {
    const Skin skin = gradientSkin(w, h);
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    seeds.add("pcx_fuzz", size + ".pcx", encodeSkinPcx(skin));
    seeds.add("pcx_fuzz", size + "-runs.pcx", runLengthPcx(skin));
    seeds.add("bmp_fuzz", size + ".bmp", encodeSkinBmp(skin));
    seeds.add("bmp_fuzz", size + "-rle8.bmp", runLengthBmp(skin));
    seeds.add("png_fuzz", size + ".png", encodeSkinPng(skin));
    seeds.add("png_fuzz", size + "-rgb.png", encodeRgbPng(pictureOfSkin(skin)));
    seeds.add("tga_fuzz", size + ".tga", encodeSkinTga(skin));
    seeds.add("tga_fuzz", size + "-rle.tga", runLengthTga(skin, false));
    seeds.add("tga_fuzz", size + "-grey-rle.tga", runLengthTga(skin, true));
    seeds.add("tga_fuzz", size + "-rgb.tga", encodeRgbTga(pictureOfSkin(skin)));
  }
  const Bytes bmp = encodeSkinBmp(gradientSkin(8, 8));
  seeds.add("bmp_fuzz", "top-down.bmp", withField(bmp, 22, static_cast<std::uint32_t>(-8)));
  seeds.add("bmp_fuzz", "16-colours.bmp", withField(bmp, 46, 16));
  seeds.addFile("pcx_fuzz", joinPath(base, kDemoWeaponSkinPath));
  seeds.addFile("palette_fuzz", joinPath(base, kDemoPalettePath));
  seeds.add("palette_fuzz", "skin.pcx", encodeSkinPcx(gradientSkin(8, 8)));
  seeds.add("palette_fuzz", "skin.bmp", bmp);
  seeds.add("palette_fuzz", "16-colours.bmp", withField(bmp, 46, 16));
}

// Small archives of small files, as a game folder holds them.
void addArchives(SeedFolder& seeds) {
  const Bytes skin = encodeSkinPcx(gradientSkin(7, 3));
  const test::ArchiveFiles one{{"pics/colormap.pcx", skin}};
  const test::ArchiveFiles several{{"models/m/tris.md2", encodeMd2(makeStripModel(1, 8, 8))},
                                   {"models\\m\\Skin.PCX", skin},
                                   {"sound/empty.wav", {}},
                                   {"readme.txt", {'h', 'i'}}};
  for (const auto& [name, files] : {std::pair{"one", one}, {"several", several}}) {
    seeds.add("pack_fuzz", std::string(name) + ".pak", test::packBytes(files));
    seeds.add("zip_fuzz", std::string(name) + ".pk3", test::zipBytes(files));
  }
  seeds.add("pack_fuzz", "empty.pak", test::packBytes({}));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: pelt-fuzz-seeds FOLDER\n";
    return 2;
  }
  const std::string demo = joinPath(argv[1], "demo");
  std::string error;
  if (!writeDemoGameFolder(demo, &error)) {
    std::cerr << error << "\n";
    return 1;
  }
  const std::string base = joinPath(demo, "baseq2");
  SeedFolder seeds(argv[1]);
  addModels(seeds, base);
  addImages(seeds, base);
  addMappings(seeds);
  addArchives(seeds);
  return seeds.failed() ? 1 : 0;
}
