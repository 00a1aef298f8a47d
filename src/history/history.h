#pragma once
// The undo history: a list of steps to undo, the steps undone that may be
// redone, a memory budget, and the revision numbers that say what is unsaved.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "history/step.h"

namespace pelt {

inline constexpr int kDefaultUndoMemoryMb = 256;
inline constexpr int kMinUndoMemoryMb = 1;
inline constexpr int kMaxUndoMemoryMb = 4096;

class History {
 public:
  // Drops every step; revision numbers keep counting, so a state once saved
  // is never mistaken for a new one.
  void clear();
  // Makes `step` the newest, drops the redo branch and, to stay inside the
  // budget, the oldest steps. False when the step alone exceeds the budget:
  // the history is then empty.
  bool record(Step step);
  // The step undone or redone, or null with nothing to do.
  const Step* undo(Document& doc);
  const Step* redo(Document& doc);

  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }
  const std::string& undoName() const;
  const std::string& redoName() const;
  std::size_t undoCount() const { return undo_.size(); }
  std::size_t redoCount() const { return redo_.size(); }

  void setBudget(std::int64_t bytes);
  std::int64_t budget() const { return budget_; }
  std::int64_t bytes() const { return bytes_; }

  // Counts records, undos, redos and clears: an edit taken before another
  // change is stale.
  std::uint64_t changeCount() const { return changeCount_; }

  // A number no state had before.
  std::uint64_t newRevision() { return ++lastRevision_; }

  // The model's state against the one last read or written.
  bool modelModified() const { return modelRevision_ != savedModelRevision_; }
  void markModelSaved() { savedModelRevision_ = modelRevision_; }
  // A change that could not become a step still leaves the model unsaved.
  void markModelChanged() { modelRevision_ = newRevision(); }
  // A model read fresh: nothing to undo, nothing unsaved.
  void startModel();

 private:
  void trimTo(std::int64_t limit);

  std::deque<Step> undo_;
  std::vector<Step> redo_;
  std::int64_t budget_ = std::int64_t{kDefaultUndoMemoryMb} << 20;
  std::int64_t bytes_ = 0;
  std::uint64_t lastRevision_ = 0;
  std::uint64_t changeCount_ = 0;
  std::uint64_t modelRevision_ = 0;
  std::uint64_t savedModelRevision_ = 0;
};

}  // namespace pelt
