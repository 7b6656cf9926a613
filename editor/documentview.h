#pragma once

#include "pageencoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The editor as the document commands see it: the caption that names the document, the editor's
// modification flag, and its whole text as UTF-8.
class DocumentView
{
public:
    virtual ~DocumentView() = default;

    virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual bool isModified() const = 0;
    virtual void setUnmodified() = 0;
    // The page differs from its file though no edit was made here (text restored from a recovery copy,
    // say): the flag stays set until the next load or save, whatever undo does.
    virtual void markModified() = 0;

    // The whole text is replaced by the pieces appended between beginLoad and endLoad; afterwards
    // there is nothing to undo and the flag is clear. abandonLoad instead leaves the page as it was
    // before beginLoad: its text, its undo history and its flag. expectedSize: about how many UTF-8
    // bytes come. Each step throws std::bad_alloc when the editor finds no memory for the page.
    virtual void beginLoad(qint64 expectedSize) = 0;
    virtual void appendUtf8(QByteArrayView piece) = 0;
    virtual void endLoad() = 0;
    virtual void abandonLoad() = 0;
    // The most UTF-8 bytes the editor holds as a page.
    virtual qint64 capacity() const = 0;

    // The whole text, valid until the next change.
    virtual QByteArrayView utf8() = 0;
    // The text's size in UTF-8 bytes, asked without touching the text.
    virtual qint64 utf8Size() const = 0;
    // A copy of the whole text that leaves the editor's own buffer where it is, so that the next
    // keystroke costs no more than it would have. Made in `reuse` when it has the room: fresh memory for
    // a large page costs many times the copy itself.
    virtual QByteArray copyUtf8(QByteArray reuse = {}) = 0;

    // The line break that Enter and paste give new lines.
    virtual void setNewLineEnds(LineEnds ends) = 0;
    // An edit the user can undo: every line break of the page becomes `ends`.
    virtual void convertLineEnds(LineEnds ends) = 0;
    // An edit the user can undo: `length` bytes at `at` of the text become `utf8`.
    virtual void replaceText(qsizetype at, qsizetype length, QByteArrayView utf8) = 0;

protected:
    // `reuse` emptied with its memory kept, and room for `size` bytes and an eighth more, so that the
    // next copy, after some typing, fits in the same memory.
    static QByteArray roomFor(QByteArray reuse, qsizetype size)
    {
        reuse.resize(0);
        if (reuse.capacity() < size)
            reuse.reserve(size + size / 8);
        return reuse;
    }
};
