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
int scanMapFolder(App& app, MapKind kind, const std::string& folder);
void chooseMap(App& app, MapKind kind, int index);

// Start-up: scan "Phong Path" and "Env Path" and choose their first maps.
void loadStartupMaps(App& app);

bool hasCurrentMap(const App& app, MapKind kind);

}  // namespace pelt
