#include "raster/span_table.h"

#include <algorithm>
#include <cstdint>

namespace pelt {

namespace {
constexpr std::size_t kAlignEntries = 64 / sizeof(std::int32_t);
}

void SpanTable::resize(int rows) {
  rows_ = std::max(rows, 0);
  const auto groups = (static_cast<std::size_t>(rows_) + kGroupRows - 1) / kGroupRows;
  stride_ = groups * kGroupRows;
  // Spare entries to move the first array onto a 64-byte boundary.
  storage_.assign(stride_ * kFieldCount + kAlignEntries, 0);
  locate();
  clear();
}

void SpanTable::clear() {
  std::fill_n(fields_.left, stride_, kSpanEmptyLeft);
  std::fill_n(fields_.right, stride_, kSpanEmptyRight);
}

void SpanTable::locate() {
  if (storage_.empty()) {
    fields_ = {};
    return;
  }
  const auto address = reinterpret_cast<std::uintptr_t>(storage_.data());
  const std::size_t skip = (kAlignEntries - address / sizeof(std::int32_t) % kAlignEntries) % kAlignEntries;
  std::int32_t* field = storage_.data() + skip;
  auto next = [&] {
    std::int32_t* at = field;
    field += stride_;
    return at;
  };
  fields_.left = next();
  fields_.right = next();
  for (std::int32_t*& f : fields_.leftAttr) f = next();
  for (std::int32_t*& f : fields_.rightAttr) f = next();
}

}  // namespace pelt
