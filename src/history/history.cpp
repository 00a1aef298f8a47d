#include "history/history.h"

namespace pelt {

namespace {

const std::string kNoName;

}  // namespace

void History::clear() {
  ++changeCount_;
  undo_.clear();
  redo_.clear();
  bytes_ = 0;
}

void History::startModel() {
  clear();
  modelRevision_ = savedModelRevision_ = newRevision();
}

bool History::record(Step step) {
  if (step.empty()) return true;
  ++changeCount_;
  for (const Step& undone : redo_) bytes_ -= undone.bytes();
  redo_.clear();
  step.modelBefore = modelRevision_;
  if (step.changesModel) modelRevision_ = newRevision();
  step.modelAfter = modelRevision_;
  const std::int64_t size = step.bytes();
  if (size > budget_) {
    clear();
    return false;
  }
  trimTo(budget_ - size);
  bytes_ += size;
  undo_.push_back(std::move(step));
  return true;
}

const Step* History::undo(Document& doc) {
  if (undo_.empty()) return nullptr;
  ++changeCount_;
  Step& step = undo_.back();
  for (auto it = step.parts.rbegin(); it != step.parts.rend(); ++it) (*it)->undo(doc);
  modelRevision_ = step.modelBefore;
  redo_.push_back(std::move(step));
  undo_.pop_back();
  return &redo_.back();
}

const Step* History::redo(Document& doc) {
  if (redo_.empty()) return nullptr;
  ++changeCount_;
  Step& step = redo_.back();
  for (auto& part : step.parts) part->redo(doc);
  modelRevision_ = step.modelAfter;
  undo_.push_back(std::move(step));
  redo_.pop_back();
  return &undo_.back();
}

const std::string& History::undoName() const { return undo_.empty() ? kNoName : undo_.back().name; }
const std::string& History::redoName() const { return redo_.empty() ? kNoName : redo_.back().name; }

void History::setBudget(std::int64_t bytes) {
  budget_ = bytes;
  trimTo(budget_);
}

// Oldest first; the redo branch stays.
void History::trimTo(std::int64_t limit) {
  while (!undo_.empty() && bytes_ > limit) {
    bytes_ -= undo_.front().bytes();
    undo_.pop_front();
  }
}

}  // namespace pelt
