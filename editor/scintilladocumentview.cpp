#include "scintilladocumentview.h"

#include <Qsci/qsciscintilla.h>

#include <QWidget>

#include <new>

ScintillaDocumentView::ScintillaDocumentView(
    QWidget *window, QsciScintilla *editor, std::function<void(bool large)> largeChanged)
    : m_caption(window->windowTitle())
    , m_window(window)
    , m_editor(editor)
    , m_largeChanged(std::move(largeChanged))
{
    // Scintilla tells when the page leaves or comes back to its last saved state: undoing back to
    // it clears the marker too.
    QObject::connect(
        editor, &QsciScintilla::modificationChanged, window, [this] { m_window->setWindowModified(isModified()); });
}

QString ScintillaDocumentView::caption() const
{
    return m_caption;
}

void ScintillaDocumentView::setCaption(const QString &caption)
{
    m_caption = caption;
    ++m_captionsGiven;
    // "[*]" is where Qt puts the marker; one that the name itself holds is doubled to stay as it is.
    m_window->setWindowTitle(
        QString(caption).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")) + QStringLiteral("[*]"));
}

bool ScintillaDocumentView::isModified() const
{
    return m_markedModified || m_editor->SendScintilla(QsciScintillaBase::SCI_GETMODIFY) != 0;
}

void ScintillaDocumentView::setUnmodified()
{
    m_markedModified = false;
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    m_window->setWindowModified(isModified());
}

void ScintillaDocumentView::markModified()
{
    m_markedModified = true;
    m_window->setWindowModified(true);
}

void ScintillaDocumentView::beginLoad(qint64 expectedSize)
{
    using Base = QsciScintillaBase;
    abandonLoad();
    const bool large = expectedSize > LargePage;
    // Room to type in beside the text: a document filled to the brim makes the first keystrokes move
    // the whole text into a larger buffer, a pause of a tenth of a second or more on a large page.
    expectedSize += qBound(qint64(4) << 10, expectedSize / 16, qint64(16) << 20);
    m_previous = Previous();
    m_largeBefore = m_large;
    m_plainPage = large;
    m_lineSoFar = 0;
    const bool pristine = m_editor->SendScintilla(Base::SCI_GETLENGTH) == 0 && !isModified()
        && !m_editor->SendScintilla(Base::SCI_CANUNDO) && !m_editor->SendScintilla(Base::SCI_CANREDO);
    if (!large && !m_large && pristine) {
        // An empty coloured document with nothing to undo (the start-up page's) is filled as it is: a
        // fresh document would need its colouring attached again, which re-creates every style's font.
        m_editor->SendScintilla(Base::SCI_ALLOCATE, static_cast<unsigned long>(expectedSize));
    } else {
        // A fresh document, sized for the page at once: growing it piece by piece copies it again and
        // again. The previous page stays whole beside it until the new one is complete. Scintilla lets
        // std::bad_alloc through when it finds no room, before anything changed.
        const long options = large ? Base::SC_DOCUMENTOPTION_STYLES_NONE : Base::SC_DOCUMENTOPTION_DEFAULT;
        const long document
            = m_editor->SendScintilla(Base::SCI_CREATEDOCUMENT, static_cast<unsigned long>(expectedSize), options);
        if (!document)
            throw std::bad_alloc();
        m_previous.document = m_editor->SendScintilla(Base::SCI_GETDOCPOINTER);
        m_previous.anchor = m_editor->SendScintilla(Base::SCI_GETANCHOR);
        m_previous.caret = m_editor->SendScintilla(Base::SCI_GETCURRENTPOS);
        m_previous.firstLine = m_editor->SendScintilla(Base::SCI_GETFIRSTVISIBLELINE);
        m_previous.xOffset = m_editor->SendScintilla(Base::SCI_GETXOFFSET);
        m_previous.markedModified = m_markedModified;
        m_editor->SendScintilla(Base::SCI_ADDREFDOCUMENT, 0UL, m_previous.document);
        m_editor->SendScintilla(Base::SCI_SETDOCPOINTER, 0UL, document);
        m_editor->SendScintilla(Base::SCI_RELEASEDOCUMENT, 0UL, document);
    }
    m_loading = true;
    // A large page is shown plain while it is filled: with wrapping on, every piece appended would lay
    // out the screen's lines again, the whole of a long line each time.
    if (large && !m_large)
        showPlain(true);
    m_editor->SendScintilla(Base::SCI_SETCODEPAGE, static_cast<unsigned long>(Base::SC_CP_UTF8));
    // A loaded page is no edit: nothing of it goes into the undo history.
    m_editor->SendScintilla(Base::SCI_SETUNDOCOLLECTION, 0UL);
}

void ScintillaDocumentView::appendUtf8(QByteArrayView piece)
{
    if (!m_plainPage) {
        // A line that grows too long makes the page a plain one before it reaches the editor.
        for (const char c : piece) {
            if (c == '\n' || c == '\r') {
                m_lineSoFar = 0;
            } else if (++m_lineSoFar > LongLine) {
                m_plainPage = true;
                if (!m_large)
                    showPlain(true);
                break;
            }
        }
    }
    m_editor->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(piece.size()), piece.data());
}

