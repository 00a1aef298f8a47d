#include "app/commands/rectangle.h"

#include "app/app.h"
#include "app/main_frame.h"
#include "app/refresh.h"
#include "skinview/skin_view.h"
#include "view3d/map_from_view.h"
#include "view3d/model_view.h"

namespace pelt {

void mapFromViewCommand(MainFrame& frame) {
  ModelView* view = frame.modelView();
  SkinView* skinView = frame.skinView();
  if (!view || !skinView) return;
  App& app = frame.app;
  MapFromViewValues options = defaultMapFromViewValues();
  if (!app.platform.mapFromViewDialog(options)) return;
  const MapCamera camera{view->viewWidth(), view->viewHeight(), view->eye, view->target,
                         view->fieldOfView};
  MapRect& shown = skinView->mapRect;
  MapRectangle rect{shown.x0, shown.y0, shown.x1, shown.y1};
  if (!mapFromView(app.model, camera, rect, options)) return;
  shown = {rect.x0, rect.y0, rect.x1, rect.y1};
  refreshListsAndViews(app);
}

}  // namespace pelt
