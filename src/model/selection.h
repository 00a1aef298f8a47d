#pragma once
// Triangle selection of the mapping tools. Triangles touch when they share an
// entry of the st table, not a frame vertex; hidden triangles neither spread
// a selection nor receive one.

namespace pelt {

struct Model;

void selectAll(Model& model);
void selectNone(Model& model);
void invertSelection(Model& model);
// Floods the selection through shared st entries until nothing new joins.
void selectConnected(Model& model);
// Adds every visible triangle that shares an st entry with the selection,
// and those whose entries all belong to such triangles.
void growSelection(Model& model);
// Drops selected triangles that share an st entry with a visible unselected one.
void shrinkSelection(Model& model);
// Hidden triangles stay selected, so Unhide gives back the same selection.
void hideSelected(Model& model);
void unhideAll(Model& model);

}  // namespace pelt
