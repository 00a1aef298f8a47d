#include "demo/demo_folder.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "demo/demo_creature.h"
#include "demo/demo_creature_skin.h"
#include "demo/demo_maps.h"
#include "demo/demo_palette.h"
#include "demo/demo_weapon.h"
#include "model/md2_format.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "skins/skin_image.h"

namespace pelt {

namespace {

class FolderWriter {
 public:
  FolderWriter(std::string base, std::string* error) : base_(std::move(base)), error_(error) {}

  bool write(const std::string& relative, const Bytes& bytes) {
    if (failed_) return false;
    std::string path = joinPath(base_, relative);
    std::error_code ec;
    std::filesystem::create_directories(folderOf(path), ec);
    if (ec) return fail(path, ec.value());
    if (int err = writeFileAtomically(path, bytes)) return fail(path, err);
    return true;
  }

  bool ok() const { return !failed_; }

 private:
  bool fail(const std::string& path, int err) {
    failed_ = true;
    if (error_) *error_ = "cannot write " + path + ": " + std::strerror(err);
    return false;
  }

  std::string base_;
  std::string* error_;
  bool failed_ = false;
};

void writeMaps(FolderWriter& out) {
  for (int kind = 0; kind < kDemoPhongMapCount; ++kind)
    out.write(joinPath(kDemoPhongFolder, phongMapFileName(kind)),
              encodeSkinPcx(makePhongMap(kind)));
  for (int kind = 0; kind < kDemoEnvironmentMapCount; ++kind)
    out.write(joinPath(kDemoEnvironmentFolder, environmentMapFileName(kind)),
              encodeSkinPcx(makeEnvironmentMap(kind)));
}

}  // namespace

bool writeMapFolders(const std::string& folder, std::string* error) {
  FolderWriter out(folder, error);
  writeMaps(out);
  return out.ok();
}

bool writeDemoGameFolder(const std::string& folder, std::string* error) {
  FolderWriter out(joinPath(folder, "baseq2"), error);
  const Palette palette = makeDemoPalette();
  out.write(kDemoColormapPath, encodeSkinPcx(makeColormapImage(palette)));
  out.write(kDemoPalettePath, encodeActPalette(palette));

  const Md2Data creature = makeDemoCreature();
  out.write(kDemoModelPath, encodeMd2(creature));
  for (std::size_t i = 0; i < creature.skinNames.size(); ++i)
    out.write(creature.skinNames[i], encodeSkinPcx(makeCreatureSkin(static_cast<int>(i), palette)));

  out.write(kDemoWeaponPath, encodeMd2(makeDemoWeapon()));
  out.write(kDemoWeaponSkinPath, encodeSkinPcx(makeWeaponSkin(palette)));
  writeMaps(out);
  return out.ok();
}

}  // namespace pelt
