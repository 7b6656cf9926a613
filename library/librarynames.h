#pragma once

#include <QString>
#include <QStringList>

// Rules for names that come from strangers' files (update packages, definition files) before the
// program uses them as paths or writes them into an index file.
namespace LibraryNames {
// A relative name that stays inside the folder it is joined to: not empty, not absolute (no leading
// "/" or "\", no drive letter), no NUL and no ".." part between "/" or "\".
bool staysInFolder(const QString &name);
// The start of a relative path ("/" between its parts) up to and including its first part that
// starts with "." (a hidden file or folder); empty when it has none.
QString hiddenPart(const QString &relative);
// The name of one entry of a folder: it stays in the folder, has no "/" or "\" and is not ".".
bool namesOneEntry(const QString &name);
// Why the name cannot be written as an index file's section, key or value and read back the same;
// empty when it can.
QString indexProblem(const QString &name);
// The stems of a definition file's numbered [file] keys whose values name files: imgfilename,
// txtfilename, fno.
const QStringList &fileKeyStems();
// A value of such a key names a file inside the category folder, or nothing ("" or "0").
bool namesOwnFile(const QString &value);
}
