#pragma once

#include <QPixmap>

// The program's symbol, two overlapping pages, `size` pixels square.
QPixmap ProgramPixmap(int size);
