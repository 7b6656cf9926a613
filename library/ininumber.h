#pragma once

#include <QString>

// Counters in index files are decimal integers; anything else is "'%s' is not a valid integer value".
namespace IniNumber {
int toInt(const QString &text);
}
