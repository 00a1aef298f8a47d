#pragma once
// The intro's logo: a fixed wireframe mesh in model units.

#include <array>
#include <span>

namespace pelt {

inline constexpr int kLogoVertexCount = 43;
inline constexpr int kLogoTriangleCount = 78;

struct LogoVertex {
  float x, y, z;
};
using LogoTriangle = std::array<int, 3>;

std::span<const LogoVertex, kLogoVertexCount> logoVertices();
std::span<const LogoTriangle, kLogoTriangleCount> logoTriangles();

}  // namespace pelt
