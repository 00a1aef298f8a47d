#pragma once
// What the shell needs of every child window: a size, a render into the
// view's own buffer, the finished image, and the mouse. The Qt widgets only
// forward events here and blit image().

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace pelt {

enum class ImageFormat { Indexed8, Rgb555, Bgr24 };

// A finished, bottom-up image: row 0 is the window's bottom line.
struct ViewImage {
  int width = 0;   // a multiple of 4
  int height = 0;
  ImageFormat format = ImageFormat::Indexed8;
  const std::uint8_t* pixels = nullptr;  // height rows of bytesPerRow()
  const std::array<std::uint8_t, 768>* colors = nullptr;  // Indexed8 only

  int bytesPerPixel() const {
    return format == ImageFormat::Indexed8 ? 1 : format == ImageFormat::Rgb555 ? 2 : 3;
  }
  int bytesPerRow() const { return width * bytesPerPixel(); }
};

enum MouseButton : unsigned { kButtonNone = 0, kButtonLeft = 1, kButtonRight = 2, kButtonMiddle = 4 };

struct MouseEvent {
  int x = 0;  // client coordinates, y counted from the top
  int y = 0;
  int screenX = 0;
  int screenY = 0;
  unsigned button = kButtonNone;   // the button pressed or released
  unsigned buttons = kButtonNone;  // buttons held after the event
  bool shift = false;
  bool ctrl = false;
};

// The brush under the pointer, drawn by the shell over the view's image:
// window pixels left..right and top..bottom (inclusive, y from the top).
struct BrushOutline {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool round = true;
  friend bool operator==(const BrushOutline&, const BrushOutline&) = default;
};

class CoreView {
 public:
  virtual ~CoreView() = default;

  // A new client size; the shell renders a full redraw right after.
  virtual void resize(int width, int height) = 0;
  // level: 0 full, 1 quick, 2 background, 3 retexture; flags: mask bits
  // above the four view bits.
  virtual void render(int level, int flags) = 0;
  virtual ViewImage image() const = 0;

  virtual void mousePress(const MouseEvent&) {}
  virtual void mouseMove(const MouseEvent&) {}
  virtual void mouseRelease(const MouseEvent&) {}
  virtual void wheel(int /*delta*/) {}
  virtual void captureLost() {}
  // What the status bar shows while the pointer is at this client point.
  virtual std::string statusText(int /*x*/, int /*y*/) const { return {}; }
  // The tool tip at this client point.
  virtual std::string toolTipText(int /*x*/, int /*y*/) const { return {}; }
  // The brush outline at this client point, while painting there is possible.
  virtual std::optional<BrushOutline> brushOutline(int /*x*/, int /*y*/) const {
    return std::nullopt;
  }
};

}  // namespace pelt
