#pragma once
// Truncating signed division by a span's pixel count without a hardware
// divide per attribute and row: the magnitude is multiplied by a tabled
// magic number and shifted, then the sign is put back. With shift
// 31 + ceil(log2 count) and magic ceil(2^shift / count) the rounding error
// stays below 1 / count, so the quotient is exact; the magic stays below 2^32,
// so the product fits in 64 bits, signed. Exact for |dividend| <= 2^31 and counts up
// to 2^20.

#include <cstdint>
#include <vector>

namespace pelt {

// One count's magic number; reuse it for every attribute of a row or edge.
struct CountReciprocal {
  std::uint64_t magic = 0;
  std::uint32_t shift = 0;

  // The signed product at once: for a negative dividend, adding 2^shift - 1
  // before the flooring shift rounds up, which is the magnitude's quotient
  // negated. |product| < 2^63, so it cannot overflow.
  std::int32_t divide(std::int32_t dividend) const {
    const std::int64_t product = std::int64_t{dividend} * static_cast<std::int64_t>(magic);
    const std::int64_t bias = (product >> 63) & ((std::int64_t{1} << shift) - 1);
    return static_cast<std::int32_t>((product + bias) >> shift);
  }
};

class CountDivider {
 public:
  // Grows only: views set their size before every frame.
  void resize(int maxCount) {
    const std::size_t size = static_cast<std::size_t>(maxCount < 1 ? 1 : maxCount) + 1;
    if (size <= magics_.size()) return;
    const std::size_t first = magics_.empty() ? 1 : magics_.size();
    magics_.resize(size);
    shifts_.resize(size);
    for (std::size_t n = first; n < size; ++n) {
      std::uint32_t ceilLog2 = 0;
      while ((std::uint64_t{1} << ceilLog2) < n) ++ceilLog2;
      const std::uint32_t shift = 31 + ceilLog2;
      magics_[n] = static_cast<std::uint32_t>(((std::uint64_t{1} << shift) + n - 1) / n);
      shifts_[n] = shift;
    }
  }

  CountReciprocal reciprocal(std::int32_t count) const {
    const auto n = static_cast<std::size_t>(count);
    return {magics_[n], shifts_[n]};
  }

  // dividend / count as C++ integer division does; count within 1..maxCount.
  std::int32_t divide(std::int32_t dividend, std::int32_t count) const {
    return reciprocal(count).divide(dividend);
  }

  // Every count's magic number and shift, indexed by the count, for lookups
  // of several counts at once.
  const std::uint32_t* magics() const { return magics_.data(); }
  const std::uint32_t* shifts() const { return shifts_.data(); }
  int maxCount() const { return static_cast<int>(magics_.size()) - 1; }

 private:
  std::vector<std::uint32_t> magics_;
  std::vector<std::uint32_t> shifts_;
};

}  // namespace pelt
