#include "model/companion.h"

#include <cstring>

#include "model/md2_format.h"

namespace pelt {

namespace {

constexpr std::uint8_t kCheckerSame = 64;
constexpr std::uint8_t kCheckerOther = 192;

std::string tooLargeMessage(std::int64_t needed, std::int64_t budget) {
  auto megabytes = [](std::int64_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20); };
  return "This companion is too large: it would need " + megabytes(needed) +
         " MB, and the open companions together may use " + megabytes(budget) + " MB more (" +
         megabytes(kCompanionsBudgetBytes) + " MB in all).";
}

}  // namespace

CompanionParseResult parseCompanion(std::span<const std::uint8_t> bytes, std::int64_t budget) {
  if (bytes.size() < 4 || std::memcmp(bytes.data(), "IDP2", 4) != 0)
    return {nullptr, kNotCompanionMessage};
  Md2ParseResult parsed = parseMd2(bytes, budget);
  if (parsed.tooLarge) return {nullptr, tooLargeMessage(md2LoadBytes(bytes), budget)};
  if (!parsed.data) return {nullptr, kDamagedCompanionMessage};
  const Md2Data& data = *parsed.data;

  auto c = std::make_unique<Companion>();
  c->skinWidth = data.skinWidth;
  c->skinHeight = data.skinHeight;
  c->vertexCount = data.vertexCount;
  c->triangleCount = static_cast<int>(data.triangles.size());
  c->stCount = static_cast<int>(data.st.size());
  c->frameCount = static_cast<int>(data.frames.size());
  c->stCoords = data.st;
  c->triangles.resize(data.triangles.size());
  for (size_t i = 0; i < data.triangles.size(); ++i) {
    ModelTriangle& tri = c->triangles[i];
    tri.vertexIndex = data.triangles[i].vertexIndex;
    tri.stIndex = data.triangles[i].stIndex;
    for (size_t k = 0; k < 3; ++k) tri.cornerSt[k] = data.st[static_cast<size_t>(tri.stIndex[k])];
  }
  c->frames.reserve(data.frames.size());
  for (const Md2Frame& frame : data.frames) c->frames.push_back(decodeFrame(frame));
  if (!data.skinNames.empty()) c->firstSkinName = data.skinNames.front();
  return {std::move(c), ""};
}

std::int64_t companionMemoryBytes(const Companion& c) {
  std::int64_t bytes = static_cast<std::int64_t>(sizeof(Companion) + c.skin.pixels.size() +
                                                 c.skin.rowOffsets.size() * 4 +
                                                 c.triangles.size() * sizeof(ModelTriangle) +
                                                 c.stCoords.size() * sizeof(StCoord));
  for (const ModelFrame& frame : c.frames)
    bytes += static_cast<std::int64_t>(sizeof(ModelFrame) + frame.vertices.size() * sizeof(Vec3));
  return bytes;
}

bool takeCompanionSkin(Companion& companion, const Skin& image) {
  if (image.width != companion.skinWidth || image.height != companion.skinHeight) return false;
  Skin& skin = companion.skin;
  skin.width = image.width;
  skin.height = image.height;
  skin.pixels = image.pixels;
  buildRowOffsets(&skin);
  return true;
}

void checkerCompanionSkin(Companion& companion) {
  Skin& skin = companion.skin;
  skin.width = companion.skinWidth;
  skin.height = companion.skinHeight;
  skin.pixels.assign(static_cast<size_t>(skin.width) * static_cast<size_t>(skin.height), 0);
  buildRowOffsets(&skin);
  fillCheckerboard(skin, kCheckerSame, kCheckerOther);
}

void computeCompanionNormals(Companion& companion, int index) {
  if (index < 0 || index >= companion.frameCount) return;
  const ModelFrame& frame = companion.frames[static_cast<size_t>(index)];
  for (ModelTriangle& tri : companion.triangles) updateFaceNormal(tri, frame.vertices);
}

}  // namespace pelt
