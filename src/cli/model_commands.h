#pragma once
// pelt-cli's model work: rewriting an MD2 through the program's own writer
// and the GL command statistics of `info`.

#include <iosfwd>
#include <string>

namespace pelt {
class App;
}

namespace pelt::cli {

// Whether a path names an MD2 (by its extension, in any case).
bool isModelPath(const std::string& path);

// Loads `in` as the program would (skins below `baseFolder`) and saves it to
// `out` with rebuilt GL commands and a compact st table. Returns the exit code.
int convertModel(const std::string& in, const std::string& out, const std::string& baseFolder);

// The GL commands stored in the file read and those a save would write.
void printGlInfo(const App& app, std::ostream& out);
void printGlInfoJson(const App& app, std::ostream& out);  // ", \"glCommands\": {...}, ..."

}  // namespace pelt::cli
