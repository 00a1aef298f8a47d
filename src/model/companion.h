#pragma once
// A companion: a second, read-only MD2 (typically a weapon) drawn beside the
// model, following its frame number, with its own skin and an offset.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "model/model.h"
#include "skins/skin.h"

namespace pelt {

inline constexpr const char* kNotCompanionMessage = "This companion is not an MD2!";
inline constexpr const char* kDamagedCompanionMessage =
    "This companion is damaged or incomplete and cannot be loaded.";

// What all open companions together may hold in memory: as much as one model.
inline constexpr std::int64_t kCompanionsBudgetBytes = std::int64_t{256} << 20;

struct Companion {
  int skinWidth = 0;
  int skinHeight = 0;
  int vertexCount = 0;
  int triangleCount = 0;
  int stCount = 0;
  int frameCount = 0;
  bool hidden = false;
  // Edited as "Z offset", "X offset", "Y offset"; subtracted from the
  // vertices' x, y and z in that order.
  float offsetZ = 0.0f;
  float offsetX = 0.0f;
  float offsetY = 0.0f;
  std::string name;           // the MD2's full path, as shown in the list
  std::string firstSkinName;  // the first skin the file names, "" for none
  Skin skin;                  // pixels and row table only; drawn with the model's palette
  std::vector<ModelFrame> frames;
  // Vertex and st indices, each corner's st, and the normals of the frame last shown.
  std::vector<ModelTriangle> triangles;
  std::vector<StCoord> stCoords;

  bool hasSkin() const { return !skin.pixels.empty(); }
};

// The open companions in list order and the current one (-1: none).
struct CompanionList {
  std::vector<std::unique_ptr<Companion>> items;
  int currentIndex = -1;
  Companion* current() const {
    return currentIndex >= 0 && currentIndex < static_cast<int>(items.size())
               ? items[static_cast<size_t>(currentIndex)].get()
               : nullptr;
  }
};

struct CompanionParseResult {
  std::unique_ptr<Companion> companion;  // null on failure
  std::string message;                   // what to tell the user on failure
};

// Same checks as a main model: nothing is returned unless every count,
// block and index fits the file and the capacities, and what it would hold
// fits `budget` (else the message says it is too large).
CompanionParseResult parseCompanion(std::span<const std::uint8_t> bytes,
                                    std::int64_t budget = kCompanionsBudgetBytes);

// What an open companion holds in memory.
std::int64_t companionMemoryBytes(const Companion& companion);

// Takes the image's pixels as the skin when its size is exactly the
// companion's; false (and nothing changed) otherwise.
bool takeCompanionSkin(Companion& companion, const Skin& image);

// The stand-in skin: 4 x 4 blocks of indices 64 and 192.
void checkerCompanionSkin(Companion& companion);

// Normals of frame `index`; degenerate triangles keep theirs.
void computeCompanionNormals(Companion& companion, int index);

}  // namespace pelt
