#include "demo/demo_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace pelt {

namespace {

double tripleProduct(Vec3 a, Vec3 b, Vec3 c) {
  double cx = double(b.y) * c.z - double(b.z) * c.y;
  double cy = double(b.z) * c.x - double(b.x) * c.z;
  double cz = double(b.x) * c.y - double(b.y) * c.x;
  return a.x * cx + a.y * cy + a.z * cz;
}

Md2Frame packFrame(const std::string& name, const std::vector<Vec3>& positions, int vertexCount) {
  Md2Frame frame;
  frame.name = name;
  Vec3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
  for (const Vec3& p : positions) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
  }
  if (positions.empty()) lo = hi = {};
  const float low[3] = {lo.x, lo.y, lo.z};
  const float high[3] = {hi.x, hi.y, hi.z};
  for (int k = 0; k < 3; ++k) {
    float extent = high[k] - low[k];
    frame.scale[k] = extent > 0 ? extent / 255.0f : 1.0f;
    frame.translate[k] = low[k];
  }
  frame.vertices.resize(static_cast<std::size_t>(vertexCount));
  for (std::size_t i = 0; i < positions.size() && i < frame.vertices.size(); ++i) {
    const float p[3] = {positions[i].x, positions[i].y, positions[i].z};
    for (int k = 0; k < 3; ++k) {
      long q = std::lround((p[k] - frame.translate[k]) / frame.scale[k]);
      frame.vertices[i].v[k] = static_cast<std::uint8_t>(std::clamp(q, 0L, 255L));
    }
  }
  return frame;
}

std::int32_t floatWord(float f) {
  std::int32_t word;
  std::memcpy(&word, &f, sizeof word);
  return word;
}

}  // namespace

int MeshBuilder::addVertex(Vec3 position) {
  vertices_.push_back(position);
  return static_cast<int>(vertices_.size()) - 1;
}

void MeshBuilder::addTriangle(std::array<int, 3> vertex, std::array<StCoord, 3> st) {
  triangles_.push_back({vertex, st});
}

void MeshBuilder::addQuad(std::array<int, 4> v, std::array<StCoord, 4> st) {
  addTriangle({v[0], v[1], v[2]}, {st[0], st[1], st[2]});
  addTriangle({v[0], v[2], v[3]}, {st[0], st[2], st[3]});
}

void MeshBuilder::beginPart() { partStart_ = triangles_.size(); }

void MeshBuilder::endPart() {
  std::span<const MeshTriangle> part(triangles_.data() + partStart_,
                                     triangles_.size() - partStart_);
  if (signedVolume(vertices_, part) <= 0) return;
  for (std::size_t i = partStart_; i < triangles_.size(); ++i) {
    std::swap(triangles_[i].vertex[1], triangles_[i].vertex[2]);
    std::swap(triangles_[i].st[1], triangles_[i].st[2]);
  }
}

double signedVolume(std::span<const Vec3> vertices, std::span<const MeshTriangle> triangles) {
  double sum = 0;
  for (const MeshTriangle& t : triangles)
    sum += tripleProduct(vertices[static_cast<std::size_t>(t.vertex[0])],
                         vertices[static_cast<std::size_t>(t.vertex[1])],
                         vertices[static_cast<std::size_t>(t.vertex[2])]);
  return sum;
}

Md2Data assembleMd2(std::span<const MeshBuilder> posed, std::span<const std::string> frameNames,
                    int skinWidth, int skinHeight, std::vector<std::string> skinNames) {
  Md2Data data;
  data.skinWidth = skinWidth;
  data.skinHeight = skinHeight;
  data.skinNames = std::move(skinNames);
  if (posed.empty()) return data;
  const MeshBuilder& base = posed.front();
  data.vertexCount = static_cast<std::int32_t>(base.vertices().size());

  for (const MeshTriangle& t : base.triangles()) {
    Md2Triangle out;
    for (int k = 0; k < 3; ++k) {
      out.vertexIndex[k] = static_cast<std::int16_t>(t.vertex[k]);
      auto found = std::find(data.st.begin(), data.st.end(), t.st[k]);
      out.stIndex[k] = static_cast<std::int16_t>(found - data.st.begin());
      if (found == data.st.end()) data.st.push_back(t.st[k]);
    }
    data.triangles.push_back(out);
  }

  for (std::size_t f = 0; f < posed.size(); ++f) {
    std::string name = f < frameNames.size() ? frameNames[f] : "frame" + std::to_string(f);
    data.frames.push_back(packFrame(name, posed[f].vertices(), data.vertexCount));
  }

  for (const Md2Triangle& t : data.triangles) {
    data.glCommands.push_back(-3);
    for (int k = 0; k < 3; ++k) {
      const StCoord& st = data.st[static_cast<std::size_t>(t.stIndex[k])];
      data.glCommands.push_back(floatWord(static_cast<float>((st.s + 0.5) / skinWidth)));
      data.glCommands.push_back(floatWord(static_cast<float>((st.t + 0.5) / skinHeight)));
      data.glCommands.push_back(t.vertexIndex[k]);
    }
  }
  data.glCommands.push_back(0);
  return data;
}

