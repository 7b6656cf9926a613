#include "findreplace.h"

#include "platform/dialogs.h"

using namespace Qt::StringLiterals;

FindReplace::FindReplace(SearchTarget &target, Dialogs &dialogs, SearchState &state)
    : m_target(target)
    , m_dialogs(dialogs)
    , m_state(state)
{
}

qsizetype FindReplace::search(
    const SearchTarget &target, const QString &text, qsizetype start, qsizetype range, SearchOptions options)
{
    if (text.isEmpty())
        return -1;
    return target.find(text, start, range, options);
}

qsizetype FindReplace::searchFromSelection(const QString &text, SearchOptions options) const
{
    const qsizetype start = m_target.selectionEnd();
    const qsizetype found = search(m_target, text, start, m_target.textLength() - start, options);
    if (found >= 0 || !m_state.wrapAround)
        return found;
    return search(m_target, text, 0, m_target.textLength(), options);
}

bool FindReplace::find()
{
    const SearchState::FindWindow &window = m_state.find;
    const qsizetype found = searchFromSelection(window.findText, window.options);
    if (found < 0) {
        m_dialogs.notice(QString(), u"本次查找完畢"_s, MessageIcon::Error);
        return false;
    }
    m_target.focus();
    m_target.select(found, m_target.lengthOf(window.findText));
    return true;
}

bool FindReplace::findFromReplaceWindow()
{
    m_state.find.findText = m_state.replace.findText;
    m_state.find.options = m_state.replace.options;
    return find();
}

void FindReplace::forgetReplacement()
{
    m_state.replace.replaceText.clear();
    m_state.repeatedReplacement.clear();
}

void FindReplace::takeFindText()
{
    if (!m_state.find.findText.isEmpty())
        m_state.replace.findText = m_state.find.findText;
}

bool FindReplace::findNext()
{
    if (!m_state.repeatedReplacement.isEmpty())
        replaceNext(m_state.repeatedReplacement);
    else if (!m_state.find.findText.isEmpty())
        find();
    else
        return false;
    return true;
}

bool FindReplace::replaceOne()
{
    m_state.repeatedReplacement = m_state.replace.replaceText;
    return replaceNext(m_state.replace.replaceText);
}

bool FindReplace::replaceNext(const QString &replacement)
{
    const SearchState::ReplaceWindow &window = m_state.replace;
    const qsizetype found = searchFromSelection(window.findText, window.options);
    if (found < 0) {
        m_dialogs.notice(QString(), u"本次搜索完畢"_s, MessageIcon::Warning);
        return false;
    }
    m_target.focus();
    m_target.select(found, m_target.lengthOf(window.findText));
    m_target.replaceSelection(replacement);
    m_target.select(found, m_target.lengthOf(replacement));
    return true;
}

int FindReplace::replaceAll()
{
    const SearchState::ReplaceWindow &window = m_state.replace;
    m_state.repeatedReplacement = window.replaceText;
    const qsizetype findLength = m_target.lengthOf(window.findText);
    const qsizetype replacementLength = m_target.lengthOf(window.replaceText);
    int count = 0;
    qsizetype start = 0;
    m_target.beginUndoAction();
    for (;;) {
        const qsizetype found = search(m_target, window.findText, start, m_target.textLength() - start, window.options);
        if (found < 0)
            break;
        if (count == 0)
            m_target.focus();
        // Only the caret at the end shows, so the matches are replaced in place rather than selected
        // and scrolled to one by one.
        m_target.replace(found, findLength, window.replaceText);
        start = found + replacementLength;
        ++count;
    }
    m_target.endUndoAction();
    if (count > 0)
        m_target.select(start, 0);
    m_dialogs.notice(QString(), u"替換完畢"_s, MessageIcon::None);
    return count;
}
