#pragma once

#include <QString>

// The folder that holds the executable, always ending with the separator; every data path is it
// followed directly by a relative path.
namespace ApplicationFolder {
QString fromExecutableFolder(const QString &folder);
}
