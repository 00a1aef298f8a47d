#include "skins/png_file.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace pelt {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr size_t kIhdrEnd = 33;  // signature, IHDR's length, type, 13 bytes and CRC
constexpr size_t kIhdrWidth = 16;
// Ancillary chunks (text, profiles) a file may carry beside its pixels.
constexpr std::uint64_t kChunkAllowance = std::uint64_t{8} << 20;
// Palette images gain nothing from filters. On a dithered 2048 x 2048 skin
// level 1 takes 42 ms and is 3 % larger than level 2 (52 ms) and 16 % larger
// than level 6 (295 ms).
constexpr int kCompressionLevel = 1;

// libpng reports through these; the message is copied into a fixed buffer
// because the jump back skips every frame between.
struct PngStream {
  std::span<const std::uint8_t> in;
  size_t at = 0;
  Bytes* out = nullptr;
  char error[160] = "";
};

void readInput(png_structp png, png_bytep data, png_size_t count) {
  auto* stream = static_cast<PngStream*>(png_get_io_ptr(png));
  if (count > stream->in.size() - stream->at) png_error(png, "the file ends early");
  std::memcpy(data, stream->in.data() + stream->at, count);
  stream->at += count;
}

void writeOutput(png_structp png, png_bytep data, png_size_t count) {
  auto* stream = static_cast<PngStream*>(png_get_io_ptr(png));
  bool grown = true;
  try {
    stream->out->insert(stream->out->end(), data, data + count);
  } catch (const std::bad_alloc&) {
    grown = false;
  }
  if (!grown) png_error(png, "out of memory");
}

void flushOutput(png_structp) {}

void onError(png_structp png, png_const_charp message) {
  auto* stream = static_cast<PngStream*>(png_get_error_ptr(png));
  std::snprintf(stream->error, sizeof stream->error, "%s", message);
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

std::uint32_t readBigEndian(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}

struct ReadStruct {
  png_structp png = nullptr;
  png_infop info = nullptr;
  explicit ReadStruct(PngStream& stream) {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &stream, onError, onWarning);
    if (png == nullptr) return;
    info = png_create_info_struct(png);
    png_set_read_fn(png, &stream, readInput);
  }
  ~ReadStruct() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

struct WriteStruct {
  png_structp png = nullptr;
  png_infop info = nullptr;
  explicit WriteStruct(PngStream& stream) {
    png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &stream, onError, onWarning);
    if (png == nullptr) return;
    info = png_create_info_struct(png);
    png_set_write_fn(png, &stream, writeOutput, flushOutput);
  }
  ~WriteStruct() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

struct Layout {
  png_uint_32 width = 0, height = 0;
  int colourType = 0;
  size_t rowBytes = 0;
  png_colorp palette = nullptr;
  int paletteSize = 0;
};

// The functions that call setjmp hold nothing a jump back would leak.
bool readLayout(png_structp png, png_infop info, Layout& layout) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_read_info(png, info);
  layout.width = png_get_image_width(png, info);
  layout.height = png_get_image_height(png, info);
  layout.colourType = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  if (layout.colourType == PNG_COLOR_TYPE_PALETTE) {
    if (depth < 8) png_set_packing(png);
    if (png_get_PLTE(png, info, &layout.palette, &layout.paletteSize) == 0)
      png_error(png, "the palette is missing");
  } else if (depth < 8) {
    png_set_expand_gray_1_2_4_to_8(png);
  }
  if (depth == 16) png_set_strip_16(png);
  if (layout.colourType & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  layout.rowBytes = png_get_rowbytes(png, info);
  return true;
}

bool readRows(png_structp png, png_infop info, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, info);
  return true;
}

SkinDecodeResult refusal(std::string message) {
  return {nullptr, std::move(message), nullptr, true};
}

SkinDecodeResult damaged(const PngStream& stream) {
  return refusal(std::string("its PNG data is damaged (") + stream.error + ")");
}

// Indexed and grey pixels are the skin's indices as they are.
SkinDecodeResult indexedSkin(const Layout& layout, std::vector<std::uint8_t>& pixels) {
  auto skin = std::make_unique<Skin>();
  skin->width = static_cast<int>(layout.width);
  skin->height = static_cast<int>(layout.height);
  skin->fileFormat = kFormatPng;
  if (layout.colourType == PNG_COLOR_TYPE_PALETTE) {
    const std::uint8_t highest = *std::max_element(pixels.begin(), pixels.end());
    if (highest >= layout.paletteSize)
      return refusal("its pixels use colours its palette does not have");
    for (int i = 0; i < layout.paletteSize && i < 256; ++i) {
      skin->palette[static_cast<size_t>(i) * 3] = layout.palette[i].red;
      skin->palette[static_cast<size_t>(i) * 3 + 1] = layout.palette[i].green;
      skin->palette[static_cast<size_t>(i) * 3 + 2] = layout.palette[i].blue;
    }
  } else {
    skin->palette = greyRampPalette();
  }
  skin->pixels = std::move(pixels);
  skin->storedPixels = skin->pixels;
  buildRowOffsets(skin.get());
  return {std::move(skin), "", nullptr, false};
}

