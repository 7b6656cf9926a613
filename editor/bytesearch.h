#pragma once

#include <QByteArrayView>

// Finds a text's bytes in a stretch of the page's bytes. When the case does not matter only ASCII
// letters are folded, as the editor's own search folds them for a text of ASCII.
namespace ByteSearch {
// Where the needle first starts in text, or -1. The work grows with how far in the match lies, not
// with the length of text: a Replace All asks again right after every match.
qsizetype find(QByteArrayView text, QByteArrayView needle, bool matchCase);
}
