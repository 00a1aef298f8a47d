#pragma once
// Truncating signed division by a span's pixel count without a hardware
// divide per attribute and row: multiply by a tabled reciprocal, then correct
// the one case rounding can get wrong (an exact quotient landing just below).
// Exact for |dividend| < 2^31 and counts up to 2^20.

#include <cstdint>
#include <vector>

namespace pelt {

class CountDivider {
 public:
  // Grows only: views set their size before every frame.
  void resize(int maxCount) {
    const std::size_t size = static_cast<std::size_t>(maxCount < 1 ? 1 : maxCount) + 1;
    if (size <= inverse_.size()) return;
    const std::size_t first = inverse_.empty() ? 1 : inverse_.size();
    inverse_.resize(size);
    for (std::size_t n = first; n < size; ++n) inverse_[n] = 1.0 / static_cast<double>(n);
  }

  // dividend / count as C++ integer division does; count within 1..maxCount.
  std::int32_t divide(std::int32_t dividend, std::int32_t count) const {
    auto q = static_cast<std::int32_t>(static_cast<double>(dividend) * inverse_[count]);
    const std::int64_t rest = static_cast<std::int64_t>(dividend) - static_cast<std::int64_t>(q) * count;
    q += static_cast<std::int32_t>(rest >= count) - static_cast<std::int32_t>(rest <= -count);
    return q;
  }

 private:
  std::vector<double> inverse_;
};

}  // namespace pelt
