#include "scintilladocumentview.h"

#include <Qsci/qsciscintilla.h>

#include <QWidget>

ScintillaDocumentView::ScintillaDocumentView(
    QWidget *window, QsciScintilla *editor, std::function<void(bool large)> largeChanged)
    : m_caption(window->windowTitle())
    , m_window(window)
    , m_editor(editor)
    , m_largeChanged(std::move(largeChanged))
{
    // Scintilla tells when the page leaves or comes back to its last saved state: undoing back to
    // it clears the marker too.
    QObject::connect(editor, &QsciScintilla::modificationChanged, window, &QWidget::setWindowModified);
}

QString ScintillaDocumentView::caption() const
{
    return m_caption;
}

void ScintillaDocumentView::setCaption(const QString &caption)
{
    m_caption = caption;
    // "[*]" is where Qt puts the marker; one that the name itself holds is doubled to stay as it is.
    m_window->setWindowTitle(
        QString(caption).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")) + QStringLiteral("[*]"));
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
    // A fresh document reaches its save point without telling.
    m_window->setWindowModified(isModified());
}

QByteArrayView ScintillaDocumentView::utf8()
{
    const auto length = static_cast<qsizetype>(m_editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    const auto *text
        = reinterpret_cast<const char *>(m_editor->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return QByteArrayView(text, length);
}
