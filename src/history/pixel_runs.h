#pragma once
// A paint stroke as a step part: inside the box the stroke changed, the runs
// of pixels that differ from before it, with their old and new values.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "history/step.h"

namespace pelt {

class PixelRuns : public StepPart {
 public:
  // `before` is the whole skin as it was; `box` bounds every change since.
  // Unless nothing changed, the skin takes `after` as its revision.
  PixelRuns(std::shared_ptr<Skin> skin, std::span<const std::uint8_t> before, const PixelRect& box,
            std::uint64_t after);
  bool empty() const { return runs_.empty(); }

  void undo(Document& doc) override;
  void redo(Document& doc) override;
  std::int64_t bytes() const override;
  const Skin* skin() const override { return skin_.get(); }

 private:
  struct Run {
    std::uint32_t offset;
    std::uint32_t length;
  };
  void write(const std::vector<std::uint8_t>& values);

  std::shared_ptr<Skin> skin_;
  std::vector<Run> runs_;
  std::vector<std::uint8_t> old_;
  std::vector<std::uint8_t> new_;
  std::uint64_t revisionBefore_;
  std::uint64_t revisionAfter_;
};

}  // namespace pelt
