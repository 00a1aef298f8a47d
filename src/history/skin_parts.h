#pragma once
// Whole skins as step parts: one skin's other contents (pixels, stored
// copy, palette, size, name and file), and the skin list's other order and
// members with the skin size. Undo and redo exchange them with the live
// ones, so neither copies pixels.

#include <memory>
#include <vector>

#include "history/step.h"

namespace pelt {

// Everything but what says which state was saved.
void exchangeSkinContents(Skin& a, Skin& b);
bool sameSkinContents(const Skin& a, const Skin& b);
// Pixels, palette and size: what makes a skin modified.
bool sameSkinImage(const Skin& a, const Skin& b);

class SkinSwap : public StepPart {
 public:
  SkinSwap(std::shared_ptr<Skin> skin, Skin other)
      : skin_(std::move(skin)), other_(std::move(other)) {}
  void undo(Document&) override { exchangeSkinContents(*skin_, other_); }
  void redo(Document&) override { exchangeSkinContents(*skin_, other_); }
  std::int64_t bytes() const override;
  const Skin* skin() const override { return skin_.get(); }

 private:
  std::shared_ptr<Skin> skin_;
  Skin other_;
};

struct SkinListState {
  std::vector<std::shared_ptr<Skin>> skins;
  int currentSkinIndex = -1;
  int skinWidth = 0;
  int skinHeight = 0;
  friend bool operator==(const SkinListState&, const SkinListState&) = default;
};

SkinListState captureSkinList(const Model& model);

class SkinListPart : public StepPart {
 public:
  explicit SkinListPart(SkinListState other, std::int64_t bytes)
      : other_(std::move(other)), bytes_(bytes) {}
  void undo(Document& doc) override { exchange(doc.model); }
  void redo(Document& doc) override { exchange(doc.model); }
  std::int64_t bytes() const override { return bytes_; }

 private:
  void exchange(Model& model);
  SkinListState other_;
  std::int64_t bytes_;
};

}  // namespace pelt
