#include "numericedit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>

namespace {
QChar localSeparator()
{
    return QLocale().decimalPoint().front();
}
}

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

QString NumericEdit::admitted(const QString &inserted, const QString &text, int cursor, QChar separator)
{
    QString result;
    QString after = text;
    for (const QChar c : inserted) {
        // A second separator in pasted text has no caret to move: it is left out like a refused key.
        if (actionFor(c, after, cursor, separator) != KeyAction::Insert)
            continue;
        after.insert(cursor++, c);
        result += c;
    }
    return result;
}

void NumericEdit::insertAdmitted(const QString &inserted)
{
    QString rest = text();
    int cursor = cursorPosition();
    if (hasSelectedText()) {
        cursor = selectionStart();
        rest.remove(cursor, selectedText().size());
    }
    const QString kept = admitted(inserted, rest, cursor, localSeparator());
    if (kept.size() != inserted.size())
        QApplication::beep();
    if (!kept.isEmpty() || hasSelectedText())
        insert(kept);
}

void NumericEdit::pasteFrom(QClipboard::Mode mode)
{
    if (!isReadOnly())
        insertAdmitted(QGuiApplication::clipboard()->text(mode));
}

void NumericEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteFrom(QClipboard::Clipboard);
        event->accept();
        return;
    }
    const QString typed = event->text();
    // Keys without a character (arrows, Home, Delete, shortcuts) keep their usual meaning.
    if (typed.size() != 1 || typed[0] == u'\b' || !typed[0].isPrint() || (event->modifiers() & Qt::ControlModifier)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QChar separator = localSeparator();
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

void NumericEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the X selection.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        deselect();
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
        pasteFrom(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void NumericEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The standard menu names its paste entry only by its (translated) text before Qt 6.5.
    const QString pasteText = QLineEdit::tr("&Paste");
    for (QAction *action : menu->actions()) {
        if (action->objectName() == u"edit-paste" || action->text().section(u'\t', 0, 0) == pasteText) {
            action->disconnect();
            connect(action, &QAction::triggered, this, [this] { pasteFrom(QClipboard::Clipboard); });
        }
    }
    menu->popup(event->globalPos());
}

void NumericEdit::dropEvent(QDropEvent *event)
{
    // Text moved inside the box is already in the box's form.
    if (event->source() == this || !event->mimeData()->hasText() || isReadOnly()) {
        QLineEdit::dropEvent(event);
        return;
    }
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    insertAdmitted(event->mimeData()->text());
    event->acceptProposedAction();
    setFocus(Qt::MouseFocusReason);
}
