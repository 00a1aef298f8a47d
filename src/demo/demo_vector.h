#pragma once
// Small vector helpers for building demo geometry.

#include <cmath>

#include "model/model.h"

namespace pelt {

inline Vec3 add(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 scale(Vec3 a, double k) {
  return {static_cast<float>(a.x * k), static_cast<float>(a.y * k), static_cast<float>(a.z * k)};
}
inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 normalized(Vec3 a) {
  float length = std::sqrt(dot(a, a));
  return length > 0 ? scale(a, 1.0 / length) : a;
}

}  // namespace pelt
