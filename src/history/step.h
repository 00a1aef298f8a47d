#pragma once
// One undoable step: what a user action changed, kept so that it can be put
// back and done again. A step is made of parts, each owning the other state
// of one thing it changed.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/companion.h"
#include "model/model.h"

namespace pelt {

// What the history changes when it undoes or redoes.
struct Document {
  Model& model;
  CompanionList& companions;
};

class StepPart {
 public:
  virtual ~StepPart() = default;
  virtual void undo(Document& doc) = 0;
  virtual void redo(Document& doc) = 0;
  virtual std::int64_t bytes() const = 0;
  // The skin the part changed, if it changed one.
  virtual const Skin* skin() const { return nullptr; }
};

struct Step {
  std::string name;
  std::vector<std::unique_ptr<StepPart>> parts;
  // The step leaves the model file's contents (mapping, skin list, skin
  // size, hidden flags) different; the history numbers that state.
  bool changesModel = false;
  std::uint64_t modelBefore = 0;
  std::uint64_t modelAfter = 0;

  bool empty() const { return parts.empty(); }
  std::int64_t bytes() const;
};

}  // namespace pelt
