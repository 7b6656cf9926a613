#include "scintillasearchtarget.h"

#include <Qsci/qsciscintilla.h>

#include <cstdint>

namespace {
using Base = QsciScintillaBase;
}

const QByteArray &ScintillaSearchTarget::encoded(Encoded &cache, const QString &text) const
{
    if (cache.bytes.isNull() || cache.text != text) {
        cache.text = text;
        cache.bytes = m_editor->isUtf8() ? text.toUtf8() : text.toLatin1();
    }
    return cache.bytes;
}

qsizetype ScintillaSearchTarget::textLength() const
{
    return m_editor->SendScintilla(Base::SCI_GETLENGTH);
}

qsizetype ScintillaSearchTarget::selectionStart() const
{
    return m_editor->SendScintilla(Base::SCI_GETSELECTIONSTART);
}

qsizetype ScintillaSearchTarget::selectionEnd() const
{
    return m_editor->SendScintilla(Base::SCI_GETSELECTIONEND);
}

qsizetype ScintillaSearchTarget::lengthOf(const QString &text) const
{
    if (text == m_searched.text && !m_searched.bytes.isNull())
        return m_searched.bytes.size();
    if (text == m_inserted.text && !m_inserted.bytes.isNull())
        return m_inserted.bytes.size();
    return m_editor->isUtf8() ? text.toUtf8().size() : text.size();
}

qsizetype ScintillaSearchTarget::find(const QString &text, qsizetype start, qsizetype range,
                                      SearchOptions options) const
{
    const qsizetype length = textLength();
    start = qBound(qsizetype(0), start, length);
    const qsizetype end = range > length - start ? length : start + qMax(range, qsizetype(0));
    const QByteArray &needle = encoded(m_searched, text);
    if (needle.isEmpty() || needle.size() > end - start)
        return -1;
    int flags = 0;
    if (options.matchCase)
        flags |= Base::SCFIND_MATCHCASE;
    if (options.wholeWord)
        flags |= Base::SCFIND_WHOLEWORD;
    m_editor->SendScintilla(Base::SCI_SETTARGETRANGE, static_cast<unsigned long>(start), static_cast<long>(end));
    m_editor->SendScintilla(Base::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(flags));
    return m_editor->SendScintilla(Base::SCI_SEARCHINTARGET, static_cast<uintptr_t>(needle.size()),
                                   needle.constData());
}

void ScintillaSearchTarget::select(qsizetype position, qsizetype length)
{
    // Anchor at the start, caret at the end: the end of a match is scrolled into view.
    m_editor->SendScintilla(Base::SCI_SETSEL, static_cast<unsigned long>(position),
                            static_cast<long>(position + length));
}

void ScintillaSearchTarget::replaceSelection(const QString &text)
{
    const qsizetype start = selectionStart();
    replace(start, selectionEnd() - start, text);
}

void ScintillaSearchTarget::replace(qsizetype position, qsizetype length, const QString &text)
{
    const QByteArray &bytes = encoded(m_inserted, text);
    m_editor->SendScintilla(Base::SCI_SETTARGETRANGE, static_cast<unsigned long>(position),
                            static_cast<long>(position + length));
    m_editor->SendScintilla(Base::SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()), bytes.constData());
}

void ScintillaSearchTarget::beginUndoAction()
{
    m_editor->SendScintilla(Base::SCI_BEGINUNDOACTION);
    // Wrapped lines are laid out again after every edit, at a cost that grows with the page: many edits
    // in a row are made unwrapped, and the page is wrapped once at the end.
    if (m_undoDepth++ == 0) {
        m_wrapMode = m_editor->SendScintilla(Base::SCI_GETWRAPMODE);
        if (m_wrapMode != Base::SC_WRAP_NONE)
            m_editor->SendScintilla(Base::SCI_SETWRAPMODE, static_cast<unsigned long>(Base::SC_WRAP_NONE));
    }
}

void ScintillaSearchTarget::endUndoAction()
{
    m_editor->SendScintilla(Base::SCI_ENDUNDOACTION);
    if (m_undoDepth > 0 && --m_undoDepth == 0 && m_wrapMode != Base::SC_WRAP_NONE)
        m_editor->SendScintilla(Base::SCI_SETWRAPMODE, static_cast<unsigned long>(m_wrapMode));
}

void ScintillaSearchTarget::focus()
{
    // Like the system's own find window, a match takes the user back to the page.
    m_editor->activateWindow();
    m_editor->setFocus(Qt::OtherFocusReason);
}
