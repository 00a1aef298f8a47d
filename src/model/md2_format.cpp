#include "model/md2_format.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "skins/byte_order.h"
#include "skins/skin_image.h"

namespace pelt {

namespace {

struct Header {
  std::int32_t version, skinWidth, skinHeight, frameSize, skinCount, vertexCount, stCount,
      triangleCount, glCommandCount, frameCount, skinOffset, stOffset, triangleOffset,
      frameOffset, glOffset, endOffset;
};

Header readHeader(const std::uint8_t* p) {
  Header h{};
  std::int32_t* fields = &h.version;
  for (int i = 0; i < 16; ++i) fields[i] = readI32(p + 4 + 4 * i);
  return h;
}

// The block [offset, offset + count * size) lies inside the file.
bool blockFits(std::int64_t offset, std::int64_t count, std::int64_t size, std::size_t fileSize) {
  return offset >= 0 && count >= 0 && offset + count * size <= static_cast<std::int64_t>(fileSize);
}

std::string textOf(const std::uint8_t* p, std::size_t size) {
  std::size_t length = 0;
  while (length < size && p[length] != 0) ++length;
  return std::string(reinterpret_cast<const char*>(p), length);
}

Md2ParseResult damaged() { return {std::nullopt, kDamagedMd2Message}; }

// GL commands are never used, only counted; a list longer than one command
// per triangle needs is not read.
constexpr std::int64_t kMaxGlWords = std::int64_t{kMaxTriangles} * 10 + 1;

bool countsFit(const Header& h) {
  return h.vertexCount >= 0 && h.vertexCount <= kMaxVertices && h.triangleCount >= 0 &&
         h.triangleCount <= kMaxTriangles && h.stCount >= 0 && h.stCount <= kMaxStCoords &&
         h.skinWidth > 0 && h.skinHeight > 0 && h.skinWidth <= kMaxImageSide &&
         h.skinHeight <= kMaxImageSide && h.skinCount >= 0 && h.frameCount >= 0;
}

std::int64_t frameBytesOf(const Header& h) {
  return kMd2FrameHeaderSize + 4 * std::int64_t{h.vertexCount};
}

// A coordinate is linear in its byte, so when the ends of the byte range
// decode to finite values every vertex of the frame does.
bool decodesFinite(const Md2Frame& frame) {
  for (int k = 0; k < 3; ++k) {
    const float low = frame.translate[k];
    const float high = 255.0f * frame.scale[k] + frame.translate[k];
    if (!std::isfinite(frame.scale[k]) || !std::isfinite(low) || !std::isfinite(high)) return false;
  }
  return true;
}

// Every named skin becomes an image of the model's skin size (a stand-in when
// the file is missing), and every frame is held packed while parsing and
// decoded afterwards: a small file can announce far more than it holds.
std::int64_t loadBytes(const Header& h) {
  const std::int64_t vertices = h.vertexCount;
  const std::int64_t frame = static_cast<std::int64_t>(sizeof(Md2Frame) + sizeof(ModelFrame)) +
                             kMd2FrameNameSize + vertices * (4 + 12);
  return std::int64_t{h.skinCount} * skinMemoryBytes(h.skinWidth, h.skinHeight) +
         std::int64_t{h.frameCount} * frame;
}

}  // namespace

ReadPlan md2ReadPlan(std::span<const std::uint8_t> start) {
  const ReadPlan headerOnly{kMd2HeaderSize, 0};
  if (start.size() < kMd2HeaderSize || std::memcmp(start.data(), "IDP2", 4) != 0) return headerOnly;
  const Header h = readHeader(start.data());
  if (!countsFit(h)) return headerOnly;
  std::int64_t end = kMd2HeaderSize;
  // An empty block must still start inside the file.
  auto block = [&end](std::int64_t offset, std::int64_t count, std::int64_t size) {
    if (offset >= 0) end = std::max(end, offset + count * size);
  };
  block(h.skinOffset, h.skinCount, kMd2SkinNameSize);
  block(h.stOffset, h.stCount, 4);
  block(h.triangleOffset, h.triangleCount, 12);
  block(h.frameOffset, h.frameCount, frameBytesOf(h));
  if (h.glCommandCount > 0 && h.glCommandCount <= kMaxGlWords)
    block(h.glOffset, h.glCommandCount, 4);
  return {static_cast<std::uint64_t>(end), 0};
}

std::int64_t md2LoadBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kMd2HeaderSize) return 0;
  const Header h = readHeader(bytes.data());
  return countsFit(h) ? loadBytes(h) : 0;
}

