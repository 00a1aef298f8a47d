#include "model/selection.h"

#include <algorithm>
#include <cstdint>
#include <span>

#include "model/model.h"

namespace pelt {

namespace {

constexpr std::uint8_t kMarkSelected = 1;
constexpr std::uint8_t kMarkSpread = 2;

bool visible(const ModelTriangle& tri) { return (tri.flags & kTriangleHidden) == 0; }
bool selected(const ModelTriangle& tri) { return (tri.flags & kTriangleSelected) != 0; }

std::span<ModelTriangle> usedTriangles(Model& model) {
  return {model.triangles.data(), static_cast<size_t>(model.triangleCount)};
}

std::uint8_t& mark(Model& model, const ModelTriangle& tri, int k) {
  return model.stMarks[static_cast<size_t>(tri.stIndex[static_cast<size_t>(k)])];
}

void clearMarks(Model& model) {
  std::fill_n(model.stMarks.begin(), std::max(model.stCount, 0), std::uint8_t{0});
}

void markVisibleSelection(Model& model) {
  clearMarks(model);
  for (const ModelTriangle& tri : usedTriangles(model))
    if (visible(tri) && selected(tri))
      for (int k = 0; k < 3; ++k) mark(model, tri, k) |= kMarkSelected;
}

bool anyMarked(Model& model, const ModelTriangle& tri, std::uint8_t bit) {
  return (mark(model, tri, 0) & bit) || (mark(model, tri, 1) & bit) || (mark(model, tri, 2) & bit);
}

bool allMarked(Model& model, const ModelTriangle& tri, std::uint8_t bit) {
  return (mark(model, tri, 0) & bit) && (mark(model, tri, 1) & bit) && (mark(model, tri, 2) & bit);
}

void spreadFrom(Model& model, ModelTriangle& tri) {
  for (int k = 0; k < 3; ++k) mark(model, tri, k) |= kMarkSpread;
}

}  // namespace

void selectAll(Model& model) {
  for (ModelTriangle& tri : usedTriangles(model)) tri.flags |= kTriangleSelected;
}

void selectNone(Model& model) {
  for (ModelTriangle& tri : usedTriangles(model)) tri.flags &= ~kTriangleSelected;
}

void invertSelection(Model& model) {
  for (ModelTriangle& tri : usedTriangles(model)) tri.flags ^= kTriangleSelected;
}

void selectConnected(Model& model) {
  for (bool grew = true; grew;) {
    grew = false;
    markVisibleSelection(model);
    for (ModelTriangle& tri : usedTriangles(model)) {
      if (!visible(tri) || selected(tri) || !anyMarked(model, tri, kMarkSelected)) continue;
      tri.flags |= kTriangleSelected;
      grew = true;
    }
  }
}

void growSelection(Model& model) {
  markVisibleSelection(model);
  for (ModelTriangle& tri : usedTriangles(model))
    if (visible(tri) && anyMarked(model, tri, kMarkSelected)) spreadFrom(model, tri);
  for (ModelTriangle& tri : usedTriangles(model))
    if (visible(tri) && allMarked(model, tri, kMarkSpread)) tri.flags |= kTriangleSelected;
}

void shrinkSelection(Model& model) {
  markVisibleSelection(model);
  for (ModelTriangle& tri : usedTriangles(model))
    if (visible(tri) && (!selected(tri) || !allMarked(model, tri, kMarkSelected)))
      spreadFrom(model, tri);
  for (ModelTriangle& tri : usedTriangles(model))
    if (visible(tri) && anyMarked(model, tri, kMarkSpread)) tri.flags &= ~kTriangleSelected;
}

void hideSelected(Model& model) {
  for (ModelTriangle& tri : usedTriangles(model))
    if (selected(tri)) tri.flags |= kTriangleHidden;
}

void unhideAll(Model& model) {
  for (ModelTriangle& tri : usedTriangles(model))
    if (!visible(tri)) tri.flags = (tri.flags & ~kTriangleHidden) | kTriangleSelected;
}

}  // namespace pelt
