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

void ScintillaDocumentView::beginLoad()
{
    // A loaded page is no edit: nothing of it goes into the undo history.
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0UL);
    m_editor->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
}

void ScintillaDocumentView::appendUtf8(QByteArrayView piece)
{
    m_editor->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(piece.size()),
                            piece.data());
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
    const auto *text = reinterpret_cast<const char *>(
        m_editor->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return QByteArrayView(text, length);
}
