#include "numericedit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>

NumericEdit::NumericEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setMouseTracking(true);
}

void NumericEdit::setSunken(bool sunken)
{
    if (m_sunken == sunken)
        return;
    m_sunken = sunken;
    setProperty("sunken", sunken);
    update();
}

NumericEdit::KeyAction NumericEdit::actionFor(QChar typed, const QString &text, int cursor, QChar separator)
{
    if (typed.isDigit() && typed.unicode() < 0x80)
        return KeyAction::Insert;
    if (typed == u'-') {
        if (text.contains(u'-'))
            return KeyAction::Ignore;
        return cursor == 0 ? KeyAction::Insert : KeyAction::Refuse;
    }
    if (typed == separator)
        return text.contains(separator) ? KeyAction::JumpBehindSeparator : KeyAction::Insert;
    return KeyAction::Refuse;
}

void NumericEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    // Keys without a character (arrows, Home, Delete, shortcuts) keep their usual meaning.
    if (typed.size() != 1 || typed[0] == u'\b' || !typed[0].isPrint() || (event->modifiers() & Qt::ControlModifier)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QChar separator = QLocale().decimalPoint().front();
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    switch (actionFor(typed[0], text(), start, separator)) {
    case KeyAction::Insert:
        QLineEdit::keyPressEvent(event);
        return;
    case KeyAction::Ignore:
        event->accept();
        return;
    case KeyAction::JumpBehindSeparator: {
        const int behind = int(text().indexOf(separator)) + 1;
        setSelection(behind, int(text().size()) - behind);
        event->accept();
        return;
    }
    case KeyAction::Refuse:
        QApplication::beep();
        event->accept();
        return;
    }
}

void NumericEdit::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved();
    QLineEdit::mouseMoveEvent(event);
}
