#include "flatlineedit.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

FlatLineEdit::FlatLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setMouseTracking(true);
    connect(this, &QLineEdit::textEdited, this, &FlatLineEdit::lowerTypedText);
}

void FlatLineEdit::setLowerCaseInput(bool lower)
{
    m_lowerCase = lower;
}

void FlatLineEdit::lowerTypedText(const QString &text)
{
    if (!m_lowerCase)
        return;
    // Lower case as the ANSI code page has it, the case the effect search folds: A-Z only, so that
    // full-width and accented letters stay as typed and are found as they are written.
    QString lower = text;
    for (QChar &c : lower)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    if (lower == text)
        return;
    const int cursor = cursorPosition();
    setText(lower);
    setCursorPosition(cursor);
}

void FlatLineEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // A click places the caret where it lands instead.
    if (QGuiApplication::mouseButtons() == Qt::NoButton && event->reason() != Qt::PopupFocusReason
        && event->reason() != Qt::ActiveWindowFocusReason)
        selectAll();
}

void FlatLineEdit::setHintText(const QString &hint)
{
    m_hint = hint;
    setText(hint);
}

void FlatLineEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    if (!m_hint.isEmpty() && text() == m_hint && event->button() == Qt::LeftButton)
        selectAll();
}