void ScintillaDocumentView::endLoad()
{
    using Base = QsciScintillaBase;
    m_editor->SendScintilla(Base::SCI_EMPTYUNDOBUFFER);
    m_editor->SendScintilla(Base::SCI_SETUNDOCOLLECTION, 1UL);
    m_editor->SendScintilla(Base::SCI_SETSAVEPOINT);
    m_loading = false;
    m_markedModified = false;
    if (m_previous.document) {
        dropPrevious();
        // A new coloured document needs its colouring attached; a plain one is plain already.
        if (!m_plainPage)
            showPlain(false);
    }
    // After the view is set for the page: placing the caret lays out its line, which any change of
    // colouring or font would make be laid out again, seconds for a line of megabytes.
    m_editor->SendScintilla(Base::SCI_GOTOPOS, 0UL);
    // A fresh document reaches its save point without telling.
    m_window->setWindowModified(isModified());
}

void ScintillaDocumentView::abandonLoad()
{
    using Base = QsciScintillaBase;
    if (!m_loading)
        return;
    m_loading = false;
    if (!m_previous.document) {
        // The pristine empty document that was being filled is emptied again.
        m_editor->SendScintilla(Base::SCI_CLEARALL);
        m_editor->SendScintilla(Base::SCI_SETUNDOCOLLECTION, 1UL);
        m_editor->SendScintilla(Base::SCI_SETSAVEPOINT);
    } else {
        // The previous document comes back with its text, undo history, save point and colouring.
        m_editor->SendScintilla(Base::SCI_SETDOCPOINTER, 0UL, m_previous.document);
        m_editor->SendScintilla(Base::SCI_SETSEL, static_cast<unsigned long>(m_previous.anchor), m_previous.caret);
        m_editor->SendScintilla(Base::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(m_previous.firstLine));
        m_editor->SendScintilla(Base::SCI_SETXOFFSET, static_cast<unsigned long>(m_previous.xOffset));
        m_markedModified = m_previous.markedModified;
        dropPrevious();
    }
    if (m_large != m_largeBefore)
        showPlain(m_largeBefore);
    m_window->setWindowModified(isModified());
}

void ScintillaDocumentView::showPlain(bool plain)
{
    m_large = plain;
    if (m_largeChanged)
        m_largeChanged(plain);
}

void ScintillaDocumentView::dropPrevious()
{
    m_editor->SendScintilla(QsciScintillaBase::SCI_RELEASEDOCUMENT, 0UL, m_previous.document);
    m_previous = Previous();
}

QByteArrayView ScintillaDocumentView::utf8()
{
    const auto length = static_cast<qsizetype>(m_editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    const auto *text
        = reinterpret_cast<const char *>(m_editor->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return QByteArrayView(text, length);
}

qint64 ScintillaDocumentView::utf8Size() const
{
    return m_editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
}

QByteArray ScintillaDocumentView::copyUtf8(QByteArray reuse)
{
    // Scintilla keeps the text in two parts around the place of the last edit; asking for the whole
    // text as one would move the second part, and the next keystroke would move it back.
    using Base = QsciScintillaBase;
    const auto length = static_cast<qsizetype>(m_editor->SendScintilla(Base::SCI_GETLENGTH));
    const auto gap = static_cast<qsizetype>(m_editor->SendScintilla(Base::SCI_GETGAPPOSITION));
    QByteArray copy = roomFor(std::move(reuse), length);
    const auto range = [this](qsizetype from, qsizetype size) {
        return QByteArrayView(reinterpret_cast<const char *>(m_editor->SendScintilla(Base::SCI_GETRANGEPOINTER,
                                  static_cast<unsigned long>(from), static_cast<long>(size))),
            size);
    };
    if (gap > 0)
        copy.append(range(0, gap));
    if (length > gap)
        copy.append(range(gap, length - gap));
    return copy;
}

namespace {
QsciScintilla::EolMode eolMode(LineEnds ends)
{
    switch (ends) {
    case LineEnds::Lf:
        return QsciScintilla::EolUnix;
    case LineEnds::Cr:
        return QsciScintilla::EolMac;
    case LineEnds::CrLf:
        break;
    }
    return QsciScintilla::EolWindows;
}
}

void ScintillaDocumentView::setNewLineEnds(LineEnds ends)
{
    m_editor->setEolMode(eolMode(ends));
}

void ScintillaDocumentView::convertLineEnds(LineEnds ends)
{
    m_editor->convertEols(eolMode(ends));
    m_editor->setEolMode(eolMode(ends));
}

void ScintillaDocumentView::replaceText(qsizetype at, qsizetype length, QByteArrayView utf8)
{
    using Base = QsciScintillaBase;
    m_editor->SendScintilla(Base::SCI_SETTARGETRANGE, static_cast<unsigned long>(at), static_cast<long>(at + length));
    m_editor->SendScintilla(Base::SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()), utf8.data());
}
