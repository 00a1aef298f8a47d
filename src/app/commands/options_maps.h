#pragma once
// Phong and environment maps: open, close, folder scans and the choice in
// their drop-down lists. Both kinds share one implementation.

#include <string>

namespace pelt {

class App;
struct MapList;

enum class MapKind { Phong, Environment };

inline constexpr int kMapSize = 256;
inline constexpr int kPhongShift = 2;  // phong texels are kept as 0..63

MapList& mapList(App& app, MapKind kind);
const MapList& mapList(const App& app, MapKind kind);

void openMap(App& app, MapKind kind);
void closeMap(App& app, MapKind kind);
// The folder browser, then scanMapFolder.
void scanMapFolderCommand(App& app, MapKind kind);
// Appends every 256 x 256 map of the folder (PCX first); returns the count.
// None found is reported unless `reportNone` is false.
int scanMapFolder(App& app, MapKind kind, const std::string& folder, bool reportNone = true);
void chooseMap(App& app, MapKind kind, int index);

// Start-up: scan "Phong Path" and "Env Path" (never set: the program's own
// maps) and choose their first maps.
void loadStartupMaps(App& app);

// The program's own maps of a kind: a folder of the data folder.
inline constexpr const char* kMapFolderPhongs = "phongs";
inline constexpr const char* kMapFolderEnviros = "enviros";
std::string installedMapFolder(const App& app, MapKind kind);

bool hasCurrentMap(const App& app, MapKind kind);

}  // namespace pelt
