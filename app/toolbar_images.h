#pragma once
#include <QIcon>

// The tool bar's pictures by image index: 0 copy, 1 save, 2 cut, 3 paste, 4 print,
// 5 font, 6 colour.
QIcon ToolbarImage(int index);
