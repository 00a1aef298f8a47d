#include "cli/cli_args.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

namespace pelt::cli {

std::optional<int> parseWholeNumber(const std::string& option, const std::string& text, int min,
                                    int max, std::string& error) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [stop, code] = std::from_chars(text.data(), end, value);
  if (text.empty() || stop != end || code == std::errc::invalid_argument) {
    error = option + ": \"" + text + "\" is not a whole number";
    return std::nullopt;
  }
  if (code == std::errc::result_out_of_range || value < min || value > max) {
    error = option + ": " + text + " is out of range (" + std::to_string(min) + " to " +
            std::to_string(max) + ")";
    return std::nullopt;
  }
  return value;
}

bool parseSize(const std::string& option, const std::string& text, int maxWidth, int maxHeight,
               int& width, int& height, std::string& error) {
  const size_t x = text.find('x');
  std::string ignored;
  std::optional<int> w, h;
  if (x != std::string::npos) {
    w = parseWholeNumber(option, text.substr(0, x), 1, maxWidth, ignored);
    h = parseWholeNumber(option, text.substr(x + 1), 1, maxHeight, ignored);
  }
  if (!w || !h) {
    error = option + ": \"" + text + "\" is not WxH with W 1 to " + std::to_string(maxWidth) +
            " and H 1 to " + std::to_string(maxHeight);
    return false;
  }
  width = *w;
  height = *h;
  return true;
}

bool wantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

const char* usageText() {
  return "usage:\n"
         "  pelt-cli info FILE.md2 [--json] [--base FOLDER]\n"
         "  pelt-cli convert IN OUT [--base FOLDER] (an MD2 to .md2; a skin to .pcx, .bmp,\n"
         "      .png or .tga) [--palette FILE] [--dither] (a true-colour IN goes to the palette\n"
         "      of FILE: .pcx, .bmp, .png, .tga or .act; nearest colours, or dithered)\n"
         "  pelt-cli ls FOLDER [PATTERN]   the game's files and where each comes from\n"
         "  pelt-cli demo [--force] FOLDER\n"
         "  pelt-cli render MODEL OUT.bmp|OUT.pcx|OUT.png|OUT.tga [--mode 0-8] [--size WxH] "
         "[--frame F]\n"
         "      [--skin FILE] [--phong FILE] [--env FILE] [--colormap FILE] [--mapping]\n"
         "      [--base FOLDER]\n"
         "  pelt-cli bench MODEL [--mode 0-8] [--size WxH] [--frames N]\n"
         "  pelt-cli --help\n"
         "A model or skin that is no file is looked up by its name relative to the\n"
         "base folder, in its loose files and its pak and pk3 archives.\n";
}

std::optional<ImageKind> outputImageKind(const std::string& path, std::string& error) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".pcx") return ImageKind::Pcx;
  if (ext == ".bmp") return ImageKind::Bmp;
  if (ext == ".png") return ImageKind::Png;
  if (ext == ".tga") return ImageKind::Tga;
  error = path + ": cannot write " +
          (ext.empty() ? std::string("files without an extension") : "\"" + ext + "\" files") +
          " (use .pcx, .bmp, .png or .tga)";
  return std::nullopt;
}

const char* readErrorText(int error) {
  return error == ENODEV ? "not a regular file" : std::strerror(error);
}

}  // namespace pelt::cli
