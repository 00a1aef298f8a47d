#include "app/view_status.h"

#include <cstdio>

#include "app/app.h"
#include "app/main_frame.h"
#include "skinview/skin_view.h"
#include "view3d/model_view.h"

namespace pelt {

std::string viewStatusText(MainFrame& frame, ViewId id, int x, int y) {
  std::string text = frame.view(id).statusText(x, y);
  char zoom[48] = "";
  if (id == ViewId::SkinView && frame.skinView())
    std::snprintf(zoom, sizeof zoom, "Zoom %.0f%%", frame.skinView()->zoom * 100.0);
  else if (id == ViewId::ModelView && frame.modelView())
    std::snprintf(zoom, sizeof zoom, "Zoom %.3g px/unit", frame.modelView()->zoom());
  else
    return text;
  auto add = [&text](const std::string& part) {
    if (!text.empty()) text += "    ";
    text += part;
  };
  add(zoom);
  if (const ModelFrame* shown = frame.app.model.currentFrame()) add("Frame " + shown->name);
  return text;
}

}  // namespace pelt
