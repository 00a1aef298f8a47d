#pragma once
// The main window's logic: start-up, layout, the split bar, refresh and wheel
// routing, and the close request. The Qt window is its FrameHost and only
// moves widgets to the rectangles computed here.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "app/command_line.h"
#include "app/frame_layout.h"
#include "platform/core_view.h"
#include "platform/platform.h"

namespace pelt {

class App;
class ModelView;
class SkinView;

inline constexpr const char* kBaseFolderTitle = "Please locate the 'baseq2' folder under Quake2";
inline constexpr const char* kNoBaseFolderMessage =
    "No base folder: skins named inside models will be missing until one is chosen with "
    "File/Base Folder.";
inline constexpr const char* kUseDemoFolderQuestion = "No game folder is set yet. Use the demo game folder?\n";
inline constexpr const char* kFolderNotValidChooseAnother =
    "That folder is not valid,\nPlease choose another";
inline constexpr const char* kCommandLineModelError =
    "There was an error loading from the command line!";
inline constexpr const char* kCommandLineSkinError = "Error loading skin from the command line!";
inline constexpr const char* kCommandLineSkinSizeError = "Error loading skin: Incorrect dimensions!";
inline constexpr const char* kQuitQuestion =
    "All Unsaved data will be lost...\nAre you sure you want to quit?";

// What the window does for the frame.
class FrameHost {
 public:
  virtual ~FrameHost() = default;
  // Move the lists and child windows to the frame's current rectangles.
  virtual void layoutChanged() = 0;
  // The main window takes (or gives back) the mouse for a split drag.
  virtual void grabSplitPointer(bool grab) = 0;
  // Close the main window; the window asks closeRequest() first.
  virtual void closeWindow() = 0;
};

// Without a model the window stays open, empty, for File/Open.
enum class StartupResult { Ready, NoModel };
enum class IntroChoice { Skipped, Play };

class MainFrame {
 public:
  MainFrame(App& app, FrameHost& host);
  MainFrame(const MainFrame&) = delete;
  MainFrame& operator=(const MainFrame&) = delete;

  App& app;

  // Settles the folders and loads the first model.
  StartupResult start(const CommandLine& commandLine);
  IntroChoice introChoice() const { return intro_; }

  CoreView& view(ViewId id) { return *views_[index(id)]; }
  // Tests put their own views in place through this.
  void setView(ViewId id, std::unique_ptr<CoreView> view);
  // The 3D view, unless something else was set in its place.
  ModelView* modelView() { return modelView_; }
  // The skin view, unless something else was set in its place.
  SkinView* skinView() { return skinView_; }

  // Client size and the bottom of the list rows.
  void setClientSize(int width, int height, int listsBottom);
  void relayout();
  const FrameLayout& layout() const { return layout_; }
  Rect viewRect(ViewId id) const;
  // A child window got a new size: the view sizes its buffer and redraws
  // once; the same size again does nothing.
  void resizeView(ViewId id, int width, int height);

  // "Pelt-Refresh": re-render and repaint the views named by the mask.
  void refresh(int level, int mask);
  // "Pelt-BarAdjust": 0 starts a split drag, anything else re-applies the split.
  void barAdjust(int p);
  bool splitDragging() const { return splitDragging_; }
  void splitDragMove(int clientX);
  void splitDragRelease();

  // The view that gets a wheel turn at this client point, if any.
  std::optional<ViewId> wheelTarget(int x, int y) const;
  // The target view gets the pointer in its own coordinates.
  void routeWheel(int x, int y, int delta, bool ctrl = false);

  // A button pressed in a view; in either large view it stops playback first.
  void pressView(ViewId id, const MouseEvent& event);
  // Fits the skin view and frames the model once for each model read since
  // the last call, unless "Fit On Open" is off.
  void fitNewModel();

  void swapDisplays();
  // Stores the split and the colour slots, then asks unless "Quick Exit".
  bool closeRequest();
  void requestExit() { host_.closeWindow(); }

  const std::array<std::uint8_t, 768>& displayColors() const { return displayColors_; }

 private:
  static size_t index(ViewId id) { return static_cast<size_t>(id); }
  void readColorSlots();
  void settleBaseFolder(const CommandLine& commandLine);
  bool askBaseFolder(const std::string& programFolder);
  std::optional<std::string> guessedBaseFolder(const std::string& commandLine) const;
  void settleWorkFolders();
  void runCommandLine(const std::string& text);
  bool openFirstModel();

  FrameHost& host_;
  std::array<std::unique_ptr<CoreView>, 4> views_;
  static constexpr std::pair<int, int> kNoSize{-1, -1};
  std::array<std::pair<int, int>, 4> viewSizes_{kNoSize, kNoSize, kNoSize, kNoSize};
  ModelView* modelView_ = nullptr;
  SkinView* skinView_ = nullptr;
  FrameLayout layout_;
  int width_ = 0;
  int height_ = 0;
  int listsBottom_ = 0;
  bool splitDragging_ = false;
  bool ctrlHeld_ = false;
  bool baseFolderGuessed_ = false;  // used for this run only, never stored
  unsigned fittedModelLoads_ = 0;
  IntroChoice intro_ = IntroChoice::Skipped;
  std::array<std::uint8_t, 768> displayColors_{};
};

}  // namespace pelt
