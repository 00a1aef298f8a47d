#include "model/md2_writer.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "model/gl_commands.h"
#include "model/md2_format.h"
#include "skins/byte_order.h"

namespace pelt {

namespace {

constexpr int kCopiedHeaderBytes = 8;  // magic and version as read
constexpr int kFrameOffsetField = 56;

constexpr const char* kNoFramesMessage =
    "The frames of this model are not available; it cannot be saved.";

std::int32_t frameStride(const Model& model) { return kMd2FrameHeaderSize + 4 * model.vertexCount; }

// The frame block of the file read, if it holds every frame of the model.
// Frames are stepped by the size they have (the reader does the same), not by
// the header's frame-size field, which a damaged file may get wrong.
std::optional<std::span<const std::uint8_t>> rawFrameBlock(const Model& model,
                                                           std::span<const std::uint8_t> raw) {
  if (raw.size() < static_cast<size_t>(kMd2HeaderSize)) return std::nullopt;
  const std::int64_t offset = readI32(raw.data() + kFrameOffsetField);
  const std::int64_t size = std::int64_t{frameStride(model)} * std::ssize(model.frames);
  if (offset < 0 || offset + size > std::ssize(raw)) return std::nullopt;
  return raw.subspan(static_cast<size_t>(offset), static_cast<size_t>(size));
}

void putName(Bytes& out, const std::string& name) {
  const size_t start = out.size();
  out.insert(out.end(), name.begin(), name.end());
  out.resize(start + kMd2SkinNameSize, 0);
}

}  // namespace

std::string skinNameTooLongMessage(const std::string& name) {
  return "The skin name \"" + name + "\" has " + std::to_string(name.size()) +
         " characters; an MD2 holds at most 63.\nRename the skin, then save the model again.";
}

Md2WriteResult encodeModelMd2(const Model& model, std::span<const std::uint8_t> raw) {
  std::vector<const Skin*> linked;
  for (const auto& skin : model.skins) {
    if (!skin->isLinked()) continue;
    if (skin->name.size() >= static_cast<size_t>(kMd2SkinNameSize))
      return {{}, skinNameTooLongMessage(skin->name)};
    linked.push_back(skin.get());
  }
  const auto frames = rawFrameBlock(model, raw);
  if (!frames) return {{}, kNoFramesMessage};

  std::vector<std::int32_t> gl;
  const std::int32_t glWords = buildGlCommands(model, gl);
  const auto skinCount = static_cast<std::int32_t>(linked.size());
  const auto frameCount = static_cast<std::int32_t>(model.frames.size());
  const std::int32_t stOffset = kMd2HeaderSize + kMd2SkinNameSize * skinCount;
  const std::int32_t triangleOffset = stOffset + 4 * model.stCount;
  const std::int32_t frameOffset = triangleOffset + 12 * model.triangleCount;
  const std::int32_t glOffset = frameOffset + frameCount * frameStride(model);
  const std::int32_t endOffset = glOffset + 4 * glWords;

  Md2WriteResult result;
  Bytes& out = result.bytes;
  out.assign(raw.begin(), raw.begin() + kCopiedHeaderBytes);
  out.reserve(static_cast<size_t>(endOffset));
  for (std::int32_t field :
       {model.skinWidth, model.skinHeight, frameStride(model), skinCount, model.vertexCount,
        model.stCount, model.triangleCount, glWords, frameCount, kMd2HeaderSize, stOffset,
        triangleOffset, frameOffset, glOffset, endOffset})
    putU32(out, static_cast<std::uint32_t>(field));
  for (const Skin* skin : linked) putName(out, skin->name);
  for (int i = 0; i < model.stCount; ++i) {
    const StCoord& st = model.stCoords[static_cast<size_t>(i)];
    putU16(out, static_cast<std::uint16_t>(st.s));
    putU16(out, static_cast<std::uint16_t>(st.t));
  }
  for (int i = 0; i < model.triangleCount; ++i) {
    const ModelTriangle& tri = model.triangles[static_cast<size_t>(i)];
    for (std::int16_t v : tri.vertexIndex) putU16(out, static_cast<std::uint16_t>(v));
    for (std::int16_t s : tri.stIndex) putU16(out, static_cast<std::uint16_t>(s));
  }
  const size_t framesAt = out.size();
  out.resize(framesAt + frames->size());
  std::copy(frames->begin(), frames->end(), out.begin() + static_cast<std::ptrdiff_t>(framesAt));
  for (std::int32_t word : gl) putU32(out, static_cast<std::uint32_t>(word));
  return result;
}

}  // namespace pelt
