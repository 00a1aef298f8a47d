#include "support/malformed_corpus.h"

#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <filesystem>
#include <limits>
#include <stdexcept>

#include "app/model_loading.h"
#include "app/palette_commands.h"
#include "model/md2_format.h"
#include "skins/byte_order.h"
#include "skins/skin_image.h"
#include "support/fixtures.h"

namespace pelt::test {

namespace {

void put32(Bytes& b, size_t at, std::uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}
void put16(Bytes& b, size_t at, std::uint16_t v) {
  b.at(at) = static_cast<std::uint8_t>(v);
  b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}
Bytes cut(Bytes b, size_t size) {
  b.resize(size);
  return b;
}

// MD2 header fields by byte offset.
enum : size_t {
  kSkinW = 8,
  kSkinH = 12,
  kSkins = 20,
  kVerts = 24,
  kSts = 28,
  kTris = 32,
  kGls = 36,
  kFrames = 40,
  kSkinOfs = 44,
  kStOfs = 48,
  kTriOfs = 52,
  kFrameOfs = 56,
};

Md2Data baseModel(std::vector<std::string> names = {kCorpusSkinName}) {
  return quadStripMd2(2, kCorpusSkinSide, kCorpusSkinSide, std::move(names), 2);
}

void addMd2(std::vector<CorpusFile>& out) {
  const Bytes good = encodeMd2(baseModel());
  const std::uint32_t size = static_cast<std::uint32_t>(good.size());
  const std::uint32_t triOfs = readU32(&good[kTriOfs]);
  const std::uint32_t frameOfs = readU32(&good[kFrameOfs]);
  auto field = [&](size_t at, std::uint32_t v) {
    Bytes b = good;
    put32(b, at, v);
    return b;
  };
  auto frameFloat = [&](int index, float v) {
    return field(frameOfs + 4 * index, std::bit_cast<std::uint32_t>(v));
  };
  auto model = [](Md2Data d) { return encodeMd2(d); };
  const std::string notMd2 = kNotMd2Message;
  auto refuse = [&](const char* name, Bytes b, const std::string& message = kDamagedMd2Message) {
    out.push_back({std::string(name) + ".md2", CorpusKind::Md2, std::move(b), true, message});
  };
  auto accept = [&](const char* name, Bytes b) {
    out.push_back({std::string(name) + ".md2", CorpusKind::Md2, std::move(b), false, ""});
  };
  refuse("empty", {}, notMd2);
  refuse(
      "idp3_magic",
      [&] {
        Bytes b = good;
        b[3] = '3';
        return b;
      }(),
      notMd2);
  refuse("header_cut", cut(good, 40));
  refuse("last_frame_cut", cut(good, size - 1));
  refuse("vertices_limit_plus_one", field(kVerts, kMaxVertices + 1));
  refuse("triangles_limit_plus_one", field(kTris, kMaxTriangles + 1));
  refuse("st_limit_plus_one", field(kSts, kMaxStCoords + 1));
  refuse("vertices_negative", field(kVerts, 0xFFFFFFFF));
  refuse("skins_negative", field(kSkins, 0x80000000));
  refuse("frames_huge", field(kFrames, 0x7FFFFFFF));
  refuse("skin_offset_past_end", field(kSkinOfs, size));
  refuse("st_offset_past_end", field(kStOfs, size - 2));
  refuse("triangle_offset_negative", field(kTriOfs, 0xFFFFFFF0));
  refuse("frame_offset_one_past", field(kFrameOfs, frameOfs + 1));
  refuse("skin_width_zero", field(kSkinW, 0));
  refuse("skin_height_limit_plus_one", field(kSkinH, kMaxImageSide + 1));
  refuse("skin_width_negative", field(kSkinW, 0xFFFFFF00));
  refuse("vertex_index_out_of_range", [&] {
    Bytes b = good;
    put16(b, triOfs + 2, 6);
    return b;
  }());
  refuse("vertex_index_negative", [&] {
    Bytes b = good;
    put16(b, triOfs, 0xFFFF);
    return b;
  }());
  refuse("st_index_out_of_range", [&] {
    Bytes b = good;
    put16(b, triOfs + 10, 8);
    return b;
  }());
  refuse("scale_nan", frameFloat(1, std::numeric_limits<float>::quiet_NaN()));
  refuse("translate_infinite", frameFloat(3, std::numeric_limits<float>::infinity()));
  refuse("scale_overflows_at_255", frameFloat(2, 3e37f));
  refuse("skins_past_memory_budget",
         model(quadStripMd2(1, 4096, 4096, std::vector<std::string>(32, "gone.pcx"), 1)));

  accept("scale_huge_but_finite", frameFloat(0, 1e20f));
  accept("scale_tiny", frameFloat(0, 1e-44f));
  accept("gl_count_huge", field(kGls, 0x7FFFFFFF));
  accept("version_zero", field(4, 0));
  // Blocks that overlap each other or the header are read as what they say.
  accept("skin_names_over_header", field(kSkinOfs, 0));
  accept("st_over_triangles", field(kStOfs, triOfs));
  accept("skin_name_unterminated", model(baseModel({std::string(64, 'x')})));
  accept("frame_name_unterminated", [&] {
    Md2Data d = baseModel();
    d.frames[0].name = std::string(16, 'f');
    return model(d);
  }());
  accept("no_frames", [&] {
    Md2Data d = baseModel();
    d.frames.clear();
    return model(d);
  }());
  accept("nothing_at_all", [&] {
    Md2Data d;
    d.skinWidth = d.skinHeight = 8;
    d.frames.resize(1);
    return model(d);
  }());
  accept("skin_name_absolute", model(baseModel({"/etc/passwd"})));
  accept("skin_name_parent", model(baseModel({"../../corpus/skin.pcx"})));
  accept("skin_name_backslash_parent", model(baseModel({"corpus\\..\\..\\x.pcx"})));
  accept("skin_name_fifo", model(baseModel({"corpus/fifo_skin.pcx"})));
  accept("skin_name_folder", model(baseModel({"corpus"})));
  accept("skin_name_wrong_size", model(baseModel({"corpus/wide.pcx"})));
  accept("skin_name_empty", model(baseModel({""})));
  for (auto [name, special] : {std::pair{"special_fifo.md2", Special::Fifo},
                               {"special_folder.md2", Special::Folder},
                               {"special_dangling_link.md2", Special::DanglingLink}})
    out.push_back({name, CorpusKind::Md2, {}, true, kLoadErrorMessage, special});
}

void addPcx(std::vector<CorpusFile>& out) {
  const Bytes good = encodeSkinPcx(patternSkin(kCorpusSkinSide, kCorpusSkinSide));
  auto patched = [&](size_t at, std::uint16_t v, Bytes b = {}) {
    if (b.empty()) b = good;
    put16(b, at, v);
    return b;
  };
  auto refuse = [&](const char* name, Bytes b, const char* message) {
    out.push_back({std::string(name) + ".pcx", CorpusKind::Skin, std::move(b), true, message});
  };
  auto accept = [&](const char* name, Bytes b) {
    out.push_back({std::string(name) + ".pcx", CorpusKind::Skin, std::move(b), false, ""});
  };
  refuse("empty", {}, kNotValidSkinMessage);
  refuse("gif_signature", {'G', 'I', 'F', '8', '9', 'a'}, kNotValidSkinMessage);
  refuse("header_cut", cut(good, 100), kNotValidSkinMessage);
  refuse(
      "version_3",
      [&] {
        Bytes b = good;
        b[1] = 3;
        return b;
      }(),
      kNotValidSkinMessage);
  refuse(
      "bits_4",
      [&] {
        Bytes b = good;
        b[3] = 4;
        return b;
      }(),
      kPcxNot8BitMessage);
  refuse(
      "planes_3",
      [&] {
        Bytes b = good;
        b[65] = 3;
        return b;
      }(),
      kPcxNot8BitMessage);
  refuse("xmax_below_xmin", patched(4, 20), kNotValidSkinMessage);
  refuse("width_limit_plus_one", patched(8, kMaxImageSide), kImageTooLargeMessage);
  refuse("height_huge", patched(10, 0x7FFF, patched(6, 0x8000)), kImageTooLargeMessage);
  accept("width_at_limit", patched(8, kMaxImageSide - 1));
  accept("run_past_image_end", [&] {
    Bytes b = cut(good, 128);
    b.push_back(0xFF);
    b.push_back(9);
    return b;
  }());
  accept("run_without_value", [&] {
    Bytes b = cut(good, 128);
    b.push_back(0xC5);
    return b;
  }());
  accept("no_pixels_no_palette", cut(good, 128));
  accept("stride_below_width", patched(66, 2));
  accept("stride_huge", patched(66, 0xFFFF));
  accept("no_palette_marker", [&] {
    Bytes b = good;
    b[b.size() - 769] = 0;
    return b;
  }());
  accept("zero_runs_only", [&] {
    Bytes b = cut(good, 128);
    b.resize(2000, 0xC0);
    return b;
  }());
  out.push_back({"special_fifo.pcx", CorpusKind::Skin, {}, true, "", Special::Fifo});
}

void addBmp(std::vector<CorpusFile>& out) {
  const Bytes good = encodeSkinBmp(patternSkin(kCorpusSkinSide, kCorpusSkinSide));
  auto field = [&](size_t at, std::uint32_t v) {
    Bytes b = good;
    put32(b, at, v);
    return b;
  };
  auto refuse = [&](const char* name, Bytes b, const char* message) {
    out.push_back({std::string(name) + ".bmp", CorpusKind::Skin, std::move(b), true, message});
  };
  auto accept = [&](const char* name, Bytes b) {
    out.push_back({std::string(name) + ".bmp", CorpusKind::Skin, std::move(b), false, ""});
  };
  refuse("header_cut", cut(good, 30), kNotValidSkinMessage);
  refuse(
      "bits_24",
      [&] {
        Bytes b = good;
        put16(b, 28, 24);
        return b;
      }(),
      kBmpNot8BitMessage);
  refuse("compression_png", field(30, 5), kBmpCompressedMessage);
  refuse("info_header_12", field(14, 12), kNotValidSkinMessage);
  refuse("width_zero", field(18, 0), kNotValidSkinMessage);
  refuse("height_zero", field(22, 0), kNotValidSkinMessage);
  refuse("width_limit_plus_one", field(18, kMaxImageSide + 1), kImageTooLargeMessage);
  refuse("height_most_negative", field(22, 0x80000000), kImageTooLargeMessage);
  accept("top_down", field(22, static_cast<std::uint32_t>(-kCorpusSkinSide)));
  accept("pixels_past_end", field(10, 0x7FFFFFFF));
  accept("colours_used_huge", field(46, 0xFFFFFFFF));
  accept("colour_table_past_end", field(14, 0x10000000));
  accept("pixels_cut", cut(good, good.size() - 20));
  accept("width_7", field(18, 7));
  // RLE8 data that runs past its row, the image or the file.
  auto rle8 = [&](Bytes data) {
    Bytes b = cut(field(30, 1), 1078);
    b.insert(b.end(), data.begin(), data.end());
    return b;
  };
  accept("rle8_run_past_row", rle8({200, 7, 0, 0, 0, 1}));
  accept("rle8_move_past_image", rle8({0, 2, 250, 250, 3, 9}));
  accept("rle8_literal_past_file_end", rle8({2, 5, 0, 40, 1, 2, 3}));
  accept("rle8_without_end_marker", rle8({8, 1, 0, 0, 8, 2}));
  accept("rle8_odd_escape_at_end", rle8({0}));
  out.push_back({"special_folder.bmp", CorpusKind::Skin, {}, true, "", Special::Folder});
}

void addPalettes(std::vector<CorpusFile>& out) {
  const Bytes bmp = encodeSkinBmp(patternSkin(4, 4));
  auto refuse = [&](const char* name, Bytes b) {
    out.push_back({name, CorpusKind::Palette, std::move(b), true, kNoPaletteMessage});
  };
  auto accept = [&](const char* name, Bytes b) {
    out.push_back({name, CorpusKind::Palette, std::move(b), false, ""});
  };
  refuse("short_767.act", Bytes(767, 1));
  accept("exact_768.act", Bytes(768, 2));
  refuse("unknown_769.act", Bytes(769, 3));
  refuse("bmp_24_bit.bmp", [&] {
    Bytes b = bmp;
    put16(b, 28, 24);
    return b;
  }());
  accept("bmp_16_colours.bmp", [&] {
    Bytes b = bmp;
    put32(b, 46, 16);
    return b;
  }());
  refuse("bmp_table_past_end.bmp", [&] {
    Bytes b = bmp;
    put32(b, 14, 0x7FFFFF00);
    return b;
  }());
  refuse("bmp_shorter_than_act.bmp", [&] {
    Bytes b(40, 0);
    b[0] = 'B';
    b[1] = 'M';
    return b;
  }());
  accept("pcx_palette.pcx", encodeSkinPcx(patternSkin(4, 4)));
  out.push_back(
      {"special_fifo.act", CorpusKind::Palette, {}, true, kNoPaletteMessage, Special::Fifo});
  out.push_back(
      {"special_folder.act", CorpusKind::Palette, {}, true, kNoPaletteMessage, Special::Folder});
}

}  // namespace

std::vector<CorpusFile> malformedCorpus() {
  std::vector<CorpusFile> corpus;
  addMd2(corpus);
  addPcx(corpus);
  addBmp(corpus);
  addPalettes(corpus);
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
  write(dir + "/skin.pcx", encodeSkinPcx(patternSkin(kCorpusSkinSide, kCorpusSkinSide, 3)));
  write(dir + "/wide.pcx", encodeSkinPcx(patternSkin(2 * kCorpusSkinSide, kCorpusSkinSide)));
  if (::mkfifo((dir + "/fifo_skin.pcx").c_str(), 0600) != 0) throw std::runtime_error("mkfifo");
  std::vector<std::string> paths;
  for (const CorpusFile& file : corpus) {
    const std::string path = dir + "/" + file.name;
    int status = 0;
    switch (file.special) {
      case Special::None:
        write(path, file.bytes);
        break;
      case Special::Fifo:
        status = ::mkfifo(path.c_str(), 0600);
        break;
      case Special::Folder:
        fs::create_directory(path);
        break;
      case Special::DanglingLink:
        status = ::symlink((path + ".nowhere").c_str(), path.c_str());
        break;
    }
    if (status != 0) throw std::runtime_error("cannot create " + path);
    paths.push_back(path);
  }
  return paths;
}

}  // namespace pelt::test