template <class Setup, class Row>
Bytes encode(int width, int height, Setup setup, Row row) {
  Bytes out;
  PngStream stream;
  stream.out = &out;
  WriteStruct writer(stream);
  if (writer.info == nullptr) throw std::bad_alloc();
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) rows[static_cast<size_t>(y)] = row(y);
  out.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) / 2 + 1024);
  png_structp png = writer.png;
  png_infop info = writer.info;
  if (setjmp(png_jmpbuf(png))) throw std::bad_alloc();  // only memory can fail here
  setup(png, info);
  png_set_compression_level(png, kCompressionLevel);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  return out;
}

}  // namespace

bool isPng(std::span<const std::uint8_t> start) {
  return start.size() >= sizeof kSignature &&
         std::equal(std::begin(kSignature), std::end(kSignature), start.begin());
}

ReadPlan pngReadPlan(std::span<const std::uint8_t> start) {
  if (start.size() < kIhdrEnd) return {kIhdrEnd, 0};
  const std::uint64_t width = readBigEndian(&start[kIhdrWidth]);
  const std::uint64_t height = readBigEndian(&start[kIhdrWidth + 4]);
  if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
    return {kIhdrEnd, 0};
  // Eight bytes a pixel at most, a filter byte a row in each of the seven
  // interlace passes, and a stored deflate block's five bytes per 65535.
  const std::uint64_t raw = (width * 8 + 7) * height;
  return {kIhdrEnd + raw + raw / 65535 * 5 + kChunkAllowance, 0};
}

SkinDecodeResult decodePng(std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= kIhdrEnd) {
    const std::uint32_t width = readBigEndian(&bytes[kIhdrWidth]);
    const std::uint32_t height = readBigEndian(&bytes[kIhdrWidth + 4]);
    if (width == 0 || height == 0) return refusal("its header gives it no pixels");
    if (width > kMaxImageSide || height > kMaxImageSide) return {nullptr, kImageTooLargeMessage};
  }
  PngStream stream;
  stream.in = bytes;
  ReadStruct reader(stream);
  if (reader.info == nullptr) throw std::bad_alloc();
  Layout layout;
  if (!readLayout(reader.png, reader.info, layout)) return damaged(stream);
  const size_t height = layout.height;
  std::vector<std::uint8_t> pixels(layout.rowBytes * height);
  std::vector<png_bytep> rows(height);
  for (size_t y = 0; y < height; ++y) rows[y] = pixels.data() + y * layout.rowBytes;
  if (!readRows(reader.png, reader.info, rows.data())) return damaged(stream);
  if (!(layout.colourType & PNG_COLOR_MASK_COLOR) || layout.colourType == PNG_COLOR_TYPE_PALETTE)
    return indexedSkin(layout, pixels);
  auto picture = std::make_unique<TrueColourPicture>();
  picture->width = static_cast<int>(layout.width);
  picture->height = static_cast<int>(layout.height);
  picture->rgb = std::move(pixels);
  picture->fileFormat = kFormatPng;
  return {nullptr, "", std::move(picture), false};
}

Bytes encodeSkinPng(const Skin& skin) {
  std::vector<png_color> palette(256);
  for (size_t i = 0; i < 256; ++i)
    palette[i] = {skin.palette[i * 3], skin.palette[i * 3 + 1], skin.palette[i * 3 + 2]};
  auto* pixels = const_cast<std::uint8_t*>(skin.pixels.data());
  return encode(
      skin.width, skin.height,
      [&](png_structp png, png_infop info) {
        png_set_IHDR(png, info, static_cast<png_uint_32>(skin.width),
                     static_cast<png_uint_32>(skin.height), 8, PNG_COLOR_TYPE_PALETTE,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_PLTE(png, info, palette.data(), 256);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
      },
      [&](int y) { return pixels + static_cast<size_t>(y) * static_cast<size_t>(skin.width); });
}

Bytes encodeRgbPng(const TrueColourPicture& picture) {
  auto* rgb = const_cast<std::uint8_t*>(picture.rgb.data());
  const size_t stride = static_cast<size_t>(picture.width) * 3;
  return encode(
      picture.width, picture.height,
      [&](png_structp png, png_infop info) {
        png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                     static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
      },
      [&](int y) { return rgb + static_cast<size_t>(y) * stride; });
}

}  // namespace pelt
