#include "support/malformed_corpus.h"

#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <filesystem>
#include <limits>
#include <span>
#include <stdexcept>
#include <tuple>

#include "app/commands/file_open.h"
#include "app/commands/skins_palette.h"
#include "model/md2_format.h"
#include "skins/byte_order.h"
#include "skins/png_file.h"
#include "skins/skin_image.h"
#include "skins/tga_file.h"
#include "support/fixtures.h"

namespace pelt::test {

namespace {

Bytes patched(Bytes b, size_t at, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) b.at(at + i) = static_cast<std::uint8_t>(value >> 8 * i);
  return b;
}

Bytes cut(Bytes b, size_t size) {
  b.resize(size);
  return b;
}

Bytes joined(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Name, offset, value, width: `width` little-endian bytes of `value` written
// over a good file at the offset; then the message (nullptr: the file is taken).
using Patch = std::tuple<const char*, size_t, std::uint64_t, int, const char*>;

// Adds files to the corpus; names get the kind's extension.
struct Adder {
  std::vector<CorpusFile>& out;
  CorpusKind kind;
  std::string extension;

  void operator()(const std::string& name, Bytes bytes, const char* message,
                  Special special = Special::None) const {
    out.push_back({name + extension, kind, std::move(bytes), message != nullptr,
                   message ? message : "", special});
  }
  void operator()(const Bytes& good, std::span<const Patch> patches) const {
    for (const auto& [name, at, value, width, message] : patches)
      (*this)(name, patched(good, at, value, width), message);
  }
};

std::uint32_t bits(float v) { return std::bit_cast<std::uint32_t>(v); }

// MD2 header fields by byte offset.
enum : size_t { kSkinW = 8, kVerts = 24, kSts = 28, kTris = 32, kGls = 36 };
enum : size_t { kSkinOfs = 44, kStOfs = 48, kTriOfs = 52, kFrameOfs = 56 };

// The side of corpus/skin.pcx, which the corpus models name.
constexpr int kSide = 8;

Md2Data baseModel(std::vector<std::string> names = {"corpus/skin.pcx"}) {
  return quadStripMd2(2, kSide, kSide, std::move(names), 2);
}

void addMd2(const Adder& add) {
  const Bytes good = encodeMd2(baseModel());
  const auto size = static_cast<std::uint32_t>(good.size());
  const std::uint32_t tris = readU32(&good[kTriOfs]), frame = readU32(&good[kFrameOfs]);
  const char* damaged = kDamagedMd2Message;
  add("empty", {}, kNotMd2Message);
  const Patch patches[] = {
      {"idp3_magic", 3, '3', 1, kNotMd2Message},
      {"vertices_limit_plus_one", kVerts, kMaxVertices + 1, 4, damaged},
      {"triangles_limit_plus_one", kTris, kMaxTriangles + 1, 4, damaged},
      {"st_limit_plus_one", kSts, kMaxStCoords + 1, 4, damaged},
      {"skin_offset_past_end", kSkinOfs, size, 4, damaged},
      {"triangle_offset_negative", kTriOfs, 0xFFFFFFF0, 4, damaged},
      {"skin_width_zero", kSkinW, 0, 4, damaged},
      {"vertex_index_out_of_range", tris + 2, 6, 2, damaged},
      {"vertex_index_negative", tris, 0xFFFF, 2, damaged},
      {"st_index_out_of_range", tris + 10, 8, 2, damaged},
      {"scale_nan", frame + 4, bits(std::numeric_limits<float>::quiet_NaN()), 4, damaged},
      {"translate_infinite", frame + 12, bits(std::numeric_limits<float>::infinity()), 4, damaged},
      {"scale_overflows_at_255", frame + 8, bits(3e37f), 4, damaged},
      {"scale_huge_but_finite", frame, bits(1e20f), 4, nullptr},
      {"gl_count_huge", kGls, 0x7FFFFFFF, 4, nullptr},
      {"version_zero", 4, 0, 4, nullptr},
      // Blocks that overlap each other or the header are read as what they say.
      {"skin_names_over_header", kSkinOfs, 0, 4, nullptr},
      {"st_over_triangles", kStOfs, tris, 4, nullptr},
  };
  add(good, patches);
  add("header_cut", cut(good, 40), damaged);
  add("last_frame_cut", cut(good, size - 1), damaged);
  add("skins_past_memory_budget",
      encodeMd2(quadStripMd2(1, 4096, 4096, std::vector<std::string>(32, "gone.pcx"), 1)),
      kTooLargeMd2Message);
  Md2Data longFrameName = baseModel();
  longFrameName.frames[0].name = std::string(16, 'f');
  add("frame_name_unterminated", encodeMd2(longFrameName), nullptr);
  // Skin names that are cut, leave the base folder or name something no skin can be.
  const std::pair<const char*, std::string> skinNames[] = {
      {"unterminated", std::string(64, 'x')}, {"absolute", "/etc/passwd"},
      {"parent", "../../corpus/skin.pcx"},    {"backslash_parent", "corpus\\..\\..\\x.pcx"},
      {"fifo", "corpus/special_fifo.pcx"},    {"folder", "corpus"},
      {"wrong_size", "corpus/wide.pcx"},
  };
  for (const auto& [what, skin] : skinNames)
    add(std::string("skin_name_") + what, encodeMd2(baseModel({skin})), nullptr);
  add("special_fifo", {}, kLoadErrorMessage, Special::Fifo);
  add("special_folder", {}, kLoadErrorMessage, Special::Folder);
  add("special_dangling_link", {}, kLoadErrorMessage, Special::DanglingLink);
}

void addPcx(const Adder& add) {
  const Bytes good = encodeSkinPcx(patternSkin(kSide, kSide));
  const Bytes header = cut(good, 128);
  const char* invalid = kNotValidSkinMessage;
  const Patch patches[] = {
      {"bits_4", 3, 4, 1, kPcxNot8BitMessage},
      {"xmax_below_xmin", 4, 20, 2, invalid},
      {"width_limit_plus_one", 8, kMaxImageSide, 2, kImageTooLargeMessage},
      // ymin -32768, ymax 32767
      {"height_huge", 4, 0x7FFF'0007'8000'0000, 8, kImageTooLargeMessage},
      {"no_palette_marker", good.size() - 769, 0, 1, nullptr},
  };
  add(good, patches);
  add("empty", {}, invalid);
  add("gif_signature", {'G', 'I', 'F', '8', '9', 'a'}, invalid);
  add("header_cut", cut(good, 100), invalid);
  add("run_past_image_end", joined(header, {0xFF, 9}), nullptr);
  add("special_fifo", {}, "", Special::Fifo);
}

void addBmp(const Adder& add) {
  const Bytes good = encodeSkinBmp(patternSkin(kSide, kSide));
  const char* invalid = kNotValidSkinMessage;
  const char* tooLarge = kImageTooLargeMessage;
  const Patch patches[] = {
      {"bits_16", 28, 16, 2, kBmpNot8BitMessage},
      {"compression_png", 30, 5, 4, kBmpCompressedMessage},
      {"width_zero", 18, 0, 4, invalid},
      {"width_limit_plus_one", 18, kMaxImageSide + 1, 4, tooLarge},
      {"height_most_negative", 22, 0x80000000, 4, tooLarge},
      {"pixels_past_end", 10, 0x7FFFFFFF, 4, nullptr},
      {"top_down", 22, static_cast<std::uint32_t>(-kSide), 4, nullptr},
  };
  add(good, patches);
  add("header_cut", cut(good, 30), invalid);
  add("pixels_cut", cut(good, good.size() - 20), nullptr);
  // RLE8 data that runs past its row, the image or the file.
  const Bytes rle8 = cut(patched(good, 30, 1, 4), 1078);
  add("rle8_run_past_row", joined(rle8, {200, 7, 0, 0, 0, 1}), nullptr);
  add("rle8_literal_past_file_end", joined(rle8, {2, 5, 0, 40, 1, 2, 3}), nullptr);
  add("special_folder", {}, "", Special::Folder);
}

std::uint32_t crc32(const std::uint8_t* data, size_t size) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    c ^= data[i];
    for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
  }
  return ~c;
}

void putBigEndian(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// Our writer's PNG (signature, IHDR, then PLTE at byte 33) with a palette
// of `entries` colours in place of its 256.
Bytes withShortPalette(const Bytes& png, std::uint32_t entries) {
  Bytes out(png.begin(), png.begin() + 33);
  Bytes chunk{'P', 'L', 'T', 'E'};
  chunk.insert(chunk.end(), png.begin() + 41, png.begin() + 41 + entries * 3);
  putBigEndian(out, entries * 3);
  out.insert(out.end(), chunk.begin(), chunk.end());
  putBigEndian(out, crc32(chunk.data(), chunk.size()));
  out.insert(out.end(), png.begin() + 33 + 12 + 768, png.end());
  return out;
}

// "{path}" in a message stands for the file's path.
void addPng(const Adder& add) {
  const Bytes good = encodeSkinPng(patternSkin(kSide, kSide));
  const size_t idat = 33 + 12 + 768;  // IDAT's length field
  add("bad_crc", patched(good, 29, good[29] ^ 1u, 1),
      "Unable to read {path}: its PNG data is damaged (IHDR: CRC error)");
  add("truncated_idat", cut(good, idat + 12),
      "Unable to read {path}: its PNG data is damaged (the file ends early)");
  add("huge_dimensions", patched(good, 16, 0x00'00'01'00, 4), kImageTooLargeMessage);
  add("palette_shorter_than_indices", withShortPalette(good, 16),
      "Unable to read {path}: its pixels use colours its palette does not have");
  add("palette_of_every_index", withShortPalette(good, 141), nullptr);  // 140 the highest
}

void addTga(const Adder& add) {
  const Bytes good = encodeSkinTga(patternSkin(kSide, kSide));
  const Bytes header = cut(patched(good, 2, 9, 1), 18 + 768);  // run-length from here on
  auto refused = [](const char* why) { return std::string("Unable to read {path}: ") + why; };
  const std::string mapPastEnd = refused("its colour map goes past the end");
  const std::string runPastEnd = refused("a run goes past the end of the picture");
  const std::string endsEarly = refused("its pixel data ends early");
  const std::string noPixels = refused("its header gives it no pixels");
  add("colour_map_past_end", patched(good, 5, 0xFFFF, 2), mapPastEnd.c_str());
  add("rle_run_past_end", joined(header, {0xFF, 5}), runPastEnd.c_str());
  add("rle_data_past_file_end", joined(header, {0x9F, 5, 0x05, 1, 2}), endsEarly.c_str());
  add("pixels_cut", cut(good, good.size() - 1), endsEarly.c_str());
  add("width_zero", patched(good, 12, 0, 2), noPixels.c_str());
  add("height_huge", patched(good, 14, 0xFFFF, 2), kImageTooLargeMessage);
  add("rle_exact", joined(header, {0x9F, 5, 0x9F, 6}), nullptr);
}

void addPalettes(const Adder& add) {
  const char* refused = kNoPaletteMessage;
  const Patch patches[] = {
      {"bmp_24_bit.bmp", 28, 24, 2, refused},
      {"bmp_table_past_end.bmp", 14, 0x7FFFFF00, 4, refused},
  };
  add(encodeSkinBmp(patternSkin(4, 4)), patches);
  add("short_767.act", Bytes(767, 1), refused);
  add("exact_768.act", Bytes(768, 2), nullptr);
  add("unknown_769.act", Bytes(769, 3), refused);
  add("bmp_shorter_than_act.bmp", patched(Bytes(40, 0), 0, 'B' | 'M' << 8, 2), refused);
  add("pcx_palette.pcx", encodeSkinPcx(patternSkin(4, 4)), nullptr);
  add("special_fifo.act", {}, refused, Special::Fifo);
}

}  // namespace

std::vector<CorpusFile> malformedCorpus() {
  std::vector<CorpusFile> corpus;
  addMd2({corpus, CorpusKind::Md2, ".md2"});
  addPcx({corpus, CorpusKind::Skin, ".pcx"});
  addBmp({corpus, CorpusKind::Skin, ".bmp"});
  addPng({corpus, CorpusKind::Skin, ".png"});
  addTga({corpus, CorpusKind::Skin, ".tga"});
  addPalettes({corpus, CorpusKind::Palette, ""});
  return corpus;
}

std::vector<std::string> writeCorpus(const std::string& folder,
                                     const std::vector<CorpusFile>& corpus) {
  namespace fs = std::filesystem;
  const std::string dir = folder + "/corpus";
  fs::create_directories(dir);
  auto write = [](const std::string& path, const Bytes& bytes) {
    if (writeFileAtomically(path, bytes) != 0) throw std::runtime_error("cannot write " + path);
  };
  write(dir + "/skin.pcx", encodeSkinPcx(patternSkin(kSide, kSide, 3)));
  write(dir + "/wide.pcx", encodeSkinPcx(patternSkin(2 * kSide, kSide)));
  write(dir + "/good.md2", encodeMd2(baseModel()));
  std::vector<std::string> paths;
  for (const CorpusFile& file : corpus) {
    const std::string path = dir + "/" + file.name;
    int status = 0;
    if (file.special == Special::None) write(path, file.bytes);
    if (file.special == Special::Fifo) status = ::mkfifo(path.c_str(), 0600);
    if (file.special == Special::Folder) status = fs::create_directory(path) ? 0 : -1;
    if (file.special == Special::DanglingLink)
      status = ::symlink((path + ".nowhere").c_str(), path.c_str());
    if (status != 0) throw std::runtime_error("cannot create " + path);
    paths.push_back(path);
  }
  return paths;
}

}  // namespace pelt::test
