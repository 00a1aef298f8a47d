#include "history/pixel_runs.h"

#include <algorithm>
#include <cstring>

namespace pelt {

namespace {

// Unchanged pixels this short between two runs join them: cheaper than a
// run of their own.
constexpr int kJoinGap = 8;

}  // namespace

PixelRuns::PixelRuns(std::shared_ptr<Skin> skin, std::span<const std::uint8_t> before,
                     const PixelRect& box, std::uint64_t after)
    : skin_(std::move(skin)), revisionBefore_(skin_->revision), revisionAfter_(after) {
  const std::vector<std::uint8_t>& now = skin_->pixels;
  if (box.empty() || before.size() != now.size()) return;
  const int x0 = std::max(box.x0, 0), x1 = std::min(box.x1, skin_->width - 1);
  const int y0 = std::max(box.y0, 0), y1 = std::min(box.y1, skin_->height - 1);
  auto differs = [&](std::uint32_t o) { return before[o] != now[o]; };
  for (int y = y0; y <= y1; ++y) {
    const auto row = static_cast<std::uint32_t>(y) * static_cast<std::uint32_t>(skin_->width);
    for (int x = x0; x <= x1; ++x) {
      if (!differs(row + static_cast<std::uint32_t>(x))) continue;
      int end = x + 1;  // past the last changed pixel
      for (int p = x + 1; p <= x1 && p - end < kJoinGap; ++p)
        if (differs(row + static_cast<std::uint32_t>(p))) end = p + 1;
      const std::uint32_t o = row + static_cast<std::uint32_t>(x);
      const auto length = static_cast<std::uint32_t>(end - x);
      runs_.push_back({o, length});
      old_.insert(old_.end(), before.begin() + o, before.begin() + o + length);
      new_.insert(new_.end(), now.begin() + o, now.begin() + o + length);
      x = end - 1;
    }
  }
  runs_.shrink_to_fit();
  old_.shrink_to_fit();
  new_.shrink_to_fit();
  if (!runs_.empty()) skin_->revision = revisionAfter_;
}

void PixelRuns::write(const std::vector<std::uint8_t>& values) {
  std::vector<std::uint8_t>& pixels = skin_->pixels;
  std::size_t at = 0;
  for (const Run& run : runs_) {
    if (std::size_t{run.offset} + run.length > pixels.size()) return;
    std::memcpy(pixels.data() + run.offset, values.data() + at, run.length);
    at += run.length;
  }
}

void PixelRuns::undo(Document&) {
  write(old_);
  skin_->revision = revisionBefore_;
}

void PixelRuns::redo(Document&) {
  write(new_);
  skin_->revision = revisionAfter_;
}

std::int64_t PixelRuns::bytes() const {
  return static_cast<std::int64_t>(sizeof(PixelRuns) + runs_.capacity() * sizeof(Run) +
                                   old_.capacity() + new_.capacity());
}

}  // namespace pelt
