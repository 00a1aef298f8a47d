#pragma once
// The program's command line: "-md2 MODEL [SKIN...]" and our "-base FOLDER".

#include <optional>
#include <string>
#include <vector>

namespace pelt {

struct CommandLine {
  std::string text;                      // argv joined as one line
  std::optional<std::string> baseFolder;  // from -base FOLDER
  std::string programFolder;             // where the program file lies, "" unknown
};

// "--help" (or "-h") and "--version" before any "-md2" are answered on the
// terminal, without a window: the text to print, or nothing.
std::optional<std::string> terminalAnswer(const std::vector<std::string>& argv);

// Removes "-base FOLDER" from the arguments and joins the rest with blanks,
// quoting any argument that holds a blank, so "-md2" parsing sees one line.
CommandLine parseArguments(const std::vector<std::string>& argv);

// The tokens after the first "-md2" (quotes kept; empty when absent).
std::vector<std::string> md2Tokens(const std::string& commandLine);

std::string withoutQuotes(const std::string& token);

}  // namespace pelt
