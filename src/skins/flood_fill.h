#pragma once
// The 4-connected region around a seed, found a row run at a time so a fill
// of a large skin costs a few passes over its bytes.

#include <vector>

namespace pelt {

// Calls span(y, x0, x1) once for every maximal run x0..x1 of row y inside
// the region 4-connected to (x, y), in a width x height area. The region
// answers inside(x, y), and for a row y from x up to (not including) end:
// insideEnd, the first point outside (or end), and outsideEnd, the first
// point inside (or end). span must leave its points outside the region.
template <class Region, class Span>
void floodSpans(int width, int height, int x, int y, const Region& region, Span&& span) {
  if (x < 0 || y < 0 || x >= width || y >= height || !region.inside(x, y)) return;
  struct Seed {
    int x, y;
  };
  std::vector<Seed> seeds{{x, y}};
  while (!seeds.empty()) {
    const Seed s = seeds.back();
    seeds.pop_back();
    if (!region.inside(s.x, s.y)) continue;
    int x0 = s.x;
    while (x0 > 0 && region.inside(x0 - 1, s.y)) --x0;
    const int x1 = region.insideEnd(s.y, s.x, width) - 1;
    span(s.y, x0, x1);
    // One seed per run of the rows above and below that touches this run.
    for (const int ny : {s.y - 1, s.y + 1}) {
      if (ny < 0 || ny >= height) continue;
      for (int nx = region.outsideEnd(ny, x0, x1 + 1); nx <= x1;
           nx = region.outsideEnd(ny, region.insideEnd(ny, nx, x1 + 1), x1 + 1))
        seeds.push_back({nx, ny});
    }
  }
}

}  // namespace pelt
