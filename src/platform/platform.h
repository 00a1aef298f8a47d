#pragma once
// The boundary between the core and the desktop. The core asks for every
// message box, dialog, setting, pointer action, redraw, clock tick and sound
// through this interface; the Qt shell implements it, tests script it.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/core_view.h"
#include "platform/dialog_values.h"

namespace pelt {

// SaveDiscardCancel answers Yes for Save and No for Discard.
enum class MessageButtons { Ok, YesNo, YesNoCancel, SaveDiscardCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct FileDialogRequest {
  bool save = false;
  std::string filter;       // "label|pattern|...||"
  std::string initialName;  // "*.md2"
  std::string startFolder;
};

struct FileDialogResult {
  std::string path;
  int filterIndex = 1;  // 1-based position of the chosen filter
};

// The views a refresh or repaint can name.
enum class ViewId { SkinView, ModelView, GradientBox, PaletteBox };

struct Rgb8 {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb8&, const Rgb8&) = default;
};

// The desktop's colours for bevelled controls.
struct SystemColors {
  Rgb8 buttonFace{212, 208, 200};
  Rgb8 highlight{255, 255, 255};
  Rgb8 shadow{128, 128, 128};
  Rgb8 buttonText{0, 0, 0};
};

struct UtcDate {
  int month = 1;  // 1..12
  int day = 1;    // 1..31
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Dialogs and message boxes.
  virtual MessageAnswer messageBox(const std::string& text, MessageButtons buttons) = 0;
  // An error: OK only, with the warning icon where the desktop has one.
  virtual void warningBox(const std::string& text) { messageBox(text, MessageButtons::Ok); }
  virtual std::optional<FileDialogResult> fileDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> browseFolder(const std::string& title) = 0;
  virtual bool resizeSkinsDialog(ResizeSkinsValues& values) = 0;
  virtual bool offsetCompanionDialog(OffsetCompanionValues& values) = 0;
  virtual bool preferencesDialog(PreferencesValues& values) = 0;
  virtual bool snapshotsDialog(SnapshotValues& values) = 0;
  virtual bool mapFromViewDialog(MapFromViewValues& values) = 0;
  virtual void aboutDialog(const AboutValues& values) = 0;
  virtual bool openFromGameDialog(OpenFromGameValues& values) = 0;
  // Without a dialog of its own a platform takes the nearest colours.
  virtual bool reduceColoursDialog(ReduceColoursValues& /*values*/) { return true; }

  // Whether a folder exists and may be searched ("can be entered").
  virtual bool canEnterFolder(const std::string& folder);

  // Settings store: section, key, default.
  virtual int readInt(const std::string& section, const std::string& key, int fallback) = 0;
  virtual std::string readString(const std::string& section, const std::string& key,
                                 const std::string& fallback) = 0;
  virtual void writeInt(const std::string& section, const std::string& key, int value) = 0;
  virtual void writeString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;

  // Pointer: capture for a view, hide/show, position in screen coordinates.
  virtual void capturePointer(ViewId view) = 0;
  virtual void releasePointer() = 0;
  virtual void hidePointer() = 0;
  virtual void showPointer() = 0;
  virtual void setPointerPosition(int screenX, int screenY) = 0;

  // Redraws: send runs the main frame's refresh at once, post queues it.
  virtual void sendRefresh(int level, int mask) = 0;
  virtual void postRefresh(int level, int mask) = 0;
  virtual void sendBarAdjust(int p) = 0;
  virtual void repaint(ViewId view) = 0;
  // The six drop-down lists must be refilled from the application state.
  virtual void refillLists() = 0;

  // Time, input and sound.
  virtual std::int64_t nowMilliseconds() = 0;
  virtual UtcDate todayUtc() = 0;
  virtual void sleepMilliseconds(int ms) = 0;
  virtual bool takePendingInput() = 0;
  virtual void playLoopingSound(int clipId) = 0;
  virtual void stopSound() = 0;
  virtual bool isCtrlHeld() = 0;

  // The intro's own borderless window, centred on the main window. Without
  // one (false) the intro is skipped.
  virtual bool openIntroWindow(int /*width*/, int /*height*/) { return false; }
  // Shows a finished frame at once.
  virtual void presentIntroFrame(const ViewImage& /*image*/) {}
  virtual void closeIntroWindow() {}

  // Playback: call the core's tick every `intervalMs` until stopped.
  virtual void startPlaybackTimer(int /*intervalMs*/) {}
  virtual void stopPlaybackTimer() {}
  // The frame list shows the model's current frame; its entries are as they were.
  virtual void showCurrentFrame() { refillLists(); }

  // The Keys and Mouse window (not modal; shown again it comes to the front).
  virtual void keysAndMouseWindow(const KeysAndMouseValues& /*values*/) {}
  // Opens a file in the desktop's viewer for its type; false when nothing could.
  virtual bool openDocument(const std::string& /*path*/) { return false; }
  // The folder the running program lives in ("" when unknown).
  virtual std::string programFolder() { return {}; }

  // A short note in the main window's status line ("" clears it).
  virtual void showStatusText(const std::string& /*text*/) {}
  // Button face, highlight, shadow and button text; a classic grey set
  // unless the desktop says otherwise.
  virtual SystemColors systemColors() { return {}; }
};

}  // namespace pelt
