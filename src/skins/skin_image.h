#pragma once
// Skin files (PCX, BMP, PNG, TGA): decoding into a Skin, or into a
// true-colour picture the caller reduces to a palette, and encoding one back.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/game_files.h"
#include "skins/skin.h"

namespace pelt {

class Platform;

// Largest width or height accepted for any image.
inline constexpr int kMaxImageSide = 4096;

inline constexpr const char* kNotValidSkinMessage = "This file does not appear to be a valid skin";
inline constexpr const char* kBmpNot8BitMessage = "BMPs must be 8bit! - Aborting";
inline constexpr const char* kBmpCompressedMessage = "Compressed BMPs are not supported - Aborting";
inline constexpr const char* kPcxNot8BitMessage =
    "Only 8-bit PCX images with one plane are supported - Aborting";
inline constexpr const char* kImageTooLargeMessage = "This image is too large to be used as a skin";
inline constexpr const char* kTrueColourRefusedMessage =
    " is a true-colour picture; only an image with a palette can be used here";

// R, G, B per pixel, top row first.
struct TrueColourPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  std::uint8_t fileFormat = kFormatNone;
};

struct SkinDecodeResult {
  SkinDecodeResult() = default;
  SkinDecodeResult(std::unique_ptr<Skin> decoded, std::string text,
                   std::unique_ptr<TrueColourPicture> truePicture = nullptr, bool naming = false)
      : skin(std::move(decoded)),
        message(std::move(text)),
        picture(std::move(truePicture)),
        namesFile(naming) {}
  std::unique_ptr<Skin> skin;  // null on failure and for a true-colour file
  std::string message;         // what to tell the user on failure
  // A true-colour file: its picture, which only a palette makes a skin.
  std::unique_ptr<TrueColourPicture> picture;
  // The message says what is damaged; the reader puts the file's name first.
  bool namesFile = false;
};

// Makes a skin of a true-colour picture read from `path` (its palette and
// pixels; names are the reader's), or null when the user declined.
using TrueColourReducer =
    std::function<std::unique_ptr<Skin>(const TrueColourPicture& picture, const std::string& path)>;

// The part of a skin file its header allows (pixel data at its longest, and
// a PCX's closing palette); the whole file for a format it does not know.
ReadPlan skinImageReadPlan(std::span<const std::uint8_t> start);

// Decodes a whole PCX, BMP, PNG or TGA file. The returned skin has pixels,
// stored copy, palette, size, format and row table; names are the caller's.
SkinDecodeResult decodeSkinImage(std::span<const std::uint8_t> bytes);

// A skin name in the game's files. One ending in ".pcx" that no file has,
// while the same name ending in ".png" or ".tga" does, finds that file (in
// that order), as today's engines do.
std::optional<GameFile> findSkinFile(GameFileSystem& files, const std::string& name,
                                     FolderListings* listings = nullptr);

// Reads a skin file; `name` = path, `filePath` = absolute path, `hasFile` set.
// Shows the decoder's message; an unreadable file fails silently. A
// true-colour file goes through `reducer`; without one it is refused.
std::unique_ptr<Skin> readSkinImage(Platform& platform, const std::string& path,
                                    const TrueColourReducer& reducer = {});

// The same through the game's files: a path below the base folder, or a
// name relative to it, may come from an archive. Such a skin has no file of
// its own (`hasFile` clear, `source` the archive, `filePath` base/name).
std::unique_ptr<Skin> readGameSkin(Platform& platform, GameFileSystem& files,
                                   const std::string& path, const TrueColourReducer& reducer = {});
std::unique_ptr<Skin> readGameSkin(Platform& platform, GameFileSystem& files, const GameFile& file,
                                   const TrueColourReducer& reducer = {});

Bytes encodeSkinPcx(const Skin& skin);
Bytes encodeSkinBmp(const Skin& skin);
// PNG and TGA encoders live in png_file.h and tga_file.h.
Bytes encodeSkin(const Skin& skin, std::uint8_t format);

// Write the skin and set its `fileFormat`; on failure show the save error
// (saveErrorMessage) and leave the skin unchanged.
bool writeSkinPcx(Platform& platform, Skin& skin, const std::string& path);
bool writeSkinBmp(Platform& platform, Skin& skin, const std::string& path);
bool writeSkinInFormat(Platform& platform, Skin& skin, const std::string& path,
                       std::uint8_t format);

// Every extension a skin file may have, in the order folders are scanned.
inline constexpr const char* kSkinExtensions[] = {".pcx", ".bmp", ".png", ".tga"};

// The format a file name's extension names (any case), else kFormatNone.
std::uint8_t skinFormatOfPath(const std::string& path);
std::uint8_t skinFormatOfExtension(const std::string& extension);  // ".png" -> kFormatPng
// ".pcx", ".bmp", ".png", ".tga".
const char* skinFormatExtension(std::uint8_t format);
// "PCX", "BMP", "PNG", "TGA".
const char* skinFormatName(std::uint8_t format);

}  // namespace pelt
