#pragma once
// The program's icon: one drawing for the window, the desktop's PNG sizes and
// its scalable SVG, so the three never drift apart.

#include <QByteArray>
#include <QIcon>
#include <QImage>

namespace pelt {

// The drawing's own grid; every other size is a scaling of it.
inline constexpr int kProgramIconGrid = 64;

// Square sizes the desktop's icon theme looks for.
inline constexpr int kProgramIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QImage programIconImage(int size);
QByteArray programIconSvg();
QIcon programIconSet();

}  // namespace pelt
