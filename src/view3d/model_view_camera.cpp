// The 3D view's camera beyond the drags: the wheel, framing the model and
// the zoom the status bar shows.

#include "platform/platform.h"
#include "view3d/camera_fit.h"
#include "view3d/model_view.h"

namespace pelt {

void ModelView::wheelAt(const WheelEvent& event) {
  if (!event.ctrl) return wheel(event.delta);
  dollyEyeByWheel(eye, target, static_cast<std::int16_t>(event.delta));
  render(kRedrawFull);
  in_.platform.repaint(ViewId::ModelView);
}

bool ModelView::frameModel() {
  const ModelFrame* frame = in_.model.currentFrame();
  if (frame == nullptr || viewWidth_ <= 0 || viewHeight_ <= 0) return false;
  const auto count =
      std::min(frame->vertices.size(), static_cast<size_t>(std::max(in_.model.vertexCount, 0)));
  const std::optional<CameraPlacement> placed =
      frameCamera(eye, target, fieldOfView, std::span<const Vec3>(frame->vertices).first(count),
                  viewWidth_, std::min(clientWidth_, static_cast<int>(viewWidth_)), viewHeight_);
  if (!placed) return false;
  eye = placed->eye;
  target = placed->target;
  return true;
}

double ModelView::zoom() const {
  return pixelsPerUnit(eye, target, fieldOfView, viewWidth_, viewHeight_);
}

}  // namespace pelt
