#pragma once
#include <QIcon>
#include <QPixmap>

// The tool bar's pictures by image index: 0 copy, 1 save, 2 cut, 3 paste, 4 print,
// 5 font, 6 colour, 7 previous entry, 8 next entry. The desktop's icon theme draws them where it has them; the program's
// own pictures stand in everywhere else.
QIcon ToolbarImage(int index);

// Mekuri's own icon: a calendar whose page is being turned over.
QIcon MekuriIcon();
// The same picture at one of the icon's sizes, made from that size alone.
QPixmap MekuriPicture(int size);
