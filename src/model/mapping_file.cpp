#include "model/mapping_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "skins/byte_order.h"

namespace pelt {

namespace {

constexpr char kMagic[4] = {'P', 'M', 'A', 'P'};

MappingParseResult refused(const char* message) { return {std::nullopt, message}; }

bool indicesFit(const MappingRecord& record, const MappingTarget& target) {
  for (int k = 0; k < 3; ++k) {
    if (record.stIndex[k] < 0 || record.stIndex[k] >= kMaxStCoords) return false;
    if (record.vertexIndex[k] < 0 || record.vertexIndex[k] >= target.vertexCount) return false;
  }
  return true;
}

// One record, its corners rescaled; false when a corner does not fit.
bool readRecord(const std::uint8_t* p, const MappingFile& file, const MappingTarget& target,
                MappingRecord& record) {
  for (int k = 0; k < 3; ++k) {
    auto s = rescaleMappingCoord(readI16(p + 4 * k), target.skinWidth, file.skinWidth);
    auto t = rescaleMappingCoord(readI16(p + 4 * k + 2), target.skinHeight, file.skinHeight);
    if (!s || !t) return false;
    record.cornerSt[k] = {*s, *t};
    record.stIndex[k] = readI16(p + 12 + 2 * k);
    record.vertexIndex[k] = readI16(p + 18 + 2 * k);
  }
  return true;
}

}  // namespace

MappingTarget mappingTargetOf(const Model& model, bool checkIndices) {
  return {model.triangleCount, model.vertexCount, model.skinWidth, model.skinHeight, checkIndices};
}

std::optional<std::int16_t> rescaleMappingCoord(int value, int skinSize, int fileSize) {
  if (fileSize == skinSize) return static_cast<std::int16_t>(value);
  if (fileSize <= 0) return std::nullopt;
  const float scaled =
      static_cast<float>(value) * static_cast<float>(skinSize) / static_cast<float>(fileSize);
  const float whole = std::trunc(scaled);
  if (!(whole >= -32768.0f && whole <= 32767.0f)) return std::nullopt;
  return static_cast<std::int16_t>(whole);
}

ReadPlan mappingReadPlan(std::span<const std::uint8_t> start) {
  if (start.size() < kMappingHeaderSize) return {kMappingHeaderSize, 0};
  const auto triangles = static_cast<std::uint64_t>(std::max<int>(readI16(start.data() + 4), 0));
  return {kMappingHeaderSize + triangles * kMappingRecordSize, 0};
}

MappingParseResult parseMappingFile(std::span<const std::uint8_t> bytes,
                                    const MappingTarget& target) {
  if (bytes.size() < kMappingHeaderSize || std::memcmp(bytes.data(), kMagic, 4) != 0)
    return refused(kNotPmapMessage);
  const int triangles = readI16(bytes.data() + 4);
  if (triangles != target.triangleCount) return refused(kPmapTriangleCountMessage);
  // Bytes after the records are not part of the mapping.
  if (bytes.size() < kMappingHeaderSize + static_cast<size_t>(triangles) * kMappingRecordSize)
    return refused(kNotPmapMessage);

  MappingFile file;
  file.stCount = readI16(bytes.data() + 6);
  file.skinWidth = readI16(bytes.data() + 8);
  file.skinHeight = readI16(bytes.data() + 10);
  if (target.checkIndices && (file.stCount < 0 || file.stCount > kMaxStCoords))
    return refused(kNotPmapMessage);
  file.records.resize(static_cast<size_t>(triangles));
  for (int i = 0; i < triangles; ++i) {
    const std::uint8_t* p = bytes.data() + kMappingHeaderSize + i * kMappingRecordSize;
    MappingRecord& record = file.records[static_cast<size_t>(i)];
    if (!readRecord(p, file, target, record)) return refused(kNotPmapMessage);
    if (target.checkIndices && !indicesFit(record, target)) return refused(kNotPmapMessage);
  }
  return {std::move(file), {}};
}

Bytes encodeMappingFile(const Model& model) {
  Bytes out;
  out.reserve(kMappingHeaderSize + static_cast<size_t>(model.triangleCount) * kMappingRecordSize);
  out.insert(out.end(), kMagic, kMagic + 4);
  for (int value : {model.triangleCount, model.stCount, model.skinWidth, model.skinHeight})
    putU16(out, static_cast<std::uint16_t>(value));
  for (int i = 0; i < model.triangleCount; ++i) {
    const ModelTriangle& tri = model.triangles[static_cast<size_t>(i)];
    for (const StCoord& st : tri.cornerSt) {
      putU16(out, static_cast<std::uint16_t>(st.s));
      putU16(out, static_cast<std::uint16_t>(st.t));
    }
    for (std::int16_t index : tri.stIndex) putU16(out, static_cast<std::uint16_t>(index));
    for (std::int16_t index : tri.vertexIndex) putU16(out, static_cast<std::uint16_t>(index));
  }
  return out;
}

void applyMapping(Model& model, const MappingFile& file) {
  model.stCount = file.stCount;
  for (size_t i = 0; i < file.records.size(); ++i) {
    const MappingRecord& record = file.records[i];
    ModelTriangle& tri = model.triangles[i];
    tri.cornerSt = record.cornerSt;
    tri.stIndex = record.stIndex;
    tri.vertexIndex = record.vertexIndex;
    // Corners sharing an index: the last one written wins.
    for (int k = 0; k < 3; ++k)
      model.stCoords[static_cast<size_t>(record.stIndex[k])] = record.cornerSt[k];
  }
  rebuildStTable(model);
}

void applyMappingToSelected(Model& model, const MappingFile& file) {
  for (size_t i = 0; i < file.records.size(); ++i) {
    ModelTriangle& tri = model.triangles[i];
    if (tri.flags & kTriangleSelected) tri.cornerSt = file.records[i].cornerSt;
  }
  rebuildStIndices(model);
  rebuildStTable(model);
}

}  // namespace pelt
