#pragma once
// Mapping files ("PMAP", ".pmp"): the corner st values, st indices and vertex
// indices of every triangle, so a mapping can be kept apart from the MD2 and
// exchanged between models with the same triangle list.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/model.h"
#include "platform/file_io.h"

namespace pelt {

inline constexpr int kMappingHeaderSize = 12;
inline constexpr int kMappingRecordSize = 24;

inline constexpr const char* kNotPmapMessage = "This isn't a valid PMAP file!";
inline constexpr const char* kPmapTriangleCountMessage =
    "This file doesn't have the same triangle count at the current MD2!";

struct MappingRecord {
  std::array<StCoord, 3> cornerSt{};
  std::array<std::int16_t, 3> stIndex{};
  std::array<std::int16_t, 3> vertexIndex{};
};

struct MappingFile {
  int stCount = 0;
  int skinWidth = 0;
  int skinHeight = 0;
  std::vector<MappingRecord> records;
};

// What a file must fit before it may touch the model.
struct MappingTarget {
  int triangleCount = 0;
  int vertexCount = 0;
  int skinWidth = 0;
  int skinHeight = 0;
  bool checkIndices = true;  // Import to Selected ignores the indices
};

MappingTarget mappingTargetOf(const Model& model, bool checkIndices);

struct MappingParseResult {
  std::optional<MappingFile> file;  // corners already rescaled to the target's skin
  std::string message;              // set on refusal
};

// The header and the records its triangle count announces; what follows is
// not read.
ReadPlan mappingReadPlan(std::span<const std::uint8_t> start);

// Checks the whole file against the target before returning anything.
MappingParseResult parseMappingFile(std::span<const std::uint8_t> bytes,
                                    const MappingTarget& target);

// The header and one record per triangle of the model as it stands; the
// caller compacts the st table first.
Bytes encodeMappingFile(const Model& model);

// A coordinate of a file made for `fileSize` pixels on a skin of `skinSize`.
// Empty when the result does not fit the st table's 16 bits.
std::optional<std::int16_t> rescaleMappingCoord(int value, int skinSize, int fileSize);

// Import: corners, st indices and vertex indices of every triangle.
void applyMapping(Model& model, const MappingFile& file);
// Import to Selected: only the selected triangles' corner values.
void applyMappingToSelected(Model& model, const MappingFile& file);

}  // namespace pelt
