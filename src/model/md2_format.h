#pragma once
// The MD2 file layout ("IDP2", little-endian) as plain data, with a parser
// that refuses any file it cannot read completely and an encoder.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/model.h"
#include "platform/file_io.h"

namespace pelt {

inline constexpr int kMd2HeaderSize = 68;
inline constexpr int kMd2SkinNameSize = 64;
inline constexpr int kMd2FrameNameSize = 16;
inline constexpr int kMd2FrameHeaderSize = 40;  // scale, translate, name

inline constexpr const char* kNotMd2Message = "This is not an MD2!";
inline constexpr const char* kDamagedMd2Message =
    "This MD2 is damaged or incomplete and cannot be loaded.";

inline constexpr const char* kTooLargeMd2Message =
    "This MD2 is too large: its skins and frames would not fit in memory.";

// What one model's skins and frames may take in memory; a file announcing
// more is refused as too large.
inline constexpr std::int64_t kMaxModelLoadBytes = std::int64_t{256} << 20;

struct Md2PackedVertex {
  std::array<std::uint8_t, 3> v{};
  std::uint8_t normalIndex = 0;
};

struct Md2Frame {
  std::array<float, 3> scale{1, 1, 1};
  std::array<float, 3> translate{};
  std::string name;
  std::vector<Md2PackedVertex> vertices;
};

struct Md2Triangle {
  std::array<std::int16_t, 3> vertexIndex{};
  std::array<std::int16_t, 3> stIndex{};
};

struct Md2Data {
  std::int32_t version = 8;
  std::int32_t skinWidth = 0;
  std::int32_t skinHeight = 0;
  std::int32_t vertexCount = 0;
  std::vector<std::string> skinNames;
  std::vector<StCoord> st;
  std::vector<Md2Triangle> triangles;
  std::vector<Md2Frame> frames;
  std::vector<std::int32_t> glCommands;
};

struct Md2ParseResult {
  std::optional<Md2Data> data;
  std::string message;    // set on failure
  bool tooLarge = false;  // well formed, but over the memory budget
};

// Checks every count, offset and index against the file size and the model's
// capacities, and what its skins and frames would take against `budget`,
// before returning anything.
Md2ParseResult parseMd2(std::span<const std::uint8_t> bytes,
                        std::int64_t budget = kMaxModelLoadBytes);

// The part of a file the header can use (the file ends no later for any
// valid model); only the header when that is refused already.
ReadPlan md2ReadPlan(std::span<const std::uint8_t> start);

// What the skins and frames a well-formed header announces take in memory;
// 0 for a header the parser refuses.
std::int64_t md2LoadBytes(std::span<const std::uint8_t> bytes);

// Header, skin names, st, triangles, frames, GL commands, in that order.
Bytes encodeMd2(const Md2Data& data);

// Decodes one packed frame into float vertices.
ModelFrame decodeFrame(const Md2Frame& frame);

}  // namespace pelt
