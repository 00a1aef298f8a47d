#include "app/true_colour.h"

#include "app/app.h"
#include "app/folders.h"
#include "platform/file_filter.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/safe_save.h"
#include "platform/settings_keys.h"
#include "skins/colour_reduction.h"
#include "skins/palette_file.h"
#include "skins/png_file.h"
#include "skins/tga_file.h"

namespace pelt {

namespace {

constexpr const char* kExportFilter =
    "PNG Image (*.png)|*.png|Targa Image (*.tga)|*.tga|All Files (*.*)|*.*||";

Palette reductionPalette(App& app) {
  if (const Skin* current = app.model.currentSkin()) return current->palette;
  Palette palette{};
  loadDefaultPalette(app.platform, app.gameFiles, palette);
  return palette;
}

}  // namespace

TrueColourReducer askingReducer(App& app) {
  return [&app](const TrueColourPicture& picture, const std::string&) -> std::unique_ptr<Skin> {
    const int colours = countColours(picture);
    ReduceColoursValues values;
    values.colours = colours;
    if (!app.platform.reduceColoursDialog(values)) return nullptr;
    ReduceOptions options;
    options.dither = values.dithered;
    if (values.keepProtectedOut) options.excluded = app.protectedColors;
    std::unique_ptr<Skin> skin = skinFromPicture(picture, reductionPalette(app), options);
    app.platform.showStatusText("The picture had " + std::to_string(colours) +
                                " colours; reduced to the palette" +
                                (values.dithered ? ", dithered" : " by nearest colour"));
    return skin;
  };
}

TrueColourReducer quietReducer(App& app, std::vector<std::string>& reduced,
                               const Palette* palette) {
  return [&app, &reduced, palette](const TrueColourPicture& picture, const std::string& path) {
    reduced.push_back(path);
    return skinFromPicture(picture, palette ? *palette : reductionPalette(app), ReduceOptions{});
  };
}

void reportReducedSkins(App& app, const std::vector<std::string>& reduced) {
  if (reduced.empty()) return;
  std::string text = kReducedSkinsMessage;
  for (const std::string& path : reduced) text += "\n" + path;
  app.platform.messageBox(text, MessageButtons::Ok);
}

void exportTrueColour(App& app) {
  const Skin* skin = app.model.currentSkin();
  if (skin == nullptr) return;
  std::optional<FileDialogResult> chosen =
      askSaveFile(app, kExportFilter, "*.png", app.saveFolder, settings::kSaveDir, "");
  if (!chosen) return;
  std::string path = chosen->path;
  if (lacksExtension(path)) path += chosen->filterIndex == 2 ? ".tga" : ".png";
  const TrueColourPicture picture = pictureOfSkin(*skin);
  const Bytes bytes =
      skinFormatOfPath(path) == kFormatTga ? encodeRgbTga(picture) : encodeRgbPng(picture);
  if (saveFileOrWarn(app.platform, path, bytes))
    app.platform.showStatusText("Exported in true colour to " + path);
}

}  // namespace pelt
