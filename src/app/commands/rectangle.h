#pragma once
// The Rectangle menu.

namespace pelt {

class MainFrame;

// Lays the selected triangles out in the skin view's map rectangle as the
// 3D view sees them.
void mapFromViewCommand(MainFrame& frame);

}  // namespace pelt
