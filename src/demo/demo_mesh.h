#pragma once
// Building MD2 models in code. Geometry code runs once per animation frame
// and adds the same vertices and triangles in the same order every time, so
// the posed copies differ only in positions; `assembleMd2` turns them into one
// model with a shared st table and packed frames.

#include <array>
#include <span>
#include <string>
#include <vector>

#include "model/md2_format.h"
#include "model/model.h"

namespace pelt {

struct MeshTriangle {
  std::array<int, 3> vertex{};
  std::array<StCoord, 3> st{};
};

class MeshBuilder {
 public:
  int addVertex(Vec3 position);
  void addTriangle(std::array<int, 3> vertex, std::array<StCoord, 3> st);
  // Two triangles a-b-c and a-c-d.
  void addQuad(std::array<int, 4> vertex, std::array<StCoord, 4> st);

  // A closed part lies between beginPart and endPart. The 3D view draws a
  // triangle whose corners run clockwise as seen from the eye, so endPart
  // turns the part's triangles, if needed, to run clockwise seen from outside.
  void beginPart();
  void endPart();

  const std::vector<Vec3>& vertices() const { return vertices_; }
  const std::vector<MeshTriangle>& triangles() const { return triangles_; }

 private:
  std::vector<Vec3> vertices_;
  std::vector<MeshTriangle> triangles_;
  std::size_t partStart_ = 0;
};

// Sum of p0 . (p1 x p2) over the triangles: six times the enclosed volume,
// negative when every part runs clockwise seen from outside.
double signedVolume(std::span<const Vec3> vertices, std::span<const MeshTriangle> triangles);

// Triangles come from the first posed copy, positions from each. Every
// triangle also becomes a one-triangle fan in the GL command list.
Md2Data assembleMd2(std::span<const MeshBuilder> posed, std::span<const std::string> frameNames,
                    int skinWidth, int skinHeight, std::vector<std::string> skinNames);

// Small fixtures: a closed box of 12 triangles whose faces each take a
// sixth of the skin, growing a little from frame to frame ...
Md2Data makeBoxModel(float halfSize, int skinWidth, int skinHeight, int frameCount);
// ... and an open flat strip of 2 * quadCount triangles whose st runs across
// the whole skin, left to right, top to bottom.
Md2Data makeStripModel(int quadCount, int skinWidth, int skinHeight);

}  // namespace pelt
