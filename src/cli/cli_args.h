#pragma once
// pelt-cli's argument checks: whole numbers in range, the usage text, help,
// and the image formats an output name may ask for.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelt::cli {

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A whole decimal number in min..max, or the reason naming the option.
std::optional<int> parseWholeNumber(const std::string& option, const std::string& text, int min,
                                    int max, std::string& error);

// "WxH" with 1 <= W <= maxWidth and 1 <= H <= maxHeight.
bool parseSize(const std::string& option, const std::string& text, int maxWidth, int maxHeight,
               int& width, int& height, std::string& error);

bool wantsHelp(const std::vector<std::string>& args);
const char* usageText();

// The values are the skin formats' (SkinFormat).
enum class ImageKind : std::uint8_t { Pcx = 1, Bmp = 2, Png = 3, Tga = 4 };
// The format an output file name asks for; empty (with the reason) when the
// tool cannot write it.
std::optional<ImageKind> outputImageKind(const std::string& path, std::string& error);

// Why a file could not be read, for an errno from the whole-file reader
// (which gives ENODEV for a FIFO or device).
const char* readErrorText(int error);

}  // namespace pelt::cli
