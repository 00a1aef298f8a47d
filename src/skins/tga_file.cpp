#include "skins/tga_file.h"

#include <algorithm>

#include "skins/byte_order.h"

namespace pelt {

namespace {

constexpr size_t kHeaderSize = 18;
constexpr std::uint8_t kColourMapped = 1, kTrueColour = 2, kGrey = 3;
constexpr std::uint8_t kRunLength = 8;  // added to the plain type
constexpr std::uint8_t kRightToLeft = 0x10, kTopDown = 0x20;
constexpr std::uint8_t kRunPacket = 0x80;

struct Header {
  std::uint8_t idLength, mapType, type;
  std::uint16_t mapFirst, mapLength;
  std::uint8_t mapEntryBits;
  int width, height;
  std::uint8_t pixelBits, descriptor;

  explicit Header(const std::uint8_t* h)
      : idLength(h[0]),
        mapType(h[1]),
        type(h[2]),
        mapFirst(readU16(h + 3)),
        mapLength(readU16(h + 5)),
        mapEntryBits(h[7]),
        width(readU16(h + 12)),
        height(readU16(h + 14)),
        pixelBits(h[16]),
        descriptor(h[17]) {}
  std::uint8_t plainType() const { return type & ~kRunLength; }
  size_t pixelBytes() const { return (pixelBits + 7u) / 8u; }
  size_t mapBytes() const {
    return mapType == 1 ? size_t{mapLength} * ((mapEntryBits + 7u) / 8u) : 0;
  }
};

SkinDecodeResult refusal(const char* message) { return {nullptr, message, nullptr, true}; }

// What the header describes must be something this reader can take.
const char* unsupported(const Header& h) {
  const std::uint8_t plain = h.plainType();
  if (plain == kColourMapped) {
    if (h.mapType != 1) return "it has no colour map";
    if (h.pixelBits != 8) return "its colour-mapped pixels are not 8-bit";
    if (h.mapEntryBits != 24 && h.mapEntryBits != 32)
      return "its colour map entries are not 24 or 32-bit";
  } else if (plain == kTrueColour) {
    if (h.pixelBits != 24 && h.pixelBits != 32) return "its pixels are not 24 or 32-bit";
  } else if (h.pixelBits != 8) {
    return "its grey pixels are not 8-bit";
  }
  return nullptr;
}

// The pixels in file order, unpacked from the run-length packets.
const char* unpack(const Header& h, std::span<const std::uint8_t> data, Bytes& out) {
  const size_t bpp = h.pixelBytes();
  const size_t total = size_t(h.width) * size_t(h.height) * bpp;
  if (!(h.type & kRunLength)) {
    if (data.size() < total) return "its pixel data ends early";
    out.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(total));
    return nullptr;
  }
  out.clear();
  out.reserve(total);
  size_t at = 0;
  while (out.size() < total) {
    if (at >= data.size()) return "its pixel data ends early";
    const std::uint8_t packet = data[at++];
    const size_t count = (packet & 0x7Fu) + 1u;
    if (out.size() + count * bpp > total) return "a run goes past the end of the picture";
    const size_t literal = packet & kRunPacket ? bpp : count * bpp;
    if (data.size() - at < literal) return "its pixel data ends early";
    const auto first = data.begin() + static_cast<std::ptrdiff_t>(at);
    if (packet & kRunPacket)
      for (size_t i = 0; i < count; ++i)
        out.insert(out.end(), first, first + static_cast<std::ptrdiff_t>(bpp));
    else
      out.insert(out.end(), first, first + static_cast<std::ptrdiff_t>(literal));
    at += literal;
  }
  return nullptr;
}

// File row and column of the picture's (x, y), top row first.
size_t fileIndex(const Header& h, int x, int y) {
  const int row = h.descriptor & kTopDown ? y : h.height - 1 - y;
  const int column = h.descriptor & kRightToLeft ? h.width - 1 - x : x;
  return size_t(row) * size_t(h.width) + size_t(column);
}

SkinDecodeResult indexedSkin(const Header& h, std::span<const std::uint8_t> map,
                             const Bytes& pixels) {
  auto skin = std::make_unique<Skin>();
  allocateSkin(*skin, h.width, h.height);
  skin->fileFormat = kFormatTga;
  if (h.plainType() == kGrey) {
    skin->palette = greyRampPalette();
  } else {
    const size_t entry = h.mapEntryBits / 8u;
    for (size_t i = 0; i < h.mapLength && h.mapFirst + i < 256; ++i) {
      const std::uint8_t* bgr = &map[i * entry];
      const size_t to = (h.mapFirst + i) * 3;
      skin->palette[to] = bgr[2];
      skin->palette[to + 1] = bgr[1];
      skin->palette[to + 2] = bgr[0];
    }
  }
  const size_t mapEnd = size_t{h.mapFirst} + h.mapLength;
  for (int y = 0; y < h.height; ++y)
    for (int x = 0; x < h.width; ++x) {
      const std::uint8_t value = pixels[fileIndex(h, x, y)];
      if (h.plainType() == kColourMapped && (value < h.mapFirst || value >= mapEnd))
        return refusal("its pixels use colours its colour map does not have");
      skin->pixels[size_t(y) * size_t(h.width) + size_t(x)] = value;
    }
  skin->storedPixels = skin->pixels;
  return {std::move(skin), "", nullptr, false};
}

SkinDecodeResult picture(const Header& h, const Bytes& pixels) {
  auto picture = std::make_unique<TrueColourPicture>();
  picture->width = h.width;
  picture->height = h.height;
  picture->fileFormat = kFormatTga;
  picture->rgb.resize(size_t(h.width) * size_t(h.height) * 3);
  const size_t bpp = h.pixelBytes();
  std::uint8_t* to = picture->rgb.data();
  for (int y = 0; y < h.height; ++y)
    for (int x = 0; x < h.width; ++x, to += 3) {
      const std::uint8_t* bgr = &pixels[fileIndex(h, x, y) * bpp];
      to[0] = bgr[2];
      to[1] = bgr[1];
      to[2] = bgr[0];
    }
  return {nullptr, "", std::move(picture), false};
}

void putHeader(Bytes& out, std::uint8_t type, int width, int height, std::uint8_t pixelBits,
               bool colourMap) {
  out.push_back(0);  // no id
  out.push_back(colourMap ? 1 : 0);
  out.push_back(type);
  putU16(out, 0);
  putU16(out, colourMap ? 256 : 0);
  out.push_back(colourMap ? 24 : 0);
  putU16(out, 0);
  putU16(out, 0);
  putU16(out, static_cast<std::uint32_t>(width));
  putU16(out, static_cast<std::uint32_t>(height));
  out.push_back(pixelBits);
  out.push_back(kTopDown);
}

}  // namespace

