#include "cli/model_commands.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ostream>
#include <vector>

#include "app/app.h"
#include "app/commands/file_open.h"
#include "app/commands/file_save.h"
#include "cli/console_platform.h"
#include "model/gl_commands.h"
#include "model/md2_format.h"

namespace pelt::cli {

namespace {

GlCommandStats storedStats(const App& app) {
  Md2ParseResult parsed = parseMd2(app.rawModelImage);
  return parsed.data ? glCommandStats(parsed.data->glCommands) : GlCommandStats{};
}

GlCommandStats rebuiltStats(const App& app) {
  std::vector<std::int32_t> words;
  buildGlCommands(app.model, words);
  return glCommandStats(words);
}

std::string average(const GlCommandStats& stats) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", stats.averageVertices());
  return text;
}

void printLine(const char* label, const GlCommandStats& s, std::ostream& out) {
  out << label << s.commands() << " (strips " << s.strips << ", fans " << s.fans << ", "
      << average(s) << " vertices per command, " << s.words << " words)\n";
}

void printJson(const char* key, const GlCommandStats& s, std::ostream& out) {
  out << ", \"" << key << "\": {\"words\": " << s.words << ", \"commands\": " << s.commands()
      << ", \"strips\": " << s.strips << ", \"fans\": " << s.fans
      << ", \"averageVertices\": " << average(s) << "}";
}

}  // namespace

bool isModelPath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".md2";
}

int convertModel(const std::string& in, const std::string& out, const std::string& baseFolder) {
  ConsolePlatform platform;
  App app(platform);
  app.baseFolder = baseFolder;
  if (!loadMd2(app, in)) return 1;
  return saveMd2(app, out) ? 0 : 1;
}

void printGlInfo(const App& app, std::ostream& out) {
  printLine("gl commands: ", storedStats(app), out);
  printLine("gl commands when saved: ", rebuiltStats(app), out);
}

void printGlInfoJson(const App& app, std::ostream& out) {
  printJson("glCommands", storedStats(app), out);
  printJson("savedGlCommands", rebuiltStats(app), out);
}

}  // namespace pelt::cli
