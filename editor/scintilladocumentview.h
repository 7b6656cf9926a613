#pragma once

#include "documentview.h"

class QWidget;
class QsciScintilla;

// The document view over the main window: its caption and the QScintilla editor.
class ScintillaDocumentView : public DocumentView
{
public:
    ScintillaDocumentView(QWidget *window, QsciScintilla *editor) : m_window(window), m_editor(editor) {}

    QString caption() const override;
    void setCaption(const QString &caption) override;
    bool isModified() const override;
    void setUnmodified() override;
    void beginLoad() override;
    void appendUtf8(QByteArrayView piece) override;
    void endLoad() override;
    QByteArrayView utf8() override;

private:
    QWidget *m_window;
    QsciScintilla *m_editor;
};
