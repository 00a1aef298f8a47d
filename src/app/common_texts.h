#pragma once
// Texts and filters that several commands share.

namespace pelt {

inline constexpr const char* kPaletteFilter =
    "Mesh Skin (*.pcx)|*.pcx|Bitmap (*.bmp)|*.bmp|Photoshop ACT (*.act)|*.act|"
    "All Files (*.*)|*.*|PNG Image (*.png)|*.png|Targa Image (*.tga)|*.tga||";
inline constexpr const char* kFolderNotValidMessage = "That folder is not valid";
inline constexpr const char* kNotEnoughMemoryMessage = "Not enough memory for that.";

}  // namespace pelt
