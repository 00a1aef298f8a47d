// pelt-cli: the core's file work from the command line.

#include <fnmatch.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/game_folder.h"
#include "cli/cli_args.h"
#include "cli/console_platform.h"
#include "cli/model_commands.h"
#include "cli/render_commands.h"
#include "demo/demo_folder.h"
#include "platform/json_text.h"
#include "platform/paths.h"
#include "skins/colour_reduction.h"
#include "skins/palette_file.h"
#include "skins/skin_image.h"

namespace {

using pelt::App;
using pelt::ConsolePlatform;

int usage() {
  std::cerr << pelt::cli::usageText();
  return pelt::cli::kExitUsage;
}

// A skin the loader could not find is a stand-in with no file behind it.
bool isStandIn(const pelt::Skin& skin) { return !skin.hasFile && skin.source.empty(); }

// "  (PNG, skin.png instead)" after a skin's name: what was read for it.
std::string skinFound(const pelt::Skin& skin) {
  if (isStandIn(skin)) return "  (not loaded)";
  std::string text = std::string("  (") + pelt::skinFormatName(skin.fileFormat);
  if (!skin.readInstead.empty()) text += ", " + skin.readInstead + " instead";
  if (!skin.source.empty()) text += ", in " + skin.source;
  return text + ")";
}

void printInfo(const App& app, bool json) {
  const pelt::Model& m = app.model;
  if (!json) {
    std::cout << "vertices: " << m.vertexCount << "\ntriangles: " << m.triangleCount
              << "\nst: " << m.stCount << "\nframes: " << m.frames.size()
              << "\nskin size: " << m.skinWidth << "x" << m.skinHeight << "\nskins:";
    for (const auto& skin : m.skins) std::cout << "\n  " << skin->name << skinFound(*skin);
    std::cout << "\nframe names:";
    for (const auto& frame : m.frames) std::cout << "\n  " << frame.name;
    std::cout << "\n";
    pelt::cli::printGlInfo(app, std::cout);
    return;
  }
  std::cout << "{\"vertices\": " << m.vertexCount << ", \"triangles\": " << m.triangleCount
            << ", \"st\": " << m.stCount << ", \"frames\": " << m.frames.size()
            << ", \"skinWidth\": " << m.skinWidth << ", \"skinHeight\": " << m.skinHeight
            << ", \"skins\": [";
  for (size_t i = 0; i < m.skins.size(); ++i)
    std::cout << (i ? ", " : "") << pelt::jsonQuoted(m.skins[i]->name);
  std::cout << "], \"skinsFound\": [";
  for (size_t i = 0; i < m.skins.size(); ++i) {
    const pelt::Skin& skin = *m.skins[i];
    std::cout << (i ? ", " : "")
              << "{\"file\": " << (isStandIn(skin) ? "null" : pelt::jsonQuoted(skin.filePath))
              << ", \"format\": "
              << (isStandIn(skin) ? "null"
                                  : pelt::jsonQuoted(pelt::skinFormatName(skin.fileFormat)))
              << "}";
  }
  std::cout << "], \"frameNames\": [";
  for (size_t i = 0; i < m.frames.size(); ++i)
    std::cout << (i ? ", " : "") << pelt::jsonQuoted(m.frames[i].name);
  std::cout << "]";
  pelt::cli::printGlInfoJson(app, std::cout);
  std::cout << "}\n";
}

int runInfo(const std::vector<std::string>& args) {
  std::string file, base;
  bool json = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--json")
      json = true;
    else if (args[i] == "--base" && i + 1 < args.size())
      base = args[++i];
    else if (file.empty())
      file = args[i];
    else
      return usage();
  }
  if (file.empty()) return usage();
  ConsolePlatform platform;
  App app(platform);
  app.baseFolder = base.empty() ? pelt::baseFolderFor(file) : base;
  if (!pelt::loadMd2(app, file)) return 1;
  printInfo(app, json);
  return 0;
}

