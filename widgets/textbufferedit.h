#pragma once

#include <QPlainTextEdit>

// A hidden scratch buffer of the main window: plain text kept exactly as given, CR LF included,
// and never wrapped.
class TextBufferEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TextBufferEdit(QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);
    void appendText(const QString &text);
    void clearText() { setText(QString()); }

private:
    QString m_text;
};
