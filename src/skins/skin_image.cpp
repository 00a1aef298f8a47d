#include "skins/skin_image.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "platform/platform.h"
#include "platform/safe_save.h"
#include "skins/byte_order.h"
#include "skins/png_file.h"
#include "skins/tga_file.h"

namespace pelt {

namespace {

constexpr size_t kPcxHeaderSize = 128;
constexpr size_t kPaletteBytes = 768;
constexpr std::uint8_t kPcxPaletteMarker = 0x0C;
constexpr std::uint8_t kPcxRunFlag = 0xC0;
constexpr size_t kBmpFileHeaderSize = 14;
constexpr size_t kBmpInfoHeaderSize = 40;
constexpr std::uint32_t kBmpPixelOffset = 1078;
constexpr std::uint32_t kBmpUncompressed = 0;
constexpr std::uint32_t kBmpRle8 = 1;
// Second byte after a zero count in RLE8 data.
constexpr std::uint8_t kRleEndOfLine = 0;
constexpr std::uint8_t kRleEndOfBitmap = 1;
constexpr std::uint8_t kRleDelta = 2;

SkinDecodeResult failure(const char* message) { return {nullptr, message}; }

bool sizeAcceptable(long width, long height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide;
}

SkinDecodeResult decodePcx(std::span<const std::uint8_t> file) {
  if (file.size() < kPcxHeaderSize) return failure(kNotValidSkinMessage);
  const std::uint8_t* h = file.data();
  if (h[3] != 8 || h[65] != 1) return failure(kPcxNot8BitMessage);
  long width = long{readI16(h + 8)} - readI16(h + 4) + 1;
  long height = long{readI16(h + 10)} - readI16(h + 6) + 1;
  if (width <= 0 || height <= 0) return failure(kNotValidSkinMessage);
  if (!sizeAcceptable(width, height)) return failure(kImageTooLargeMessage);

  auto skin = std::make_unique<Skin>();
  allocateSkin(*skin, static_cast<int>(width), static_cast<int>(height));
  skin->fileFormat = kFormatPcx;

  size_t end = file.size();
  if (file.size() >= kPcxHeaderSize + kPaletteBytes + 1) {
    std::copy(file.end() - kPaletteBytes, file.end(), skin->palette.begin());
    if (file[file.size() - kPaletteBytes - 1] == kPcxPaletteMarker) end -= kPaletteBytes + 1;
  }

  // Rows are bytesPerLine long on disk; runs may cross row ends.
  const size_t w = static_cast<size_t>(width), rows = static_cast<size_t>(height);
  const size_t stride = std::max<size_t>(readU16(h + 66), w);
  const bool rle = h[2] != 0;
  size_t row = 0, col = 0;
  auto put = [&](std::uint8_t value, size_t count) {
    while (count > 0 && row < rows) {
      size_t n = std::min(count, stride - col);
      if (col < w) std::memset(&skin->pixels[row * w + col], value, std::min(n, w - col));
      col += n;
      count -= n;
      if (col == stride) {
        col = 0;
        ++row;
      }
    }
  };
  for (size_t in = kPcxHeaderSize; row < rows && in < end;) {
    std::uint8_t b = file[in++];
    if (rle && b >= kPcxRunFlag) {
      if (in >= end) break;
      put(file[in++], b - kPcxRunFlag);
    } else {
      put(b, 1);
    }
  }
  skin->storedPixels = skin->pixels;
  return {std::move(skin), ""};
}

// RLE8 pixel data: (count, value) runs, or a zero count followed by end of
// line, end of bitmap, a delta move or a literal group padded to an even
// length. Runs and moves past a row or the image are clipped; pixels the
// data never reaches stay 0.
void decodeRle8(std::span<const std::uint8_t> data, bool topDown, Skin& skin) {
  const long width = skin.width, height = skin.height;
  long x = 0, k = 0;  // k counts rows in file order
  auto put = [&](std::uint8_t value) {
    if (x < width) {
      const long row = topDown ? k : height - 1 - k;
      skin.pixels[static_cast<size_t>(row * width + x)] = value;
    }
    ++x;
  };
  size_t i = 0;
  while (i + 1 < data.size() && k < height) {
    const std::uint8_t count = data[i], value = data[i + 1];
    i += 2;
    if (count > 0) {
      for (int n = 0; n < count && x < width; ++n) put(value);
    } else if (value == kRleEndOfLine) {
      x = 0;
      ++k;
    } else if (value == kRleEndOfBitmap) {
      break;
    } else if (value == kRleDelta) {
      if (i + 1 >= data.size()) break;
      x += data[i];
      k += data[i + 1];
      i += 2;
    } else {
      for (size_t n = 0; n < value && i + n < data.size(); ++n) put(data[i + n]);
      i += value + (value & 1u);
    }
  }
}

size_t bmpStride(long width, int bits) {
  return (static_cast<size_t>(width) * bits / 8 + 3) & ~size_t{3};
}

// Blue, green, red per pixel; rows as far as the file has them, the rest black.
SkinDecodeResult decodeBmp24(std::span<const std::uint8_t> file, long width, long height,
                             bool topDown) {
  auto picture = std::make_unique<TrueColourPicture>();
  picture->width = static_cast<int>(width);
  picture->height = static_cast<int>(height);
  picture->fileFormat = kFormatBmp;
  picture->rgb.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
  const std::uint64_t pixelOffset = readU32(file.data() + 10);
  const size_t stride = bmpStride(width, 24), rowBytes = static_cast<size_t>(width) * 3;
  for (long k = 0; k < height; ++k) {
    const std::uint64_t at = pixelOffset + static_cast<std::uint64_t>(k) * stride;
    if (at >= file.size()) break;
    const size_t count = static_cast<size_t>(std::min<std::uint64_t>(rowBytes, file.size() - at));
    std::uint8_t* row = &picture->rgb[static_cast<size_t>(topDown ? k : height - 1 - k) * rowBytes];
    for (size_t i = 0; i + 2 < count; i += 3) {
      row[i] = file[at + i + 2];
      row[i + 1] = file[at + i + 1];
      row[i + 2] = file[at + i];
    }
  }
  return {nullptr, "", std::move(picture)};
}

SkinDecodeResult decodeBmp(std::span<const std::uint8_t> file) {
  if (file.size() < kBmpFileHeaderSize + kBmpInfoHeaderSize) return failure(kNotValidSkinMessage);
  const std::uint8_t* h = file.data();
  std::uint32_t pixelOffset = readU32(h + 10);
  std::uint32_t headerSize = readU32(h + 14);
  if (headerSize < kBmpInfoHeaderSize) return failure(kNotValidSkinMessage);
  const bool trueColour = readU16(h + 28) == 24 && readU32(h + 30) == kBmpUncompressed;
  if (readU16(h + 28) != 8 && !trueColour) return failure(kBmpNot8BitMessage);
  const std::uint32_t compression = readU32(h + 30);
  if (compression != kBmpUncompressed && compression != kBmpRle8)
    return failure(kBmpCompressedMessage);
  long width = readI32(h + 18);
  long rawHeight = readI32(h + 22);
  bool topDown = rawHeight < 0;
  long height = topDown ? -rawHeight : rawHeight;
  if (width <= 0 || height <= 0) return failure(kNotValidSkinMessage);
  if (!sizeAcceptable(width, height)) return failure(kImageTooLargeMessage);
  if (trueColour) return decodeBmp24(file, width, height, topDown);

  auto skin = std::make_unique<Skin>();
  allocateSkin(*skin, static_cast<int>(width), static_cast<int>(height));
  skin->fileFormat = kFormatBmp;

  std::uint32_t colours = readU32(h + 46);
  if (colours == 0 || colours > 256) colours = 256;
  std::uint64_t tableStart = kBmpFileHeaderSize + std::uint64_t{headerSize};
  for (std::uint32_t i = 0; i < colours; ++i) {
    std::uint64_t at = tableStart + std::uint64_t{i} * 4;
    if (at + 3 > file.size()) break;
    skin->palette[i * 3 + 0] = file[at + 2];
    skin->palette[i * 3 + 1] = file[at + 1];
    skin->palette[i * 3 + 2] = file[at + 0];
  }

  if (compression == kBmpRle8) {
    if (pixelOffset < file.size()) decodeRle8(file.subspan(pixelOffset), topDown, *skin);
    skin->storedPixels = skin->pixels;
    return {std::move(skin), ""};
  }
  size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
  for (long k = 0; k < height; ++k) {
    std::uint64_t at = std::uint64_t{pixelOffset} + static_cast<std::uint64_t>(k) * stride;
    if (at >= file.size()) break;
    size_t count = static_cast<size_t>(std::min<std::uint64_t>(width, file.size() - at));
    long row = topDown ? k : height - 1 - k;
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(at), count,
                skin->pixels.begin() + row * width);
  }
  skin->storedPixels = skin->pixels;
  return {std::move(skin), ""};
}

bool writeSkin(Platform& platform, Skin& skin, const std::string& path, const Bytes& bytes,
               std::uint8_t format) {
  if (!saveFileOrWarn(platform, path, bytes)) return false;
  skin.fileFormat = format;
  return true;
}

bool isPcx(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[0] == 0x0A && bytes[1] == 0x05;
}

bool isBmp(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

// The most pixel data a header allows: two bytes a pixel for a PCX (a run
// of one), a run per pixel and an end of line per row for an RLE8 BMP.
ReadPlan pcxReadPlan(const std::uint8_t* h) {
  const long width = long{readI16(h + 8)} - readI16(h + 4) + 1;
  const long height = long{readI16(h + 10)} - readI16(h + 6) + 1;
  if (!sizeAcceptable(width, height)) return {kPcxHeaderSize, 0};
  const std::uint64_t stride = std::max<std::uint64_t>(readU16(h + 66), std::uint64_t(width));
  return {kPcxHeaderSize + 2 * stride * std::uint64_t(height), kPaletteBytes + 1};
}

ReadPlan bmpReadPlan(const std::uint8_t* h) {
  const long width = readI32(h + 18), height = std::labs(long{readI32(h + 22)});
  if (!sizeAcceptable(width, height)) return {kBmpFileHeaderSize + kBmpInfoHeaderSize, 0};
  const auto w = std::uint64_t(width), rows = std::uint64_t(height);
  const std::uint64_t pixels = readU32(h + 30) == kBmpRle8
                                   ? (2 * w + 2) * rows + 2
                                   : bmpStride(width, readU16(h + 28) == 24 ? 24 : 8) * rows;
  const std::uint64_t table = kBmpFileHeaderSize + std::uint64_t{readU32(h + 14)} + 256 * 4;
  return {std::max(table, std::uint64_t{readU32(h + 10)} + pixels), 0};
}

}  // namespace

ReadPlan skinImageReadPlan(std::span<const std::uint8_t> start) {
  if (isPcx(start))
    return start.size() < kPcxHeaderSize ? ReadPlan{kPcxHeaderSize, 0} : pcxReadPlan(start.data());
  if (isBmp(start)) {
    constexpr size_t kHeaders = kBmpFileHeaderSize + kBmpInfoHeaderSize;
    return start.size() < kHeaders ? ReadPlan{kHeaders, 0} : bmpReadPlan(start.data());
  }
  if (isPng(start)) return pngReadPlan(start);
  if (isTga(start)) return tgaReadPlan(start);
  return {UINT64_MAX, 0};  // a format whose header gives no length is read whole
}

SkinDecodeResult decodeSkinImage(std::span<const std::uint8_t> bytes) {
  if (isPcx(bytes)) return decodePcx(bytes);
  if (isBmp(bytes)) return decodeBmp(bytes);
  if (isPng(bytes)) return decodePng(bytes);
  if (isTga(bytes)) return decodeTga(bytes);
  return failure(kNotValidSkinMessage);
}

namespace {

std::unique_ptr<Skin> skinFromFile(Platform& platform, const FileReadResult& read,
                                   const std::string& requested, const GameFile& file,
                                   const TrueColourReducer& reducer) {
  if (!read.ok()) return nullptr;
  SkinDecodeResult result = decodeSkinImage(read.bytes);
  if (result.picture) {
    if (!reducer) {
      platform.messageBox(file.path + kTrueColourRefusedMessage, MessageButtons::Ok);
      return nullptr;
    }
    result.skin = reducer(*result.picture, file.path);
    if (!result.skin) return nullptr;
    result.skin->fileFormat = result.picture->fileFormat;
    result.skin->reducedFromTrueColour = true;
  }
  if (!result.skin) {
    platform.messageBox(
        result.namesFile ? "Unable to read " + file.path + ": " + result.message : result.message,
        MessageButtons::Ok);
    return nullptr;
  }
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(file.path, ec);
  result.skin->name = requested;
  result.skin->filePath = ec ? file.path : absolute.lexically_normal().string();
  result.skin->hasFile = !file.archived();
  result.skin->source = file.source;
  result.skin->unlinked = 0;
  return std::move(result.skin);
}

}  // namespace

std::optional<GameFile> findSkinFile(GameFileSystem& files, const std::string& name,
                                     FolderListings* listings) {
  std::optional<GameFile> found = files.find(name, listings);
  if (found || skinFormatOfPath(name) != kFormatPcx) return found;
  const std::string stem = name.substr(0, name.size() - 4);
  for (const char* extension : {".png", ".tga"})
    if ((found = files.find(stem + extension, listings))) return found;
  return std::nullopt;
}

std::unique_ptr<Skin> readSkinImage(Platform& platform, const std::string& path,
                                    const TrueColourReducer& reducer) {
  return skinFromFile(platform, readFile(path, skinImageReadPlan), path, GameFile{path, "", -1, {}},
                      reducer);
}

std::unique_ptr<Skin> readGameSkin(Platform& platform, GameFileSystem& files,
                                   const std::string& path, const TrueColourReducer& reducer) {
  GameFile found;
  FileReadResult read = files.readPath(path, &found, skinImageReadPlan);
  if (found.path.empty()) found.path = path;
  return skinFromFile(platform, read, path, found, reducer);
}

std::unique_ptr<Skin> readGameSkin(Platform& platform, GameFileSystem& files, const GameFile& file,
                                   const TrueColourReducer& reducer) {
  return skinFromFile(platform, files.read(file, skinImageReadPlan), file.path, file, reducer);
}

Bytes encodeSkinPcx(const Skin& skin) {
  Bytes out;
  out.reserve(kPcxHeaderSize + skin.pixels.size() * 2 + 1 + kPaletteBytes);
  out.push_back(0x0A);
  out.push_back(5);
  out.push_back(1);
  out.push_back(8);
  putU16(out, 0);
  putU16(out, 0);
  putU16(out, static_cast<std::uint32_t>(skin.width - 1));
  putU16(out, static_cast<std::uint32_t>(skin.height - 1));
  putU16(out, static_cast<std::uint32_t>(skin.width));
  putU16(out, static_cast<std::uint32_t>(skin.height));
  out.resize(64, 0);  // 16-colour palette
  out.push_back(0);   // reserved
  out.push_back(1);   // planes
  putU16(out, static_cast<std::uint32_t>(skin.width));
  putU16(out, 2);
  out.resize(kPcxHeaderSize, 0);
  for (std::uint8_t value : skin.pixels) {
    if (value >= kPcxRunFlag) out.push_back(kPcxRunFlag | 1);
    out.push_back(value);
  }
  out.push_back(kPcxPaletteMarker);
  out.insert(out.end(), skin.palette.begin(), skin.palette.end());
  return out;
}

Bytes encodeSkinBmp(const Skin& skin) {
  size_t stride = (static_cast<size_t>(skin.width) + 3) & ~size_t{3};
  size_t imageBytes = stride * static_cast<size_t>(skin.height);
  Bytes out;
  out.reserve(kBmpPixelOffset + imageBytes);
  out.push_back('B');
  out.push_back('M');
  putU32(out, static_cast<std::uint32_t>(kBmpPixelOffset + imageBytes));
  putU16(out, 0);
  putU16(out, 0);
  putU32(out, kBmpPixelOffset);
  putU32(out, kBmpInfoHeaderSize);
  putU32(out, static_cast<std::uint32_t>(skin.width));
  putU32(out, static_cast<std::uint32_t>(skin.height));
  putU16(out, 1);
  putU16(out, 8);
  putU32(out, 0);  // compression
  putU32(out, 0);  // image size
  putU32(out, 100);
  putU32(out, 100);
  putU32(out, 0);
  putU32(out, 0);
  for (int i = 0; i < 256; ++i) {
    out.push_back(skin.palette[static_cast<size_t>(i) * 3 + 2]);
    out.push_back(skin.palette[static_cast<size_t>(i) * 3 + 1]);
    out.push_back(skin.palette[static_cast<size_t>(i) * 3 + 0]);
    out.push_back(0);
  }
  for (int y = skin.height - 1; y >= 0; --y) {
    auto row = skin.pixels.begin() + static_cast<std::ptrdiff_t>(y) * skin.width;
    out.insert(out.end(), row, row + skin.width);
    out.resize(out.size() + (stride - static_cast<size_t>(skin.width)), 0);
  }
  return out;
}

bool writeSkinPcx(Platform& platform, Skin& skin, const std::string& path) {
  return writeSkin(platform, skin, path, encodeSkinPcx(skin), kFormatPcx);
}

bool writeSkinBmp(Platform& platform, Skin& skin, const std::string& path) {
  return writeSkin(platform, skin, path, encodeSkinBmp(skin), kFormatBmp);
}

Bytes encodeSkin(const Skin& skin, std::uint8_t format) {
  switch (format) {
    case kFormatBmp:
      return encodeSkinBmp(skin);
    case kFormatPng:
      return encodeSkinPng(skin);
    case kFormatTga:
      return encodeSkinTga(skin);
    default:
      return encodeSkinPcx(skin);
  }
}

bool writeSkinInFormat(Platform& platform, Skin& skin, const std::string& path,
                       std::uint8_t format) {
  if (format == kFormatNone) format = kFormatPcx;
  return writeSkin(platform, skin, path, encodeSkin(skin, format), format);
}

namespace {
constexpr std::array<const char*, 5> kExtensions{"", ".pcx", ".bmp", ".png", ".tga"};
constexpr std::array<const char*, 5> kNames{"", "PCX", "BMP", "PNG", "TGA"};
}  // namespace

std::uint8_t skinFormatOfPath(const std::string& path) {
  return skinFormatOfExtension(std::filesystem::path(path).extension().string());
}

std::uint8_t skinFormatOfExtension(const std::string& extension) {
  for (std::uint8_t f = kFormatPcx; f < kExtensions.size(); ++f) {
    const std::string_view known = kExtensions[f];
    if (extension.size() == known.size() &&
        std::equal(known.begin(), known.end(), extension.begin(),
                   [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); }))
      return f;
  }
  return kFormatNone;
}

const char* skinFormatExtension(std::uint8_t format) {
  return format < kExtensions.size() ? kExtensions[format] : "";
}

const char* skinFormatName(std::uint8_t format) {
  return format < kNames.size() ? kNames[format] : "";
}

}  // namespace pelt