// A true-colour picture goes to the palette of --palette's file; none named,
// it is refused.
pelt::TrueColourReducer paletteReducer(ConsolePlatform& platform, App& app,
                                       const std::string& paletteFile, bool dither) {
  return [&platform, &app, paletteFile, dither](
             const pelt::TrueColourPicture& picture,
             const std::string& path) -> std::unique_ptr<pelt::Skin> {
    if (paletteFile.empty()) {
      platform.messageBox(path + " is a true-colour picture: name a palette with --palette FILE",
                          pelt::MessageButtons::Ok);
      return nullptr;
    }
    pelt::Palette palette{};
    const pelt::FileReadResult read =
        app.gameFiles.readPath(paletteFile, nullptr, pelt::paletteReadPlan);
    if (!read.ok() || !pelt::decodePaletteFile(read.bytes, palette)) {
      platform.messageBox(paletteFile + ": " +
                              (read.ok() ? std::string("no palette could be read from it")
                                         : pelt::cli::readErrorText(read.error)),
                          pelt::MessageButtons::Ok);
      return nullptr;
    }
    pelt::ReduceOptions options;
    options.dither = dither;
    return pelt::skinFromPicture(picture, palette, options);
  };
}

int runConvert(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  std::string base, paletteFile;
  bool dither = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--base" && i + 1 < args.size())
      base = args[++i];
    else if (args[i] == "--palette" && i + 1 < args.size())
      paletteFile = args[++i];
    else if (args[i] == "--dither")
      dither = true;
    else
      files.push_back(args[i]);
  }
  if (files.size() != 2) return usage();
  const std::string& in = files[0];
  if (base.empty()) base = pelt::baseFolderFor(in);
  if (pelt::cli::isModelPath(in)) return pelt::cli::convertModel(in, files[1], base);
  std::string refusal;
  if (!pelt::cli::outputImageKind(files[1], refusal)) {
    std::cerr << refusal << "\n";
    return pelt::cli::kExitUsage;
  }
  ConsolePlatform platform;
  App app(platform);
  app.baseFolder = base;
  std::unique_ptr<pelt::Skin> skin = pelt::readGameSkin(
      platform, app.gameFiles, in, paletteReducer(platform, app, paletteFile, dither));
  if (!skin) {
    // The reader only speaks of content; a file it could not read says why here.
    if (platform.lastMessage.empty())
      std::cerr << "cannot read " << in << ": "
                << pelt::cli::readErrorText(app.gameFiles.readPath(in).error) << "\n";
    return 1;
  }
  std::string ignored;
  const auto kind = static_cast<std::uint8_t>(*pelt::cli::outputImageKind(files[1], ignored));
  return pelt::writeSkinInFormat(platform, *skin, files[1], kind) ? 0 : 1;
}

// Every file of a game folder with where it comes from, one a line; a
// damaged archive is named on stderr and the exit status is 1.
int runLs(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) return usage();
  if (!std::filesystem::is_directory(args[0])) {
    std::cerr << args[0] << ": not a folder\n";
    return 1;
  }
  ConsolePlatform platform;
  App app(platform);
  app.baseFolder = args[0];
  const std::string pattern = args.size() > 1 ? args[1] : "*";
  for (const pelt::GameFileListing& file : app.gameFiles.list()) {
    if (::fnmatch(pattern.c_str(), file.name.c_str(), FNM_CASEFOLD) == 0)
      std::cout << file.name << "\t" << pelt::sourceText(file) << "\n";
  }
  return app.gameFiles.refusals().empty() ? 0 : 1;
}

// Files painted in a demo folder are the user's: a folder already holding
// something is written over only when asked to.
int runDemo(const std::vector<std::string>& args) {
  const bool force = !args.empty() && args[0] == "--force";
  if (args.size() != (force ? 2u : 1u)) return usage();
  const std::string& folder = args.back();
  std::error_code ec;
  if (!force && std::filesystem::exists(folder, ec) && !std::filesystem::is_empty(folder, ec)) {
    std::cerr << folder << ": not empty; pelt-cli demo --force " << folder
              << " writes the demo over what is there\n";
    return 1;
  }
  std::string error;
  if (!pelt::writeDemoGameFolder(folder, &error)) {
    std::cerr << error << "\n";
    return 1;
  }
  std::cout << pelt::joinPath(folder, std::string("baseq2/") + pelt::kDemoModelPath) << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  std::string command = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  if (pelt::cli::wantsHelp({command}) || pelt::cli::wantsHelp(args)) {
    std::cout << pelt::cli::usageText();
    return 0;
  }
  if (command == "info") return runInfo(args);
  if (command == "convert") return runConvert(args);
  if (command == "demo") return runDemo(args);
  if (command == "ls") return runLs(args);
  if (command == "render" || command == "bench") {
    return command == "render" ? pelt::cli::runRender(args) : pelt::cli::runBench(args);
  }
  return usage();
}
