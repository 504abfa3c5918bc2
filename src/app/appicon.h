#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The program's picture, drawn rather than shipped: a price sheet on a navy tile.
// The image needs no running application, so the build can render the installed icons with it;
// data/com.pellorsoftware.quorvane.svg is the same picture by hand.
QImage ProgramImage(int size);
QPixmap ProgramPixmap(int size);
QIcon ProgramIcon();
