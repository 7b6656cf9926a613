#pragma once

#include "documentview.h"

#include <QString>

#include <functional>

class QWidget;
class QsciScintilla;

// The document view over the main window: its caption and the QScintilla editor.
class ScintillaDocumentView : public DocumentView
{
public:
    // The window's title shows the caption, and Qt's modified marker while the page has unsaved
    // changes.
    ScintillaDocumentView(QWidget *window, QsciScintilla *editor, std::function<void(bool large)> largeChanged);

    QString caption() const override;
    void setCaption(const QString &caption) override;
    // Counts the captions given: a command that named the page (opened or saved it under a name) is
    // told from one that left it as it was.
    int captionsGiven() const { return m_captionsGiven; }
    bool isModified() const override;
    void setUnmodified() override;
    void markModified() override;
    void beginLoad(qint64 expectedSize) override;
    // Pages this large are kept without colouring or line wrapping: both cost seconds and a second
    // copy of the page in memory.
    static constexpr qint64 LargePage = 8 << 20;
    // So are pages with a line this long (in UTF-8 bytes): the editor lays out a line whole, and a
    // page of one such line opened in 1.8 s coloured and wrapped, in 0.5 s plain.
    static constexpr qint64 LongLine = 1 << 20;
    void appendUtf8(QByteArrayView piece) override;
    void endLoad() override;
    void abandonLoad() override;
    // Scintilla keeps a document's line starts as 32-bit positions (unless it is made for large text,
    // which the rest of QScintilla is not): a page of 2^31 bytes or more is shown and edited as garbage.
    static constexpr qint64 Capacity = 0x7fffffff;
    qint64 capacity() const override { return Capacity; }
    QByteArrayView utf8() override;
    qint64 utf8Size() const override;
    QByteArray copyUtf8(QByteArray reuse = {}) override;
    void setNewLineEnds(LineEnds ends) override;
    void convertLineEnds(LineEnds ends) override;
    void replaceText(qsizetype at, qsizetype length, QByteArrayView utf8) override;

private:
    // The page shown before a load, kept until the loaded one replaces it.
    struct Previous
    {
        long document = 0; // 0: the load fills the shown document itself
        long anchor = 0;
        long caret = 0;
        long firstLine = 0;
        long xOffset = 0;
        bool markedModified = false;
    };
    void dropPrevious();
    // Switches the view between plain and coloured, wrapped text.
    void showPlain(bool plain);

    QString m_caption;
    int m_captionsGiven = 0;
    QWidget *m_window;
    QsciScintilla *m_editor;
    std::function<void(bool large)> m_largeChanged;
    // Whether the view is plain. The editor starts with an empty coloured document (its window
    // attaches the colouring).
    bool m_large = false;
    // The view before the load, shown again when the load is abandoned.
    bool m_largeBefore = false;
    // Whether the page being loaded is to be shown plain.
    bool m_plainPage = false;
    // The length of the loaded text's last line so far.
    qint64 m_lineSoFar = 0;
    bool m_loading = false;
    bool m_markedModified = false;
    Previous m_previous;
};
