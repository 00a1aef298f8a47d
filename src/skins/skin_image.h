#pragma once
// PCX and BMP skin files: decoding into a Skin and encoding one back.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/file_io.h"
#include "platform/game_files.h"
#include "skins/skin.h"

namespace pelt {

class Platform;

// Largest width or height accepted for any image.
inline constexpr int kMaxImageSide = 4096;

inline constexpr const char* kNotValidSkinMessage = "This file does not appear to be a valid skin";
inline constexpr const char* kBmpNot8BitMessage = "BMPs must be 8bit! - Aborting";
inline constexpr const char* kBmpCompressedMessage =
    "Compressed BMPs are not supported - Aborting";
inline constexpr const char* kPcxNot8BitMessage =
    "Only 8-bit PCX images with one plane are supported - Aborting";
inline constexpr const char* kImageTooLargeMessage = "This image is too large to be used as a skin";

struct SkinDecodeResult {
  std::unique_ptr<Skin> skin;  // null on failure
  std::string message;         // what to tell the user on failure
};

// The part of a skin file its header allows (pixel data at its longest, and
// a PCX's closing palette); the whole file for a format it does not know.
ReadPlan skinImageReadPlan(std::span<const std::uint8_t> start);

// Decodes a whole PCX or BMP file. The returned skin has pixels, stored copy,
// palette, size, format and row table; names are the caller's.
SkinDecodeResult decodeSkinImage(std::span<const std::uint8_t> bytes);

// Reads a skin file; `name` = path, `filePath` = absolute path, `hasFile` set.
// Shows the decoder's message; an unreadable file fails silently.
std::unique_ptr<Skin> readSkinImage(Platform& platform, const std::string& path);

// The same through the game's files: a path below the base folder, or a
// name relative to it, may come from an archive. Such a skin has no file of
// its own (`hasFile` clear, `source` the archive, `filePath` base/name).
std::unique_ptr<Skin> readGameSkin(Platform& platform, GameFileSystem& files,
                                   const std::string& path);
std::unique_ptr<Skin> readGameSkin(Platform& platform, GameFileSystem& files, const GameFile& file);

Bytes encodeSkinPcx(const Skin& skin);
Bytes encodeSkinBmp(const Skin& skin);

// Write the skin and set its `fileFormat`; on failure show the save error
// (saveErrorMessage) and leave the skin unchanged.
bool writeSkinPcx(Platform& platform, Skin& skin, const std::string& path);
bool writeSkinBmp(Platform& platform, Skin& skin, const std::string& path);

}  // namespace pelt