Md2ParseResult parseMd2(std::span<const std::uint8_t> bytes, std::int64_t budget) {
  if (bytes.size() < 4 || std::memcmp(bytes.data(), "IDP2", 4) != 0) return {std::nullopt, kNotMd2Message};
  if (bytes.size() < kMd2HeaderSize) return damaged();
  Header h = readHeader(bytes.data());
  const std::size_t size = bytes.size();
  const std::int64_t frameBytes = frameBytesOf(h);
  if (!countsFit(h) || !blockFits(h.skinOffset, h.skinCount, kMd2SkinNameSize, size) ||
      !blockFits(h.stOffset, h.stCount, 4, size) ||
      !blockFits(h.triangleOffset, h.triangleCount, 12, size) ||
      !blockFits(h.frameOffset, h.frameCount, frameBytes, size))
    return damaged();
  if (loadBytes(h) > budget) return {std::nullopt, kTooLargeMd2Message, true};

  Md2Data data;
  data.version = h.version;
  data.skinWidth = h.skinWidth;
  data.skinHeight = h.skinHeight;
  data.vertexCount = h.vertexCount;
  for (int i = 0; i < h.skinCount; ++i)
    data.skinNames.push_back(textOf(bytes.data() + h.skinOffset + i * kMd2SkinNameSize, kMd2SkinNameSize));
  for (int i = 0; i < h.stCount; ++i) {
    const std::uint8_t* p = bytes.data() + h.stOffset + i * 4;
    data.st.push_back({readI16(p), readI16(p + 2)});
  }
  for (int i = 0; i < h.triangleCount; ++i) {
    const std::uint8_t* p = bytes.data() + h.triangleOffset + i * 12;
    Md2Triangle tri;
    for (int k = 0; k < 3; ++k) {
      tri.vertexIndex[k] = readI16(p + 2 * k);
      tri.stIndex[k] = readI16(p + 6 + 2 * k);
      if (tri.vertexIndex[k] < 0 || tri.vertexIndex[k] >= h.vertexCount || tri.stIndex[k] < 0 ||
          tri.stIndex[k] >= h.stCount)
        return damaged();
    }
    data.triangles.push_back(tri);
  }
  for (int f = 0; f < h.frameCount; ++f) {
    const std::uint8_t* p = bytes.data() + h.frameOffset + f * frameBytes;
    Md2Frame frame;
    for (int k = 0; k < 3; ++k) {
      frame.scale[k] = readF32(p + 4 * k);
      frame.translate[k] = readF32(p + 12 + 4 * k);
    }
    if (!decodesFinite(frame)) return damaged();
    frame.name = textOf(p + 24, kMd2FrameNameSize);
    frame.vertices.resize(static_cast<std::size_t>(h.vertexCount));
    for (int i = 0; i < h.vertexCount; ++i) {
      const std::uint8_t* v = p + kMd2FrameHeaderSize + 4 * i;
      frame.vertices[static_cast<std::size_t>(i)] = {{v[0], v[1], v[2]}, v[3]};
    }
    data.frames.push_back(std::move(frame));
  }
  if (h.glCommandCount > 0 && h.glCommandCount <= kMaxGlWords &&
      blockFits(h.glOffset, h.glCommandCount, 4, size)) {
    for (int i = 0; i < h.glCommandCount; ++i)
      data.glCommands.push_back(readI32(bytes.data() + h.glOffset + 4 * i));
  }
  return {std::move(data), ""};
}

