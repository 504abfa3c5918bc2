#pragma once

#include <QIcon>
#include <QPixmap>

// The program's picture, drawn rather than shipped: a price sheet on a navy tile.
QPixmap ProgramPixmap(int size);
QIcon ProgramIcon();
