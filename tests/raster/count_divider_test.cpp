#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

#include "raster/count_divider.h"

namespace pelt::test {
namespace {

// The reciprocal must give exactly what the integer division gives,
// truncating toward zero, including exact multiples where rounding bites.
TEST(RasterCountDivider, MatchesIntegerDivision) {
  constexpr int kMaxCount = 4096;
  CountDivider divider;
  divider.resize(kMaxCount);
  std::mt19937 rng(99);
  std::uniform_int_distribution<std::int32_t> any(std::numeric_limits<std::int32_t>::min() + 1,
                                                  std::numeric_limits<std::int32_t>::max());
  std::uniform_int_distribution<std::int32_t> count(1, kMaxCount);
  std::uniform_int_distribution<std::int32_t> multiple(-(1 << 19), 1 << 19);
  for (int i = 0; i < 200000; ++i) {
    const std::int32_t n = count(rng);
    const std::int32_t d = any(rng);
    ASSERT_EQ(divider.divide(d, n), d / n) << d << " / " << n;
    const std::int64_t exact = static_cast<std::int64_t>(multiple(rng)) * n;
    if (exact > std::numeric_limits<std::int32_t>::min() && exact <= std::numeric_limits<std::int32_t>::max()) {
      for (std::int64_t e : {exact - 1, exact, exact + 1}) {
        if (e <= std::numeric_limits<std::int32_t>::min() || e > std::numeric_limits<std::int32_t>::max()) continue;
        const auto d32 = static_cast<std::int32_t>(e);
        ASSERT_EQ(divider.divide(d32, n), d32 / n) << d32 << " / " << n;
      }
    }
  }
  for (std::int32_t n = 1; n <= kMaxCount; ++n) {
    for (std::int32_t d : {0, 1, -1, n, -n, n - 1, 1 - n, std::numeric_limits<std::int32_t>::max(),
                           std::numeric_limits<std::int32_t>::min() + 1, std::numeric_limits<std::int32_t>::min(),
                           65536 * 255, -65536 * 255}) {
      ASSERT_EQ(divider.divide(d, n), d / n) << d << " / " << n;
    }
  }
}

}  // namespace
}  // namespace pelt::test
