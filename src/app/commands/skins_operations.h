#pragma once
// Whole-skin operations of the Skins menu: resizing every skin with the
// mapping, replacing a colour range, and inverting palette and pixels.

namespace pelt {

class App;

inline constexpr const char* kResizeSameSizeMessage =
    "Try telling me something I don't already know!\nThe skins are already that size =]";
inline constexpr const char* kResizeZeroMessage =
    "Hey!  You really don't want to make your skin size 0!";
inline constexpr const char* kResizeWidthMultipleMessage = "The Width must be a multiple of 4!";
inline constexpr const char* kResizeTooLargeMessage = "Skins should not be larger than 640x480!";
inline constexpr const char* kResizeBeyondLimitMessage = "Skins cannot be larger than 4096x4096!";
inline constexpr int kEnforcedMaxSkinWidth = 640;
inline constexpr int kEnforcedMaxSkinHeight = 480;

bool canResizeSkins(const App& app);
void resizeAllSkins(App& app);
void replaceColors(App& app);
void invertPalette(App& app);
void invertPixels(App& app);
void invertBoth(App& app);

}  // namespace pelt
