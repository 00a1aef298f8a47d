#pragma once
// The 4-connected region around a seed, found a row run at a time so a fill
// of a large skin costs a few passes over its bytes.

#include <vector>

namespace pelt {

// Calls span(y, x0, x1) once for every maximal run of row y, x0..x1, inside
// the region of width x height points where inside(x, y) holds that is
// 4-connected to (x, y). span must leave its points outside the region.
template <class Inside, class Span>
void floodSpans(int width, int height, int x, int y, Inside&& inside, Span&& span) {
  if (x < 0 || y < 0 || x >= width || y >= height || !inside(x, y)) return;
  struct Seed {
    int x, y;
  };
  std::vector<Seed> seeds{{x, y}};
  while (!seeds.empty()) {
    const Seed s = seeds.back();
    seeds.pop_back();
    if (!inside(s.x, s.y)) continue;
    int x0 = s.x, x1 = s.x;
    while (x0 > 0 && inside(x0 - 1, s.y)) --x0;
    while (x1 + 1 < width && inside(x1 + 1, s.y)) ++x1;
    span(s.y, x0, x1);
    // One seed per run of the rows above and below that touches this run.
    for (const int ny : {s.y - 1, s.y + 1}) {
      if (ny < 0 || ny >= height) continue;
      bool inRun = false;
      for (int nx = x0; nx <= x1; ++nx) {
        const bool in = inside(nx, ny);
        if (in && !inRun) seeds.push_back({nx, ny});
        inRun = in;
      }
    }
  }
}

}  // namespace pelt
