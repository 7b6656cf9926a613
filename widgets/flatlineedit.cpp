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
    const QString lower = text.toLower();
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
