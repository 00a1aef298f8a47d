#pragma once
// Where a user's action meets the memory: an allocation that fails ends the
// action with a message instead of ending the program.

#include <new>
#include <utility>

#include "app/common_texts.h"
#include "platform/platform.h"

namespace pelt {

// Runs `action`; when memory runs out it says so and returns false. Actions
// that change the document allocate first, so it stays as it was.
template <class Action>
bool runGuarded(Platform& platform, Action&& action) {
  try {
    std::forward<Action>(action)();
    return true;
  } catch (const std::bad_alloc&) {
    platform.warningBox(kNotEnoughMemoryMessage);
    return false;
  }
}

}  // namespace pelt
