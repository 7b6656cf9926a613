#include "textbufferedit.h"

TextBufferEdit::TextBufferEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
}

void TextBufferEdit::setText(const QString &text)
{
    m_text = text;
    setPlainText(text);
}

void TextBufferEdit::appendText(const QString &text)
{
    setText(m_text + text);
}
