#pragma once
// Writing the model back as an MD2. Only skins and mapping are ever edited,
// so the frames come byte for byte from the file that was read and
// everything that depends on the mapping (st table, triangles, GL commands)
// is rebuilt.

#include <span>
#include <string>

#include "model/model.h"
#include "platform/file_io.h"

namespace pelt {

struct Md2WriteResult {
  Bytes bytes;
  std::string refusal;  // set when the model cannot be written; say it to the user
  bool ok() const { return refusal.empty(); }
};

// The whole file: header (its first 8 bytes taken from `rawModelImage`), the
// names of the linked skins, the st table, triangles, frames, GL commands.
Md2WriteResult encodeModelMd2(const Model& model, std::span<const std::uint8_t> rawModelImage);

// A name the game would not find once cut to the 64-byte field.
std::string skinNameTooLongMessage(const std::string& name);

}  // namespace pelt
