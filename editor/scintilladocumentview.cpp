#include "scintilladocumentview.h"

#include <Qsci/qsciscintilla.h>

#include <QWidget>

QString ScintillaDocumentView::caption() const
{
    return m_window->windowTitle();
}

void ScintillaDocumentView::setCaption(const QString &caption)
{
    m_window->setWindowTitle(caption);
}

bool ScintillaDocumentView::isModified() const
{
    return m_editor->SendScintilla(QsciScintillaBase::SCI_GETMODIFY) != 0;
}

void ScintillaDocumentView::setUnmodified()
{
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
}

void ScintillaDocumentView::beginLoad(qint64 expectedSize)
{
    using Base = QsciScintillaBase;
    const bool large = expectedSize > LargePage;
    if (!large && !m_large && m_editor->SendScintilla(Base::SCI_GETLENGTH) == 0) {
        // An empty coloured document (the start-up page's) is filled as it is: a fresh document would
        // need its colouring attached again, which re-creates every style's font.
        m_editor->SendScintilla(Base::SCI_ALLOCATE, static_cast<unsigned long>(expectedSize));
    } else {
        // A fresh document, sized for the page at once: growing it piece by piece copies it again and again.
        const long options = large ? Base::SC_DOCUMENTOPTION_STYLES_NONE : Base::SC_DOCUMENTOPTION_DEFAULT;
        const long document
            = m_editor->SendScintilla(Base::SCI_CREATEDOCUMENT, static_cast<unsigned long>(expectedSize), options);
        if (document) {
            m_editor->SendScintilla(Base::SCI_SETDOCPOINTER, 0UL, document);
            m_editor->SendScintilla(Base::SCI_RELEASEDOCUMENT, 0UL, document);
        } else {
            m_editor->SendScintilla(Base::SCI_CLEARALL);
        }
        m_large = large;
        if (m_largeChanged)
            m_largeChanged(large);
    }
    m_editor->SendScintilla(Base::SCI_SETCODEPAGE, static_cast<unsigned long>(Base::SC_CP_UTF8));
    m_editor->setEolMode(QsciScintilla::EolWindows);
    // A loaded page is no edit: nothing of it goes into the undo history.
    m_editor->SendScintilla(Base::SCI_SETUNDOCOLLECTION, 0UL);
}

void ScintillaDocumentView::appendUtf8(QByteArrayView piece)
{
    m_editor->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(piece.size()), piece.data());
}

void ScintillaDocumentView::endLoad()
{
    m_editor->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1UL);
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    m_editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
}

QByteArrayView ScintillaDocumentView::utf8()
{
    const auto length = static_cast<qsizetype>(m_editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    const auto *text
        = reinterpret_cast<const char *>(m_editor->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return QByteArrayView(text, length);
}
