#pragma once

#include <QPixmap>

// The program's icon, two overlapping pages, `size` pixels square.
QPixmap ProgramPixmap(int size);
