#pragma once
// The program's own dialogs. Each shows a value struct and, on OK, writes the
// controls back into it; the logic behind them stays in the core.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "platform/dialog_values.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QSpinBox;
class QDoubleSpinBox;
class QSlider;
class QVBoxLayout;

namespace pelt {

using PathChooser = std::function<std::optional<std::string>()>;

struct PreferencesChoosers {
  PathChooser palette;
  PathChooser phongFolder;
  PathChooser envFolder;
};

class PreferencesDialog : public QDialog {
  Q_OBJECT

 public:
  PreferencesDialog(const PreferencesValues& values, PreferencesChoosers choosers,
                    QWidget* parent);
  PreferencesValues values() const;

 private:
  QLineEdit* pathRow(const QString& label, const std::string& value, const PathChooser& chooser,
                     QVBoxLayout* layout);

  QButtonGroup* dirScan_;
  QCheckBox* skipIntro_;
  QCheckBox* quickExit_;
  QCheckBox* paletteOnTop_;
  QLineEdit* palettePath_ = nullptr;
  QLineEdit* phongPath_ = nullptr;
  QLineEdit* envPath_ = nullptr;
  QCheckBox* fitOnOpen_ = nullptr;
  QSpinBox* framesPerSecond_ = nullptr;
  QCheckBox* interpolateFrames_ = nullptr;
  QSpinBox* undoMemory_ = nullptr;
  QCheckBox* ctrlZUndoes_ = nullptr;
  PreferencesChoosers choosers_;
};

bool runResizeSkinsDialog(QWidget* parent, ResizeSkinsValues& values);
bool runOffsetCompanionDialog(QWidget* parent, OffsetCompanionValues& values);
bool runSnapshotsDialog(QWidget* parent, SnapshotValues& values);
bool runMapFromViewDialog(QWidget* parent, MapFromViewValues& values);
bool runReduceColoursDialog(QWidget* parent, ReduceColoursValues& values);
void runAboutDialog(QWidget* parent, const AboutValues& values);

}  // namespace pelt
