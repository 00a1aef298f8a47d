#pragma once
// File/Open From Game: the game's models in a table with where each comes
// from, a filter field above it, Open and Cancel.

#include <QWidget>

#include "platform/dialog_values.h"

namespace pelt {

// On Open, `values.chosen` names the model and `values.filter` keeps the text.
bool runOpenFromGameDialog(QWidget* parent, OpenFromGameValues& values);

}  // namespace pelt
