#pragma once

namespace pelt {

class App;

// Mask bits of a view refresh.
inline constexpr int kRefreshSkinView = 1;
inline constexpr int kRefreshModelView = 2;
inline constexpr int kRefreshGradientBox = 4;
inline constexpr int kRefreshPaletteBox = 8;
inline constexpr int kRefreshAllViews = 0x2F;

// Linked skins first (the current skin moves with its record).
void arrangeSkins(App& app);

// The common refresh every command ends with: arrange the skins, refill the
// lists, post a full redraw of all four views.
void refreshListsAndViews(App& app);

}  // namespace pelt
