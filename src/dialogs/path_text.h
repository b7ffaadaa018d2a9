#pragma once

#include <QString>
#include <string>
#include <string_view>

// The program keeps paths as UTF-8 bytes on every system. These are the window's only
// conversions between such bytes and the texts that it shows or reads, so that no conversion goes
// through the system's own code page (which on Windows is not UTF-8).

// The text that shows a path's bytes; bytes that are not UTF-8 show as replacement characters.
QString PathText(std::string_view bytes);
// The bytes of a path that the user typed or chose.
std::string PathBytes(const QString& text);
