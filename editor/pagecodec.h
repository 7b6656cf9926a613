#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

// The encodings a page is kept in: saved as it was opened, so an unchanged page gives back its bytes.
enum class PageEncoding { Gb18030, Utf8, Utf8Bom };

// Converts pages between their file bytes and the editor's UTF-8 text, a piece at a time so that a
// large page never lies in memory in several whole copies.
namespace PageCodec {
using Sink = std::function<void(QByteArrayView)>;

// A UTF-8 mark, or valid UTF-8 holding at least one non-ASCII character, is UTF-8; everything else
// is GB18030 (which reads GB2312 and GBK pages as they are).
PageEncoding detect(QByteArrayView bytes);
// The page's text as UTF-8 with every line break as CR LF; false when some bytes did not decode
// cleanly (they become replacement characters).
bool toUtf8(QByteArrayView bytes, PageEncoding encoding, const Sink &sink);
// UTF-8 text in the page's encoding, the mark included for UTF-8 with a mark.
QByteArray fromUtf8(QByteArrayView utf8, PageEncoding encoding);
}
