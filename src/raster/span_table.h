#pragma once
// Each row's span extremes with the attributes recorded at them. Every field
// is an array of its own, so eight or sixteen consecutive rows load and
// store as one vector: the arrays start on 64-byte boundaries and hold the
// row count rounded up to sixteen, so a group of rows starting at a multiple
// of its size never leaves them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "raster/screen_vertex.h"

namespace pelt {

inline constexpr std::int32_t kSpanEmptyLeft = std::numeric_limits<std::int32_t>::max();
inline constexpr std::int32_t kSpanEmptyRight = std::numeric_limits<std::int32_t>::min();

// Row 0 of every field.
struct SpanFields {
  std::int32_t* left = nullptr;
  std::int32_t* right = nullptr;
  std::array<std::int32_t*, kMaxAttributes> leftAttr{};
  std::array<std::int32_t*, kMaxAttributes> rightAttr{};
};

class SpanTable {
 public:
  static constexpr int kGroupRows = 16;

  SpanTable() = default;
  SpanTable(const SpanTable& other) : storage_(other.storage_), stride_(other.stride_), rows_(other.rows_) {
    locate();
  }
  SpanTable& operator=(const SpanTable& other) {
    storage_ = other.storage_;
    stride_ = other.stride_;
    rows_ = other.rows_;
    locate();
    return *this;
  }

  // Every row empty afterwards.
  void resize(int rows);
  void clear();
  int rows() const { return rows_; }

  const SpanFields& fields() const { return fields_; }
  std::int32_t left(int y) const { return fields_.left[y]; }
  std::int32_t right(int y) const { return fields_.right[y]; }

 private:
  static constexpr std::size_t kFieldCount = 2 + 2 * kMaxAttributes;

  // Points the fields into the storage.
  void locate();

  std::vector<std::int32_t> storage_;
  std::size_t stride_ = 0;
  int rows_ = 0;
  SpanFields fields_;
};

}  // namespace pelt
