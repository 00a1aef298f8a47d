#include "model/gl_commands.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace pelt {

namespace {

// Two corners match only when both the vertex and the st index are equal.
struct Corner {
  std::int16_t vertex = 0;
  std::int16_t st = 0;
};

Corner cornerOf(const ModelTriangle& tri, int k) {
  const auto i = static_cast<size_t>(k % 3);
  return {tri.vertexIndex[i], tri.stIndex[i]};
}

std::uint64_t cornerKey(Corner c) {
  return (std::uint64_t{static_cast<std::uint16_t>(c.vertex)} << 16) |
         static_cast<std::uint16_t>(c.st);
}

std::uint64_t pairKey(Corner from, Corner to) { return (cornerKey(from) << 32) | cornerKey(to); }

// Every directed corner pair (corner k, corner k+1) of every triangle,
// grouped by pair and, within a group, in the order a scan of the triangle
// list meets them. A walk only ever asks for the pair running against an
// edge of a triangle it already holds, so those groups are looked up once.
class EdgeIndex {
 public:
  explicit EdgeIndex(std::span<const ModelTriangle> triangles) {
    const size_t n = triangles.size() * 3;
    slotMask_ = std::bit_ceil(std::max<size_t>(2 * n, 16)) - 1;
    slotKeys_.resize(slotMask_ + 1);
    slotGroups_.assign(slotMask_ + 1, -1);
    std::vector<int> groupOf(n);
    for (size_t e = 0; e < n; ++e) groupOf[e] = groupFor(edgeKey(triangles, e, false), true);
    // Counting sort by group; edges go in in scan order, so each group stays in it.
    groupStart_.assign(static_cast<size_t>(groups_) + 1, 0);
    for (int g : groupOf) ++groupStart_[static_cast<size_t>(g) + 1];
    for (size_t g = 0; g < static_cast<size_t>(groups_); ++g) groupStart_[g + 1] += groupStart_[g];
    cursor_.assign(groupStart_.begin(), groupStart_.end() - 1);
    entries_.resize(n);
    std::vector<std::uint32_t> fill = cursor_;
    for (size_t e = 0; e < n; ++e)
      entries_[fill[static_cast<size_t>(groupOf[e])]++] = static_cast<std::uint32_t>(e);
    against_.resize(n);
    for (size_t e = 0; e < n; ++e) against_[e] = groupFor(edgeKey(triangles, e, true), false);
  }

  // The group of the pair (corner k+1, corner k) of triangle t, or -1.
  int against(int t, int k) const { return against_[static_cast<size_t>(t * 3 + k % 3)]; }

  // The first edge (3 x triangle + corner) of the group on a triangle after
  // `after`, or -1. `after` never decreases between calls, so each group's
  // cursor only moves forward.
  int firstAfter(int group, int after) {
    std::uint32_t& at = cursor_[static_cast<size_t>(group)];
    const std::uint32_t end = groupStart_[static_cast<size_t>(group) + 1];
    const auto limit = static_cast<std::uint32_t>(after * 3 + 2);
    while (at < end && entries_[at] <= limit) ++at;
    return at < end ? static_cast<int>(entries_[at]) : -1;
  }

 private:
  static std::uint64_t edgeKey(std::span<const ModelTriangle> triangles, size_t e, bool reversed) {
    const ModelTriangle& tri = triangles[e / 3];
    const int k = static_cast<int>(e % 3);
    return reversed ? pairKey(cornerOf(tri, k + 1), cornerOf(tri, k))
                    : pairKey(cornerOf(tri, k), cornerOf(tri, k + 1));
  }

  // Open addressing on the pair key; -1 for a pair no triangle has.
  int groupFor(std::uint64_t key, bool insert) {
    size_t slot = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & slotMask_;
    while (slotGroups_[slot] >= 0) {
      if (slotKeys_[slot] == key) return slotGroups_[slot];
      slot = (slot + 1) & slotMask_;
    }
    if (!insert) return -1;
    slotKeys_[slot] = key;
    slotGroups_[slot] = groups_;
    return groups_++;
  }

