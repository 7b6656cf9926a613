#include "stringsearchtarget.h"

#include <QStringView>

namespace {
enum class CharClass { Space, Word, Punctuation };

CharClass classOf(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
    case QChar::Punctuation_Connector:
        return CharClass::Word;
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return CharClass::Space;
    default:
        return CharClass::Punctuation;
    }
}

// Outside the text counts as space, so the text's ends are word boundaries.
char32_t codePointAt(const QString &text, qsizetype i)
{
    if (i < 0 || i >= text.size())
        return U' ';
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i + 1]);
    return c.unicode();
}

char32_t codePointBefore(const QString &text, qsizetype i)
{
    if (i <= 0 || i > text.size())
        return U' ';
    const QChar c = text[i - 1];
    if (c.isLowSurrogate() && i >= 2 && text[i - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[i - 2], c);
    return c.unicode();
}

bool isWordOrPunctuation(CharClass c)
{
    return c != CharClass::Space;
}
}

bool StringSearchTarget::isWordAt(qsizetype start, qsizetype end) const
{
    const CharClass first = classOf(codePointAt(m_text, start));
    const CharClass last = classOf(codePointBefore(m_text, end));
    return isWordOrPunctuation(first) && first != classOf(codePointBefore(m_text, start)) && isWordOrPunctuation(last)
        && last != classOf(codePointAt(m_text, end));
}

qsizetype StringSearchTarget::find(const QString &text, qsizetype start, qsizetype range, SearchOptions options) const
{
    start = qBound(qsizetype(0), start, m_text.size());
    const qsizetype end = range > m_text.size() - start ? m_text.size() : start + qMax(range, qsizetype(0));
    if (text.isEmpty())
        return -1;
    const QStringView searched = QStringView(m_text).first(end);
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype from = start;;) {
        const qsizetype found = searched.indexOf(text, from, cs);
        if (found < 0)
            return -1;
        if (!options.wholeWord || isWordAt(found, found + text.size()))
            return found;
        from = found + 1;
    }
}

void StringSearchTarget::select(qsizetype position, qsizetype length)
{
    m_start = qBound(qsizetype(0), position, m_text.size());
    m_end = qBound(m_start, position + length, m_text.size());
}

void StringSearchTarget::replaceSelection(const QString &text)
{
    replace(m_start, m_end - m_start, text);
    m_end = m_start + text.size();
    m_start = m_end;
}

void StringSearchTarget::replace(qsizetype position, qsizetype length, const QString &text)
{
    aboutToEdit();
    m_text.replace(position, length, text);
    select(m_start, m_end - m_start);
}

void StringSearchTarget::aboutToEdit()
{
    if (m_undoDepth == 0 || !m_groupRecorded)
        m_undo.append(m_text);
    if (m_undoDepth > 0)
        m_groupRecorded = true;
}

void StringSearchTarget::beginUndoAction()
{
    if (m_undoDepth++ == 0)
        m_groupRecorded = false;
}

void StringSearchTarget::endUndoAction()
{
    if (m_undoDepth > 0)
        --m_undoDepth;
}

bool StringSearchTarget::undo()
{
    if (m_undo.isEmpty())
        return false;
    m_text = m_undo.takeLast();
    select(m_start, m_end - m_start);
    return true;
}
