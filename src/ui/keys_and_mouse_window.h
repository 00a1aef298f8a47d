#pragma once
// The Keys and Mouse window: the core's list of every command, grouped by
// menu, with a search field, and below it what the mouse does in each mode.

#include <QDialog>

#include "platform/dialog_values.h"

class QLabel;
class QLineEdit;
class QTreeWidget;

namespace pelt {

class KeysAndMouseWindow : public QDialog {
  Q_OBJECT

 public:
  KeysAndMouseWindow(const KeysAndMouseValues& values, QWidget* parent);
  // Commands shown under the current search.
  int shownCommands() const;

 private:
  void filter(const QString& query);

  KeysAndMouseValues values_;
  QLineEdit* search_;
  QTreeWidget* commands_;
  QLabel* count_;
  int total_ = 0;
};

}  // namespace pelt
