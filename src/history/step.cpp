#include "history/step.h"

namespace pelt {

std::int64_t Step::bytes() const {
  std::int64_t total = static_cast<std::int64_t>(sizeof(Step) + name.capacity());
  for (const auto& part : parts) total += part->bytes();
  return total;
}

}  // namespace pelt