bool isTga(std::span<const std::uint8_t> start) {
  if (start.size() < 3 || start[1] > 1) return false;
  const std::uint8_t plain = start[2] & ~kRunLength;
  return plain >= kColourMapped && plain <= kGrey;
}

ReadPlan tgaReadPlan(std::span<const std::uint8_t> start) {
  if (start.size() < kHeaderSize) return {kHeaderSize, 0};
  const Header h(start.data());
  const std::uint64_t pixels = std::uint64_t(h.width) * std::uint64_t(h.height);
  const std::uint64_t packets = h.type & kRunLength ? pixels : 0;
  return {kHeaderSize + h.idLength + h.mapBytes() + pixels * h.pixelBytes() + packets, 0};
}

SkinDecodeResult decodeTga(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kHeaderSize) return refusal("its header is cut short");
  const Header h(bytes.data());
  if (const char* why = unsupported(h)) return refusal(why);
  if (h.width == 0 || h.height == 0) return refusal("its header gives it no pixels");
  if (h.width > kMaxImageSide || h.height > kMaxImageSide) return {nullptr, kImageTooLargeMessage};
  const size_t mapAt = kHeaderSize + h.idLength;
  if (bytes.size() < mapAt + h.mapBytes()) return refusal("its colour map goes past the end");
  Bytes pixels;
  if (const char* why = unpack(h, bytes.subspan(mapAt + h.mapBytes()), pixels)) return refusal(why);
  if (h.plainType() == kTrueColour) return picture(h, pixels);
  return indexedSkin(h, bytes.subspan(mapAt, h.mapBytes()), pixels);
}

Bytes encodeSkinTga(const Skin& skin) {
  Bytes out;
  out.reserve(kHeaderSize + 768 + skin.pixels.size());
  putHeader(out, kColourMapped, skin.width, skin.height, 8, true);
  for (size_t i = 0; i < 256; ++i) {
    out.push_back(skin.palette[i * 3 + 2]);
    out.push_back(skin.palette[i * 3 + 1]);
    out.push_back(skin.palette[i * 3]);
  }
  out.insert(out.end(), skin.pixels.begin(), skin.pixels.end());
  return out;
}

Bytes encodeRgbTga(const TrueColourPicture& picture) {
  Bytes out;
  out.reserve(kHeaderSize + picture.rgb.size());
  putHeader(out, kTrueColour, picture.width, picture.height, 24, false);
  for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
    out.push_back(picture.rgb[i + 2]);
    out.push_back(picture.rgb[i + 1]);
    out.push_back(picture.rgb[i]);
  }
  return out;
}

}  // namespace pelt