Bytes encodeMd2(const Md2Data& data) {
  const std::int32_t frameSize = kMd2FrameHeaderSize + 4 * data.vertexCount;
  const std::int32_t skinOffset = kMd2HeaderSize;
  const std::int32_t stOffset = skinOffset + kMd2SkinNameSize * static_cast<std::int32_t>(data.skinNames.size());
  const std::int32_t triangleOffset = stOffset + 4 * static_cast<std::int32_t>(data.st.size());
  const std::int32_t frameOffset = triangleOffset + 12 * static_cast<std::int32_t>(data.triangles.size());
  const std::int32_t glOffset = frameOffset + frameSize * static_cast<std::int32_t>(data.frames.size());
  const std::int32_t endOffset = glOffset + 4 * static_cast<std::int32_t>(data.glCommands.size());

  Bytes out;
  out.reserve(static_cast<std::size_t>(endOffset));
  for (char c : std::string("IDP2")) out.push_back(static_cast<std::uint8_t>(c));
  for (std::int32_t field :
       {data.version, data.skinWidth, data.skinHeight, frameSize,
        static_cast<std::int32_t>(data.skinNames.size()), data.vertexCount,
        static_cast<std::int32_t>(data.st.size()), static_cast<std::int32_t>(data.triangles.size()),
        static_cast<std::int32_t>(data.glCommands.size()), static_cast<std::int32_t>(data.frames.size()),
        skinOffset, stOffset, triangleOffset, frameOffset, glOffset, endOffset})
    putU32(out, static_cast<std::uint32_t>(field));
  for (const std::string& name : data.skinNames) {
    std::size_t start = out.size();
    out.insert(out.end(), name.begin(), name.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(name.size(), kMd2SkinNameSize - 1)));
    out.resize(start + kMd2SkinNameSize, 0);
  }
  for (const StCoord& st : data.st) {
    putU16(out, static_cast<std::uint16_t>(st.s));
    putU16(out, static_cast<std::uint16_t>(st.t));
  }
  for (const Md2Triangle& tri : data.triangles) {
    for (auto v : tri.vertexIndex) putU16(out, static_cast<std::uint16_t>(v));
    for (auto s : tri.stIndex) putU16(out, static_cast<std::uint16_t>(s));
  }
  for (const Md2Frame& frame : data.frames) {
    for (float s : frame.scale) putF32(out, s);
    for (float t : frame.translate) putF32(out, t);
    std::size_t start = out.size();
    out.insert(out.end(), frame.name.begin(), frame.name.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(frame.name.size(), kMd2FrameNameSize)));
    out.resize(start + kMd2FrameNameSize, 0);
    for (int i = 0; i < data.vertexCount; ++i) {
      Md2PackedVertex v = i < static_cast<int>(frame.vertices.size()) ? frame.vertices[static_cast<std::size_t>(i)] : Md2PackedVertex{};
      out.insert(out.end(), {v.v[0], v.v[1], v.v[2], v.normalIndex});
    }
  }
  for (std::int32_t word : data.glCommands) putU32(out, static_cast<std::uint32_t>(word));
  return out;
}

ModelFrame decodeFrame(const Md2Frame& frame) {
  ModelFrame out;
  out.name = frame.name;
  out.vertices.reserve(frame.vertices.size());
  for (const Md2PackedVertex& v : frame.vertices)
    out.vertices.push_back({v.v[0] * frame.scale[0] + frame.translate[0],
                            v.v[1] * frame.scale[1] + frame.translate[1],
                            v.v[2] * frame.scale[2] + frame.translate[2]});
  return out;
}

}  // namespace pelt
