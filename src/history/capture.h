#pragma once
// Before and after a command: the parts of the document it may change are
// copied first, and what differs afterwards becomes one step. Commands need
// not know about the history.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "history/history.h"
#include "history/mapping_state.h"
#include "history/skin_parts.h"

namespace pelt {

enum CaptureScope : unsigned {
  kCaptureCurrentSkin = 1,
  kCaptureAllSkins = 2,
  kCaptureMapping = 4,
  kCaptureCompanion = 8,
};

class DocumentCapture {
 public:
  // The skin list is always taken; it is only pointers.
  DocumentCapture(const Document& doc, unsigned scope);
  // The changes since as a step named `name`; empty when nothing changed.
  // Changed skins get new revisions from `history`.
  Step finish(const Document& doc, std::string name, History& history);

 private:
  struct CompanionOffset {
    const Companion* companion = nullptr;
    float z = 0, x = 0, y = 0;
  };
  SkinListState list_;
  std::vector<std::string> linkedBefore_;
  std::vector<std::pair<std::shared_ptr<Skin>, Skin>> skins_;
  std::optional<MappingState> mapping_;
  std::optional<CompanionOffset> companion_;
};

}  // namespace pelt
