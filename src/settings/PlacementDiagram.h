#pragma once

#include <QImage>

namespace kivo {

// The sketch of the run window that the placement dialog shows: a blue title
// bar with its window-control mark, and the 20 cells of the button grid, each
// labelled with its place code. 359 x 274 pixels in black, white, light grey
// and blue.
QImage placementDiagram();

}  // namespace kivo
