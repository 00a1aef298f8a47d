#pragma once
// The game's files: one read-only view of the base folder. Loose files come
// first, then pakN.pak (the higher number first), then *.pk3 and *.pkz (zip)
// in name order. Names match in any case, with '\\' read as '/'. Loose files
// win so that what the user saves is what the program shows next; the game
// itself searches a folder's pak files before its loose files, so listings
// say where a loose file shadows an archived one.

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/archive_listing.h"
#include "platform/file_io.h"
#include "platform/paths.h"

namespace pelt {

class Platform;
class ZipArchive;

struct GameFile {
  // A loose file's path; for an archived one the base folder joined with the
  // archive's spelling of the name, where saving it would put it.
  std::string path;
  std::string source;  // "" for a loose file, else the archive's file name
  int archive = -1;    // the archive's place in the search order
  ArchiveEntry entry;
  bool archived() const { return archive >= 0; }
};

struct GameFileListing {
  std::string name;                  // relative to the base folder
  std::string source;                // "" for a loose file, else the archive's file name
  std::vector<std::string> shadows;  // archives holding the same name, hidden by this one
};

// "loose", "pak0.pak", "loose, shadows pak0.pak".
std::string sourceText(const GameFileListing& listing);

class GameFileSystem {
 public:
  // Follows `baseFolder` as it changes; a damaged archive is left out and
  // reported through `platform` when the folder's archives are first read.
  GameFileSystem(const std::string& baseFolder, Platform& platform);
  ~GameFileSystem();
  GameFileSystem(const GameFileSystem&) = delete;
  GameFileSystem& operator=(const GameFileSystem&) = delete;

  // A name relative to the base folder; nothing for a name that would leave it.
  std::optional<GameFile> find(const std::string& relative, FolderListings* listings = nullptr);
  // A path as the user gave it: the file itself; else, for a relative path
  // or one below the base folder, the name in the game's files.
  std::optional<GameFile> locate(const std::string& path);

  // What `planner` asks for of the file (see ReadPlan): a loose file is
  // read only that far, an archived one is cut to it.
  FileReadResult read(const GameFile& file, ReadPlanner planner = wholeFilePlan);
  // locate() and read(); a path found nowhere gives the reason its file
  // cannot be read.
  FileReadResult readPath(const std::string& path, GameFile* found = nullptr,
                          ReadPlanner planner = wholeFilePlan);

  // The files of a folder whose extension is `extension` (".pcx") in any
  // case, sorted by name; below the base folder the archives' files too.
  std::vector<GameFile> filesIn(const std::string& folder, const std::string& extension);

  // Every file, sorted by name. Archives added, changed or removed since
  // they were read are read again first.
  std::vector<GameFileListing> list();

  // Why archives were left out, one message each.
  const std::vector<std::string>& refusals();

 private:
  struct Archive;
  // Reads the archives when the base folder changed, or (`recheck`) when
  // its archives did.
  void index(bool recheck = false);

  const std::string& base_;
  Platform& platform_;
  std::optional<std::string> indexedBase_;
  std::string indexedStamp_;  // names, sizes and times of the archives read
  std::vector<Archive> archives_;
  // Lower-cased name -> archive and entry that serve it.
  std::unordered_map<std::string, std::pair<int, size_t>> byKey_;
  std::vector<std::string> refusals_;
};

}  // namespace pelt