  size_t slotMask_ = 0;
  std::vector<std::uint64_t> slotKeys_;
  std::vector<int> slotGroups_;
  int groups_ = 0;
  std::vector<std::uint32_t> entries_;
  std::vector<std::uint32_t> groupStart_;
  std::vector<std::uint32_t> cursor_;
  std::vector<int> against_;
};

enum Use : std::uint8_t { kFree = 0, kEmitted = 1, kTentative = 2 };

struct Candidate {
  bool fan = false;
  std::vector<Corner> corners;
  std::vector<int> triangles;
  int count() const { return static_cast<int>(triangles.size()); }
};

class Builder {
 public:
  explicit Builder(const Model& model)
      : model_(model),
        triangles_(std::span<const ModelTriangle>(model.triangles)
                       .first(static_cast<size_t>(std::clamp(
                           model.triangleCount, 0, static_cast<int>(model.triangles.size()))))),
        index_(triangles_),
        used_(triangles_.size(), kFree) {}

  void run(std::vector<std::int32_t>& out) {
    for (int i = 0; i < static_cast<int>(triangles_.size()); ++i) {
      if (used_[static_cast<size_t>(i)] != kFree) continue;
      best_.triangles.clear();
      for (bool fan : {true, false}) {
        for (int c = 0; c < 3; ++c) {
          measure(i, c, fan);
          if (candidate_.count() > best_.count()) std::swap(candidate_, best_);
        }
      }
      for (int t : best_.triangles) used_[static_cast<size_t>(t)] = kEmitted;
      emit(best_, out);
    }
    out.push_back(0);
  }

 private:
  const ModelTriangle& tri(int t) const { return triangles_[static_cast<size_t>(t)]; }

  void measure(int i, int c, bool fan) {
    Candidate& cand = candidate_;
    cand.fan = fan;
    cand.corners = {cornerOf(tri(i), c), cornerOf(tri(i), c + 1), cornerOf(tri(i), c + 2)};
    cand.triangles.assign(1, i);
    used_[static_cast<size_t>(i)] = kTentative;
    int group = index_.against(i, fan ? c + 2 : c + 1);
    while (group >= 0) {
      const int edge = index_.firstAfter(group, i);
      if (edge < 0) break;
      const int j = edge / 3, k = edge % 3;
      if (used_[static_cast<size_t>(j)] != kFree) break;
      // A strip alternates which end of the shared edge the new corner replaces.
      const bool replacesFirst = !fan && cand.count() % 2 == 0;
      group = index_.against(j, replacesFirst ? k + 1 : k + 2);
      cand.corners.push_back(cornerOf(tri(j), k + 2));
      cand.triangles.push_back(j);
      used_[static_cast<size_t>(j)] = kTentative;
    }
    for (size_t n = 1; n < cand.triangles.size(); ++n)
      used_[static_cast<size_t>(cand.triangles[n])] = kFree;
  }

  void emit(const Candidate& best, std::vector<std::int32_t>& out) const {
    const auto vertices = static_cast<std::int32_t>(best.corners.size());
    out.push_back(best.fan ? -vertices : vertices);
    for (const Corner& corner : best.corners) {
      const auto index = static_cast<size_t>(static_cast<std::uint16_t>(corner.st));
      const StCoord st = index < model_.stCoords.size() ? model_.stCoords[index] : StCoord{};
      out.push_back(std::bit_cast<std::int32_t>(glTexCoord(st.s, model_.skinWidth)));
      out.push_back(std::bit_cast<std::int32_t>(glTexCoord(st.t, model_.skinHeight)));
      out.push_back(corner.vertex);
    }
  }

  const Model& model_;
  std::span<const ModelTriangle> triangles_;
  EdgeIndex index_;
  std::vector<std::uint8_t> used_;
  Candidate candidate_;
  Candidate best_;
};

}  // namespace

float glTexCoord(int texel, int skinSize) {
  return static_cast<float>((texel + 0.5) / std::max(skinSize, 1));
}

int buildGlCommands(const Model& model, std::vector<std::int32_t>& out) {
  out.clear();
  Builder(model).run(out);
  return static_cast<int>(out.size());
}

GlCommandStats glCommandStats(std::span<const std::int32_t> words) {
  GlCommandStats stats;
  stats.words = static_cast<int>(words.size());
  size_t at = 0;
  while (at < words.size()) {
    const std::int64_t count = words[at];
    if (count == 0) {
      stats.wellFormed = at + 1 == words.size();
      return stats;
    }
    const std::int64_t vertices = std::llabs(count);
    if (vertices * 3 > static_cast<std::int64_t>(words.size() - at - 1)) return stats;
    (count > 0 ? stats.strips : stats.fans) += 1;
    stats.vertices += static_cast<int>(vertices);
    at += 1 + static_cast<size_t>(vertices) * 3;
  }
  return stats;
}

}  // namespace pelt
