#include "app/command_line.h"

#include <algorithm>

#include "app/intro/about.h"

namespace pelt {

namespace {
constexpr const char* kMd2Option = "-md2";
constexpr const char* kBaseOption = "-base";
}  // namespace

std::optional<std::string> terminalAnswer(const std::vector<std::string>& argv) {
  for (size_t i = 1; i < argv.size() && argv[i] != kMd2Option; ++i) {
    if (argv[i] == "--version") return std::string(kProductName) + " " + kProductVersion + "\n";
    if (argv[i] == "--help" || argv[i] == "-h")
      return "usage: pelt [-base FOLDER] [-md2 MODEL [SKIN...]]\n"
             "  -base FOLDER  the game's base folder (its \"baseq2\"), remembered\n"
             "  -md2 MODEL    open MODEL, and each SKIN as a skin of its own\n"
             "  --help        print this and exit\n"
             "  --version     print the version and exit\n";
  }
  return std::nullopt;
}

CommandLine parseArguments(const std::vector<std::string>& argv) {
  CommandLine result;
  bool first = true;
  for (size_t i = 0; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    if (i > 0 && arg == kBaseOption && i + 1 < argv.size()) {
      result.baseFolder = argv[++i];
      continue;
    }
    if (!first) result.text += ' ';
    first = false;
    if (arg.find(' ') != std::string::npos)
      result.text += '"' + arg + '"';
    else
      result.text += arg;
  }
  return result;
}

std::vector<std::string> md2Tokens(const std::string& commandLine) {
  std::vector<std::string> tokens;
  size_t at = commandLine.find(kMd2Option);
  if (at == std::string::npos) return tokens;
  // The option and the one separator after it.
  size_t start = at + std::string(kMd2Option).size() + 1;
  if (start >= commandLine.size()) return tokens;

  std::string token;
  bool quoted = false;
  for (size_t i = start; i < commandLine.size(); ++i) {
    char c = commandLine[i];
    if (c == '"') quoted = !quoted;
    if (c == ' ' && !quoted) {
      // Runs of blanks would otherwise yield empty paths.
      if (!token.empty()) tokens.push_back(token);
      token.clear();
      continue;
    }
    token += c;
  }
  if (!token.empty()) tokens.push_back(token);
  return tokens;
}

std::string withoutQuotes(const std::string& token) {
  std::string out = token;
  out.erase(std::remove(out.begin(), out.end(), '"'), out.end());
  return out;
}

}  // namespace pelt
