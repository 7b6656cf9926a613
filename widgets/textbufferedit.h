#pragma once

#include <QWidget>

// A hidden scratch buffer of the main window: plain text kept exactly as given, CR LF included, and
// never wrapped into other lines. Nobody sees it, so it is a bare widget that holds a string rather
// than a text control that would lay the text out.
class TextBufferEdit : public QWidget
{
    Q_OBJECT
public:
    explicit TextBufferEdit(QWidget *parent = nullptr)
        : QWidget(parent)
    {
    }

    const QString &text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }
    void appendText(const QString &text) { m_text += text; }
    void clearText() { m_text.clear(); }

private:
    QString m_text;
};
