#include "ui/program_icon.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QXmlStreamReader>

namespace pelt {
namespace {

// Every size the icon theme gets keeps the drawing's proportions: clear
// corners, the tile around, the letter's stem where the grid puts it; the
// SVG is well-formed XML on the same grid.
TEST(ProgramIcon, EverySizeAndTheSvgAreTheSameDrawing) {
  for (int size : kProgramIconSizes) {
    SCOPED_TRACE(size);
    const QImage image = programIconImage(size);
    ASSERT_EQ(image.size(), QSize(size, size));
    auto at = [&](double gridX, double gridY) {
      return image.pixelColor(int(gridX * size / kProgramIconGrid),
                              int(gridY * size / kProgramIconGrid));
    };
    EXPECT_EQ(at(0.5, 0.5).alpha() + at(63.5, 63.5).alpha(), 0);
    const QColor tile = at(44, 52), stem = at(22.5, 32);
    EXPECT_TRUE(tile.alpha() == 255 && tile.red() > tile.blue());
    EXPECT_TRUE(stem.red() > 200 && stem.blue() > 150);
  }
  QXmlStreamReader xml(programIconSvg());
  QString viewBox;
  while (!xml.atEnd())
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"svg")
      viewBox = xml.attributes().value("viewBox").toString();
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(viewBox, QString("0 0 %1 %1").arg(kProgramIconGrid));
}

}  // namespace
}  // namespace pelt
