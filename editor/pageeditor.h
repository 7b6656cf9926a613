#pragma once

#include <QObject>

class Clipboard;
class QAction;
class QMenu;
class QWidget;
class QsciLexer;
class QsciScintilla;

// The page editor: QScintilla set up for HTML pages (CR LF line ends, word wrap, colouring, the
// program's keys), with the edit commands over it, its context menu, and the switch to a plain view
// for large pages.
class PageEditor : public QObject
{
    Q_OBJECT
public:
    PageEditor(Clipboard &clipboard, QWidget *parent);

    QsciScintilla *widget() const { return m_editor; }

    void undo();
    void redo();
    // The selection onto the clipboard; nothing when there is none.
    void copySelection();
    void cutSelection();
    // The clipboard's text, with the page's line break, over the selection.
    void paste();
    void selectAll();
    // The views every editor has: line numbers, word wrap (with a mark where a line goes on; never on
    // a large page), zoom, and going to a line (from 1).
    void setLineNumbers(bool shown);
    void setWordWrap(bool wrap);
    void zoomIn();
    void zoomOut();
    void zoomBack();
    void goToLine(int line);
    int lineCount() const;
    bool isLarge() const { return m_large; }
    // Large pages, and pages with a line of megabytes, go without colouring and wrapping, which cost
    // seconds on them.
    void setLargePage(bool large);
    // The editor's context menu: its items run the given commands and follow their availability.
    void setContextMenu(QAction *undo, QAction *copy, QAction *paste, QAction *cut, QAction *selectAll);
    // The keyboard back on the page after an effect's code went to the clipboard, with a note at the
    // caret that Ctrl+V pastes it there.
    void takeBackKeyboard();
    static QString pasteNote();
    // Where the caret is, as the status strip shows it: "行 12，列 5", with a note on a large page.
    QString caretPlace() const;

signals:
    // The caret moved, or the page became large or stopped being so.
    void caretPlaceChanged();

private:
    Clipboard &m_clipboard;
    QsciScintilla *m_editor;
    QsciLexer *m_lexer;
    QMenu *m_contextMenu = nullptr;
    bool m_large = false;
    bool m_wordWrap = true;
    bool m_lineNumbers = false;
    // Room for the line numbers the page has, a digit more than it needs.
    void fitLineNumbers();
};
