#pragma once
// "Snapshot": the 3D view written as an 8-bit image at its own or another
// size, or rendered again in true colour with smoothing.

namespace pelt {

class MainFrame;

inline constexpr const char* kSnapshotSizeMessage =
    "Neither Width nor Height can be less than 16 or more than 2048";
inline constexpr const char* kSnapshotErrorMessage = "Error!";
inline constexpr const char* kSnapshotFilter =
    "Bitmap (*.bmp)|*.bmp|ZSoft PCX (*.pcx)|*.pcx|All Files (*.*)|*.*|PNG Image (*.png)|*.png||";
inline constexpr int kSnapshotPcxFilter = 2;
inline constexpr int kSnapshotPngFilter = 4;

void takeSnapshot(MainFrame& frame);

}  // namespace pelt
