// The Map from 3D View dialog: each projection button stands for the
// projection its label names, and the dialog opens on "Parallel".
#include <gtest/gtest.h>

#include <QRadioButton>

#include "qt_test_app.h"
#include "ui/dialogs.h"
#include "view3d/map_from_view.h"

namespace pelt {
namespace {

TEST(MapFromViewDialog, ButtonsChooseTheProjectionTheyName) {
  test::application();
  QStringList shown;
  test::ModalScript script({[&](QWidget* modal) {
    for (auto* button : modal->findChildren<QRadioButton*>())
      if (button->isChecked()) shown << button->text();
    for (auto* button : modal->findChildren<QRadioButton*>())
      if (button->text() == "Perspective") button->setChecked(true);
    static_cast<QDialog*>(modal)->accept();
    return true;
  }});
  MapFromViewValues values = defaultMapFromViewValues();
  ASSERT_TRUE(runMapFromViewDialog(nullptr, values));
  EXPECT_EQ(shown, QStringList{"Parallel"});
  EXPECT_EQ(values.projection, kProjectionPerspective);
}

}  // namespace
}  // namespace pelt
