#include "history/capture.h"

#include <algorithm>

namespace pelt {

namespace {

std::vector<std::string> linkedNames(const std::vector<std::shared_ptr<Skin>>& skins) {
  std::vector<std::string> names;
  for (const auto& skin : skins)
    if (skin->isLinked()) names.push_back(skin->name);
  return names;
}

// Skins the list held that it holds no more live on in the step.
std::int64_t droppedBytes(const SkinListState& before, const Model& model) {
  std::int64_t total = static_cast<std::int64_t>(before.skins.capacity() * sizeof(before.skins[0]));
  for (const auto& skin : before.skins)
    if (std::find(model.skins.begin(), model.skins.end(), skin) == model.skins.end())
      total += skinMemoryBytes(skin->width, skin->height);
  return total;
}

class CompanionPart : public StepPart {
 public:
  CompanionPart(const Companion* companion, float z, float x, float y)
      : companion_(companion), name_(companion->name), z_(z), x_(x), y_(y) {}
  void undo(Document& doc) override { exchange(doc); }
  void redo(Document& doc) override { exchange(doc); }
  std::int64_t bytes() const override {
    return static_cast<std::int64_t>(sizeof(CompanionPart) + name_.capacity());
  }

 private:
  // A companion closed since has nothing to put back.
  void exchange(Document& doc) {
    for (auto& item : doc.companions.items) {
      if (item.get() != companion_ || item->name != name_) continue;
      std::swap(item->offsetZ, z_);
      std::swap(item->offsetX, x_);
      std::swap(item->offsetY, y_);
    }
  }
  const Companion* companion_;
  std::string name_;  // another companion may come to live at the same address
  float z_, x_, y_;
};

}  // namespace

DocumentCapture::DocumentCapture(const Document& doc, unsigned scope)
    : list_(captureSkinList(doc.model)), linkedBefore_(linkedNames(doc.model.skins)) {
  if (scope & kCaptureAllSkins) {
    for (const auto& skin : doc.model.skins) skins_.emplace_back(skin, *skin);
  } else if ((scope & kCaptureCurrentSkin) && doc.model.currentSkin()) {
    const auto& skin = doc.model.skins[static_cast<size_t>(doc.model.currentSkinIndex)];
    skins_.emplace_back(skin, *skin);
  }
  if (scope & kCaptureMapping) mapping_ = captureMapping(doc.model);
  if (const Companion* c = doc.companions.current(); c && (scope & kCaptureCompanion))
    companion_ = CompanionOffset{c, c->offsetZ, c->offsetX, c->offsetY};
}

Step DocumentCapture::finish(const Document& doc, std::string name, History& history) {
  Step step;
  step.name = std::move(name);
  const Model& model = doc.model;
  for (auto& [skin, before] : skins_) {
    if (sameSkinContents(*skin, before)) continue;
    // A command that read or wrote the skin's file left it saved.
    const bool saved =
        !skin->modified() && (before.modified() || skin->savedRevision != before.savedRevision);
    if (!sameSkinImage(*skin, before)) skin->revision = history.newRevision();
    if (saved) skin->markSaved();
    step.parts.push_back(std::make_unique<SkinSwap>(skin, std::move(before)));
  }
  SkinListState now = captureSkinList(model);
  if (now != list_) {
    step.changesModel |= now.skinWidth != list_.skinWidth || now.skinHeight != list_.skinHeight;
    const std::int64_t bytes = droppedBytes(list_, model);
    step.parts.push_back(std::make_unique<SkinListPart>(std::move(list_), bytes));
  }
  if (linkedNames(model.skins) != linkedBefore_) step.changesModel = true;
  if (mapping_ && !sameMapping(*mapping_, captureMapping(model))) {
    step.parts.push_back(std::make_unique<MappingPart>(std::move(*mapping_)));
    step.changesModel = true;
  }
  if (companion_) {
    const CompanionOffset& c = *companion_;
    const Companion* live = doc.companions.current();
    if (live == c.companion &&
        (live->offsetZ != c.z || live->offsetX != c.x || live->offsetY != c.y))
      step.parts.push_back(std::make_unique<CompanionPart>(c.companion, c.z, c.x, c.y));
  }
  return step;
}

}  // namespace pelt
