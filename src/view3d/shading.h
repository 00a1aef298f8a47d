#pragma once
// The per-triangle values the shaded and lit modes feed the fillers: flat
// and per-corner shades from the face normals and the light, and per-corner
// coordinates into a phong or environment map.

#include <array>
#include <span>

#include "model/model.h"
#include "view3d/shade_tables.h"
#include "view3d/view_basis.h"

namespace pelt {

enum class ShadingKind { None, Flat, Gouraud, Map };

// The rotation that turns a face normal into map coordinates.
struct MapAngles {
  double cA = 1, sA = 0, cB = 1, sB = 0;
};

// The environment map is sampled with the camera's rotation ...
MapAngles environmentAngles(const ViewBasis& basis);
// ... the phong map half-way between the camera and the light.
MapAngles phongAngles(const ViewBasis& basis, const std::array<float, 3>& light);

void writeMapNormals(std::span<ModelTriangle> triangles, const MapAngles& angles);

// A companion's flat shade goes through the brightness curve, the model's
// does not. Vertices no triangle uses are skipped in the averages.
void computeShading(ShadingKind kind, std::span<ModelTriangle> triangles, int vertexCount,
                    const ShadeTables& tables, bool companion);

}  // namespace pelt
