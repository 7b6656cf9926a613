#pragma once

#include <QByteArray>

#include <time.h>

// The names of the writers' temporary files: hidden, beside the file they become, with a fixed marker
// (".<name>.vellumo-XXXXXX"), so that no file a user names is ever taken for one and cleared.
namespace TemporaryName {
// The temporary name for a file of this name, its last six characters "XXXXXX" to be filled in (as
// mkostemp does); a long name is cut so that the whole still fits in one file name.
QByteArray pattern(const QByteArray &name);
// Fills the six last characters with letters and digits, at random.
void fill(QByteArray &pattern);
// True for a name of exactly that form.
bool matches(const QByteArray &name);
// Removes the files of that form last changed before `before` from the folder open as folder, and
// from the folders below it as deep as depth, never through a link; with ownOnly, only this user's.
// Returns how many.
int removeStale(int folder, const struct timespec &before, int depth, bool ownOnly);
}
