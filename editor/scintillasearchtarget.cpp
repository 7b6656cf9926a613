#include "scintillasearchtarget.h"

#include "bytesearch.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <cstdint>

namespace {
using Base = QsciScintillaBase;
// Held replacements this close together are made as one edit; copying a few hundred bytes costs less
// than one more edit. Joined edits stay below a size whose copies the heap has at hand.
constexpr qsizetype joinedGap = 256;
constexpr qsizetype joinedSpan = 64 << 10;
// Held replacements are made in batches of this many, so a Replace All holds little memory.
constexpr std::size_t heldBatch = 4096;

bool isAscii(const QByteArray &text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void replaceTarget(QsciScintilla *editor, qsizetype position, qsizetype length, const QByteArray &bytes)
{
    editor->SendScintilla(
        Base::SCI_SETTARGETRANGE, static_cast<unsigned long>(position), static_cast<long>(position + length));
    editor->SendScintilla(Base::SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()), bytes.constData());
}
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
    return m_editor->SendScintilla(Base::SCI_GETLENGTH) + m_heldGrowth;
}

qsizetype ScintillaSearchTarget::selectionStart() const
{
    makeHeldEdits();
    return m_editor->SendScintilla(Base::SCI_GETSELECTIONSTART);
}

qsizetype ScintillaSearchTarget::selectionEnd() const
{
    makeHeldEdits();
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

qsizetype ScintillaSearchTarget::findBytes(const QByteArray &needle, qsizetype from, qsizetype to, bool matchCase) const
{
    // The text lies in two stretches, before and after Scintilla's gap. Asking for a range across the
    // gap would move it (a copy of many megabytes), so each side is searched where it lies and the
    // few bytes around the gap are searched in a copy.
    const auto pointer = [this](qsizetype a, qsizetype b) {
        return QByteArrayView(reinterpret_cast<const char *>(m_editor->SendScintilla(
                                  Base::SCI_GETRANGEPOINTER, static_cast<unsigned long>(a), static_cast<long>(b - a))),
            b - a);
    };
    const auto inStretch = [&](qsizetype a, qsizetype b) {
        if (b - a < needle.size())
            return qsizetype(-1);
        const qsizetype at = ByteSearch::find(pointer(a, b), needle, matchCase);
        return at < 0 ? at : a + at;
    };
    const qsizetype gap = m_editor->SendScintilla(Base::SCI_GETGAPPOSITION);
    if (to <= gap || from >= gap)
        return inStretch(from, to);
    if (const qsizetype at = inStretch(from, gap); at >= 0)
        return at;
    const qsizetype a = std::max(from, gap - needle.size() + 1);
    const qsizetype b = std::min(to, gap + needle.size() - 1);
    const QByteArray across = pointer(a, gap).toByteArray() + pointer(gap, b).toByteArray();
    if (const qsizetype at = ByteSearch::find(across, needle, matchCase); at >= 0)
        return a + at;
    return inStretch(gap, to);
}

qsizetype ScintillaSearchTarget::find(
    const QString &text, qsizetype start, qsizetype range, SearchOptions options) const
{
    // Behind the held replacements the editor's text is the text as it will be, shifted by their growth.
    // Whether a whole word starts right where the last replacement ends depends on that replacement's
    // last character, so such a search waits until it is made.
    if (!m_held.empty() && (start < heldEnd() || (options.wholeWord && start == heldEnd())))
        makeHeldEdits();
    const qsizetype length = textLength();
    start = qBound(qsizetype(0), start, length);
    const qsizetype end = range > length - start ? length : start + qMax(range, qsizetype(0));
    const QByteArray &needle = encoded(m_searched, text);
    if (needle.isEmpty() || needle.size() > end - start)
        return -1;
    const qsizetype shift = m_heldGrowth;
    int flags = 0;
    if (options.matchCase)
        flags |= Base::SCFIND_MATCHCASE;
    if (options.wholeWord)
        flags |= Base::SCFIND_WHOLEWORD;
    m_editor->SendScintilla(Base::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(flags));
    const auto searchInTarget = [&](qsizetype from, qsizetype to) {
        m_editor->SendScintilla(Base::SCI_SETTARGETRANGE, static_cast<unsigned long>(from), static_cast<long>(to));
        return qsizetype(m_editor->SendScintilla(
            Base::SCI_SEARCHINTARGET, static_cast<uintptr_t>(needle.size()), needle.constData()));
    };
    qsizetype found = -1;
    const qsizetype from = start - shift;
    const qsizetype to = end - shift;
    if (isAscii(needle)) {
        // Scintilla compares character by character, folding the case of each: far into a large page
        // that takes a second. The bytes are searched here instead, ASCII letters in either case (no
        // character outside ASCII folds onto one in Scintilla), and Scintilla confirms each place found
        // (a whole word, say) on that place alone.
        for (qsizetype at = from;;) {
            const qsizetype candidate = findBytes(needle, at, to, options.matchCase);
            if (candidate < 0 || searchInTarget(candidate, candidate + needle.size()) == candidate) {
                found = candidate;
                break;
            }
            at = candidate + 1;
        }
    } else {
        found = searchInTarget(from, to);
    }
    return found < 0 ? found : found + shift;
}

void ScintillaSearchTarget::select(qsizetype position, qsizetype length)
{
    makeHeldEdits();
    // Anchor at the start, caret at the end: the end of a match is scrolled into view.
    m_editor->SendScintilla(
        Base::SCI_SETSEL, static_cast<unsigned long>(position), static_cast<long>(position + length));
}

void ScintillaSearchTarget::replaceSelection(const QString &text)
{
    const qsizetype start = selectionStart();
    replace(start, selectionEnd() - start, text);
}

void ScintillaSearchTarget::replace(qsizetype position, qsizetype length, const QString &text)
{
    const QByteArray &bytes = encoded(m_inserted, text);
    // Replacements are held only inside an undo action, whose end makes them.
    if (m_undoDepth == 0) {
        replaceTarget(m_editor, position, length, bytes);
        return;
    }
    if (!m_held.empty() && position < heldEnd())
        makeHeldEdits();
    m_held.push_back({ position, length, bytes });
    m_heldGrowth += bytes.size() - length;
    if (m_held.size() >= heldBatch)
        makeHeldEdits();
}

void ScintillaSearchTarget::makeHeldEdits() const
{
    const std::vector<HeldEdit> held = std::move(m_held);
    m_held.clear();
    m_heldGrowth = 0;
    // The untouched text between a replacement and the one before it.
    const auto untouchedBefore
        = [&held](std::size_t i) { return held[i].position - (held[i - 1].position + held[i - 1].bytes.size()); };
    for (std::size_t first = 0; first < held.size();) {
        // A run of replacements with little text between them, and its span in the editor's text as it
        // is now, with the runs before it made.
        const qsizetype spanStart = held[first].position;
        qsizetype spanEnd = spanStart + held[first].length;
        std::size_t last = first;
        while (last + 1 < held.size() && untouchedBefore(last + 1) <= joinedGap && spanEnd - spanStart <= joinedSpan) {
            ++last;
            spanEnd += untouchedBefore(last) + held[last].length;
        }
        if (last == first) {
            replaceTarget(m_editor, spanStart, held[first].length, held[first].bytes);
        } else {
            const auto *old = reinterpret_cast<const char *>(m_editor->SendScintilla(Base::SCI_GETRANGEPOINTER,
                static_cast<unsigned long>(spanStart), static_cast<long>(spanEnd - spanStart)));
            QByteArray joined;
            qsizetype kept = held[first].length; // offset in the span of the text after the replacement
            joined += held[first].bytes;
            for (std::size_t i = first + 1; i <= last; ++i) {
                const qsizetype between = untouchedBefore(i);
                joined.append(old + kept, between);
                joined += held[i].bytes;
                kept += between + held[i].length;
            }
            replaceTarget(m_editor, spanStart, spanEnd - spanStart, joined);
        }
        first = last + 1;
    }
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
    makeHeldEdits();
    m_editor->SendScintilla(Base::SCI_ENDUNDOACTION);
    if (m_undoDepth > 0 && --m_undoDepth == 0 && m_wrapMode != Base::SC_WRAP_NONE)
        m_editor->SendScintilla(Base::SCI_SETWRAPMODE, static_cast<unsigned long>(m_wrapMode));
}

void ScintillaSearchTarget::focus()
{
    // The editor becomes the page's focused control, but the keyboard stays in the Find or Replace
    // window the user is working in: a second Enter there finds again instead of typing a line
    // break over the selected match.
    m_editor->setFocus(Qt::OtherFocusReason);
}
