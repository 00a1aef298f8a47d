#pragma once
// Independent checks of a model's surface: closed, consistently wound, and
// drawn from outside by the 3D view's back-face rule.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "model/md2_format.h"

namespace pelt::test {

// Every edge is used once in each direction by two triangles (so the
// surface is closed and neighbours agree on the winding).
inline ::testing::AssertionResult isClosedAndConsistent(const Md2Data& md2) {
  std::map<std::pair<int, int>, int> directed;
  for (const Md2Triangle& t : md2.triangles) {
    for (int k = 0; k < 3; ++k) {
      int a = t.vertexIndex[k], b = t.vertexIndex[(k + 1) % 3];
      if (a == b) return ::testing::AssertionFailure() << "triangle with a repeated corner " << a;
      ++directed[{a, b}];
    }
  }
  for (const auto& [edge, count] : directed) {
    if (count != 1)
      return ::testing::AssertionFailure() << "edge " << edge.first << "-" << edge.second
                                           << " used " << count << " times in one direction";
    if (!directed.count({edge.second, edge.first}))
      return ::testing::AssertionFailure()
             << "edge " << edge.first << "-" << edge.second << " is open";
  }
  return ::testing::AssertionSuccess();
}

struct P3 {
  double x, y, z;
};
inline P3 minus(P3 a, P3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline P3 crossP(P3 a, P3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double dotP(P3 a, P3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The 3D view's back-face test on eye-relative corner positions (a rotation
// into view space leaves the triple product unchanged): drawn when det < 0.
inline bool drawnFrom(P3 eye, P3 p0, P3 p1, P3 p2) {
  P3 a = minus(p0, eye), b = minus(p1, eye), c = minus(p2, eye);
  double det =
      (a.y * b.x - a.x * b.y) * c.z + (a.z * b.y - a.y * b.z) * c.x + (a.x * b.z - a.z * b.x) * c.y;
  return det < 0;
}

// Distance along the ray to the triangle, if the ray hits it.
inline std::optional<double> rayHit(P3 origin, P3 dir, P3 p0, P3 p1, P3 p2) {
  P3 e1 = minus(p1, p0), e2 = minus(p2, p0);
  P3 h = crossP(dir, e2);
  double a = dotP(e1, h);
  if (std::fabs(a) < 1e-12) return std::nullopt;
  P3 s = minus(origin, p0);
  double u = dotP(s, h) / a;
  if (u < 0 || u > 1) return std::nullopt;
  P3 q = crossP(s, e1);
  double v = dotP(dir, q) / a;
  if (v < 0 || u + v > 1) return std::nullopt;
  double t = dotP(e2, q) / a;
  if (t <= 0) return std::nullopt;
  return t;
}

// Looks at the frame from eyes all around; a triangle that a sight line hits
// first (through its centre) is on the outside and must be drawn. Returns how
// many such sightings were checked.
inline int checkOutsideIsDrawn(const Md2Data& md2, int frameIndex) {
  ModelFrame frame = decodeFrame(md2.frames[static_cast<std::size_t>(frameIndex)]);
  auto corner = [&](const Md2Triangle& t, int k) {
    const Vec3& v = frame.vertices[static_cast<std::size_t>(t.vertexIndex[k])];
    return P3{v.x, v.y, v.z};
  };
  P3 centre{0, 0, 0};
  for (const Vec3& v : frame.vertices) centre = {centre.x + v.x, centre.y + v.y, centre.z + v.z};
  double n = static_cast<double>(frame.vertices.size());
  centre = {centre.x / n, centre.y / n, centre.z / n};
  const P3 directions[] = {{1, 0, 0},  {-1, 0, 0},  {0, 1, 0},     {0, -1, 0},   {0, 0, 1},
                           {0, 0, -1}, {1, 1, 0.5}, {-1, 1, -0.5}, {0.3, -1, 1}, {-1, -0.4, 0.8}};
  int checked = 0;
  for (P3 d : directions) {
    double length = std::sqrt(dotP(d, d));
    P3 eye{centre.x + 1000 * d.x / length, centre.y + 1000 * d.y / length,
           centre.z + 1000 * d.z / length};
    for (std::size_t i = 0; i < md2.triangles.size(); ++i) {
      const Md2Triangle& t = md2.triangles[i];
      P3 p0 = corner(t, 0), p1 = corner(t, 1), p2 = corner(t, 2);
      if (dotP(crossP(minus(p1, p0), minus(p2, p0)), crossP(minus(p1, p0), minus(p2, p0))) < 1e-6)
        continue;
      P3 middle{(p0.x + p1.x + p2.x) / 3, (p0.y + p1.y + p2.y) / 3, (p0.z + p1.z + p2.z) / 3};
      P3 dir = minus(middle, eye);
      std::optional<double> own = rayHit(eye, dir, p0, p1, p2);
      if (!own) continue;
      bool first = true;
      for (std::size_t j = 0; j < md2.triangles.size() && first; ++j) {
        if (j == i) continue;
        const Md2Triangle& o = md2.triangles[j];
        std::optional<double> other = rayHit(eye, dir, corner(o, 0), corner(o, 1), corner(o, 2));
        if (other && *other < *own - 1e-9) first = false;
      }
      if (!first) continue;
      ++checked;
      EXPECT_TRUE(drawnFrom(eye, p0, p1, p2))
          << "triangle " << i << " faces inward, frame " << frameIndex;
    }
  }
  return checked;
}

}  // namespace pelt::test
