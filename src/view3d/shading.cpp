#include "view3d/shading.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace pelt {

namespace {

constexpr double kShadeScale = 127.0;
constexpr double kMapScale = 128.0;

// N . L + 1, in 0..2 for unit vectors.
double lighting(const ModelTriangle& tri, const std::array<float, 3>& light) {
  return static_cast<double>(tri.normal[0]) * light[0] +
         static_cast<double>(tri.normal[1]) * light[1] +
         static_cast<double>(tri.normal[2]) * light[2] - (-1.0);
}

// Truncates toward zero like a plain conversion, but a value outside the
// range (or NaN) cannot make the conversion undefined.
int truncatedIn(double value, int low, int high) {
  if (!(value >= low)) return low;
  if (value > high) return high;
  return static_cast<int>(value);
}

std::uint8_t curveAt(const ShadeCurve& curve, double index) {
  return curve[static_cast<size_t>(truncatedIn(index, 0, 255))];
}

// Map coordinates wrap through 16 bits, as the sums that average them do.
std::uint16_t mapUnits(float coordinate) {
  return static_cast<std::uint16_t>(truncatedIn((coordinate + 1.0) * kMapScale, -65536, 65536));
}

bool usesVertex(const ModelTriangle& tri, int k, int vertexCount) {
  return tri.vertexIndex[static_cast<size_t>(k)] >= 0 &&
         tri.vertexIndex[static_cast<size_t>(k)] < vertexCount;
}

void flatShading(std::span<ModelTriangle> triangles, const ShadeTables& tables, bool companion) {
  for (ModelTriangle& tri : triangles) {
    const double shade = lighting(tri, tables.lightDirection) * kShadeScale;
    tri.cornerShade[0] = companion ? curveAt(tables.shadeCurve, shade)
                                   : static_cast<std::uint8_t>(truncatedIn(shade, 0, 255));
  }
}

void gouraudShading(std::span<ModelTriangle> triangles, int vertexCount,
                    const ShadeTables& tables) {
  std::vector<float> sum(static_cast<size_t>(vertexCount));
  std::vector<int> count(static_cast<size_t>(vertexCount));
  for (const ModelTriangle& tri : triangles) {
    const float value = static_cast<float>(lighting(tri, tables.lightDirection));
    for (int k = 0; k < 3; ++k) {
      if (!usesVertex(tri, k, vertexCount)) continue;
      const auto v = static_cast<size_t>(tri.vertexIndex[static_cast<size_t>(k)]);
      sum[v] += value;
      ++count[v];
    }
  }
  for (ModelTriangle& tri : triangles) {
    for (int k = 0; k < 3; ++k) {
      if (!usesVertex(tri, k, vertexCount)) continue;
      const auto v = static_cast<size_t>(tri.vertexIndex[static_cast<size_t>(k)]);
      tri.cornerShade[static_cast<size_t>(k)] =
          curveAt(tables.shadeCurve, sum[v] * kShadeScale / count[v]);
    }
  }
}

void mapShading(std::span<ModelTriangle> triangles, int vertexCount) {
  std::vector<std::uint16_t> sumU(static_cast<size_t>(vertexCount));
  std::vector<std::uint16_t> sumV(static_cast<size_t>(vertexCount));
  std::vector<int> count(static_cast<size_t>(vertexCount));
  for (const ModelTriangle& tri : triangles) {
    const std::uint16_t u = mapUnits(tri.mapNormal[0]);
    const std::uint16_t v = mapUnits(tri.mapNormal[1]);
    for (int k = 0; k < 3; ++k) {
      if (!usesVertex(tri, k, vertexCount)) continue;
      const auto i = static_cast<size_t>(tri.vertexIndex[static_cast<size_t>(k)]);
      sumU[i] = static_cast<std::uint16_t>(sumU[i] + u);
      sumV[i] = static_cast<std::uint16_t>(sumV[i] + v);
      ++count[i];
    }
  }
  for (ModelTriangle& tri : triangles) {
    for (int k = 0; k < 3; ++k) {
      if (!usesVertex(tri, k, vertexCount)) continue;
      const auto i = static_cast<size_t>(tri.vertexIndex[static_cast<size_t>(k)]);
      tri.cornerMapSt[static_cast<size_t>(k)] = {static_cast<std::uint8_t>(sumU[i] / count[i]),
                                                 static_cast<std::uint8_t>(sumV[i] / count[i])};
    }
  }
}

}  // namespace

MapAngles environmentAngles(const ViewBasis& b) { return {b.c1, b.s1, b.c2, b.s2}; }

MapAngles phongAngles(const ViewBasis& b, const std::array<float, 3>& light) {
  const double lx = b.c1 * light[0] - b.s1 * light[1];
  const double ly = b.c1 * light[1] + b.s1 * light[0];
  const double lz = b.c2 * light[2] + b.s2 * lx;
  const double b1 = -std::atan2(lz, ly);
  const double cb = std::cos(b1), sb = std::sin(b1);
  const double b2 = std::atan2(b.c2 * lx - b.s2 * light[2], cb * ly - sb * lz);
  const double hA = -0.5 * b1 - b.yaw;
  const double hB = 0.5 * b2 - b.pitch;
  return {std::cos(hA), std::sin(hA), std::cos(hB), std::sin(hB)};
}

void writeMapNormals(std::span<ModelTriangle> triangles, const MapAngles& a) {
  for (ModelTriangle& tri : triangles) {
    const double nx = tri.normal[0], ny = tri.normal[1], nz = tri.normal[2];
    tri.mapNormal[0] = static_cast<float>(a.cA * ny + a.sA * nx);
    tri.mapNormal[1] = static_cast<float>(a.cB * nz + (a.cA * nx - a.sA * ny) * a.sB);
  }
}

void computeShading(ShadingKind kind, std::span<ModelTriangle> triangles, int vertexCount,
                    const ShadeTables& tables, bool companion) {
  switch (kind) {
    case ShadingKind::Flat: flatShading(triangles, tables, companion); break;
    case ShadingKind::Gouraud: gouraudShading(triangles, vertexCount, tables); break;
    case ShadingKind::Map: mapShading(triangles, vertexCount); break;
    case ShadingKind::None: break;
  }
}

}  // namespace pelt