Md2Data makeBoxModel(float halfSize, int skinWidth, int skinHeight, int frameCount) {
  // Corner i sits at (+-h, +-h, +-h) by bits 0, 1, 2 of i. Faces go +x, -x,
  // +y, -y, +z, -z; each takes one cell of a 3 x 2 grid on the skin.
  std::vector<MeshBuilder> posed(static_cast<std::size_t>(std::max(frameCount, 1)));
  std::vector<std::string> names;
  const int cellW = skinWidth / 3, cellH = skinHeight / 2;
  for (std::size_t f = 0; f < posed.size(); ++f) {
    names.push_back("box" + std::to_string(f + 1));
    float h = halfSize * (1.0f + 0.1f * static_cast<float>(f));
    MeshBuilder& mesh = posed[f];
    mesh.beginPart();
    for (int i = 0; i < 8; ++i) mesh.addVertex({i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h});
    for (int face = 0; face < 6; ++face) {
      int axis = face / 2;
      bool positive = face % 2 == 0;
      int u = (axis + 1) % 3, v = (axis + 2) % 3;
      // (u, v) = (-,-), (+,-), (+,+), (-,+) turns anticlockwise about +axis.
      static constexpr int kU[4] = {0, 1, 1, 0};
      static constexpr int kV[4] = {0, 0, 1, 1};
      std::array<int, 4> corners{};
      std::array<StCoord, 4> st{};
      int s0 = (face % 3) * cellW, t0 = (face / 3) * cellH;
      for (int c = 0; c < 4; ++c) {
        int k = positive ? c : 3 - c;
        corners[static_cast<std::size_t>(c)] =
            (positive ? 1 << axis : 0) | (kU[k] << u) | (kV[k] << v);
        st[static_cast<std::size_t>(c)] = {static_cast<std::int16_t>(s0 + kU[k] * (cellW - 1)),
                                           static_cast<std::int16_t>(t0 + kV[k] * (cellH - 1))};
      }
      mesh.addQuad(corners, st);
    }
    mesh.endPart();
  }
  return assembleMd2(posed, names, skinWidth, skinHeight, {});
}

Md2Data makeStripModel(int quadCount, int skinWidth, int skinHeight) {
  MeshBuilder mesh;
  quadCount = std::max(quadCount, 1);
  for (int i = 0; i <= quadCount; ++i) {
    mesh.addVertex({static_cast<float>(i), 0, 0});
    mesh.addVertex({static_cast<float>(i), 0, 1});
  }
  for (int i = 0; i < quadCount; ++i) {
    auto s = [&](int column) {
      return static_cast<std::int16_t>(column * (skinWidth - 1) / quadCount);
    };
    StCoord topLeft{s(i), 0}, topRight{s(i + 1), 0};
    StCoord bottomLeft{s(i), static_cast<std::int16_t>(skinHeight - 1)};
    StCoord bottomRight{s(i + 1), static_cast<std::int16_t>(skinHeight - 1)};
    int b0 = 2 * i, t0 = 2 * i + 1, b1 = 2 * i + 2, t1 = 2 * i + 3;
    mesh.addQuad({t0, t1, b1, b0}, {topLeft, topRight, bottomRight, bottomLeft});
  }
  std::vector<MeshBuilder> posed{mesh};
  std::vector<std::string> names{"strip"};
  return assembleMd2(posed, names, skinWidth, skinHeight, {});
}

}  // namespace pelt
