#pragma once
// A globe of radius 30 about the origin, `longitudes` x `latitudes` quads
// (two triangles each), facing out; symmetric across each axis, mapped
// longitude to s and latitude to t over a square skin.

#include <array>
#include <cmath>
#include <cstdint>

#include "model/md2_format.h"

namespace pelt::bench {

inline Md2Data globeMd2(int longitudes, int latitudes, int skinSize) {
  constexpr double kRadius = 30, kPi = 3.14159265358979;
  Md2Data data;
  data.skinWidth = data.skinHeight = skinSize;
  data.vertexCount = (longitudes + 1) * (latitudes + 1);
  Md2Frame& frame = data.frames.emplace_back(
      Md2Frame{{float(2 * kRadius / 255), float(2 * kRadius / 255), float(2 * kRadius / 255)},
               {float(-kRadius), float(-kRadius), float(-kRadius)},
               "globe",
               {}});
  auto packed = [&](double v) {
    return static_cast<std::uint8_t>(std::lround((v + kRadius) / frame.scale[0]));
  };
  for (int j = 0; j <= latitudes; ++j)
    for (int i = 0; i <= longitudes; ++i) {
      const double theta = kPi * j / latitudes, phi = 2 * kPi * i / longitudes;
      frame.vertices.push_back(
          {{packed(kRadius * std::sin(theta) * std::cos(phi)),
            packed(kRadius * std::sin(theta) * std::sin(phi)), packed(kRadius * std::cos(theta))}});
      data.st.push_back({static_cast<std::int16_t>(i * (skinSize - 1) / longitudes),
                         static_cast<std::int16_t>(j * (skinSize - 1) / latitudes)});
    }
  auto at = [&](int i, int j) { return static_cast<std::int16_t>(j * (longitudes + 1) + i); };
  for (int j = 0; j < latitudes; ++j)
    for (int i = 0; i < longitudes; ++i) {
      const std::array a{at(i, j), at(i + 1, j), at(i + 1, j + 1)};
      const std::array b{at(i, j), at(i + 1, j + 1), at(i, j + 1)};
      data.triangles.push_back({a, a});
      data.triangles.push_back({b, b});
    }
  return data;
}

}  // namespace pelt::bench
