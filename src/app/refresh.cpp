#include "app/refresh.h"

#include <utility>

#include "app/app.h"
#include "platform/platform.h"

namespace pelt {

void arrangeSkins(App& app) {
  auto& skins = app.model.skins;
  int linked = 0;
  for (const auto& skin : skins) linked += skin->isLinked() ? 1 : 0;
  for (int i = 0; i < linked; ++i) {
    if (skins[static_cast<size_t>(i)]->isLinked()) continue;
    int j = i + 1;
    while (!skins[static_cast<size_t>(j)]->isLinked()) ++j;
    std::swap(skins[static_cast<size_t>(i)], skins[static_cast<size_t>(j)]);
    int& current = app.model.currentSkinIndex;
    if (current == i)
      current = j;
    else if (current == j)
      current = i;
  }
}

void refreshListsAndViews(App& app) {
  arrangeSkins(app);
  app.platform.refillLists();
  app.platform.postRefresh(0, kRefreshAllViews);
}

}  // namespace pelt
