#include "flatlineedit.h"

using namespace Qt::StringLiterals;

FlatLineEdit::FlatLineEdit(QWidget *parent) : QLineEdit(parent)
{
    setStyleSheet(uR"(
QLineEdit { border: 1px solid #9aa8bd; background: white; padding: 0px 1px; }
QLineEdit:hover, QLineEdit:focus { border: 1px solid #2f7fc0; }
)"_s);
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
