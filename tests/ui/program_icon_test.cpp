#include "ui/program_icon.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QXmlStreamReader>

namespace pelt {
namespace {

// Every size the icon theme gets keeps the drawing's proportions: clear
// corners, the tile around, the letter's stem where the grid puts it.
TEST(ProgramIcon, EverySizeIsTheSameDrawingScaled) {
  for (int size : kProgramIconSizes) {
    SCOPED_TRACE(size);
    const QImage image = programIconImage(size);
    ASSERT_EQ(image.size(), QSize(size, size));
    auto at = [&](double gridX, double gridY) {
      return image.pixelColor(int(gridX * size / kProgramIconGrid),
                              int(gridY * size / kProgramIconGrid));
    };
    EXPECT_EQ(at(0.5, 0.5).alpha(), 0);
    EXPECT_EQ(at(63.5, 63.5).alpha(), 0);
    const QColor tile = at(44, 52);
    EXPECT_EQ(tile.alpha(), 255);
    EXPECT_GT(tile.red(), tile.blue());
    const QColor stem = at(22.5, 32);
    EXPECT_GT(stem.red(), 200);
    EXPECT_GT(stem.blue(), 150);
  }
}

TEST(ProgramIcon, SvgIsWellFormedOnTheSameGrid) {
  QXmlStreamReader xml(programIconSvg());
  QStringList elements;
  QString viewBox;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    elements << xml.name().toString();
    if (xml.name() == u"svg") viewBox = xml.attributes().value("viewBox").toString();
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(viewBox, QString("0 0 %1 %1").arg(kProgramIconGrid));
  EXPECT_EQ(elements,
            (QStringList{"svg", "defs", "linearGradient", "stop", "stop", "rect", "path"}));
}

}  // namespace
}  // namespace pelt
