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
    // The selection onto the clipboard; nothing when there is none.
    void copySelection();
    void cutSelection();
    // The clipboard's text, with the page's line break, over the selection.
    void paste();
    void selectAll();
    // Pages this large go without colouring and wrapping, which cost seconds on them.
    void setLargePage(bool large);
    // The editor's context menu: its items run the given commands and follow their availability.
    void setContextMenu(QAction *undo, QAction *copy, QAction *paste, QAction *cut, QAction *selectAll);

private:
    Clipboard &m_clipboard;
    QsciScintilla *m_editor;
    QsciLexer *m_lexer;
    QMenu *m_contextMenu = nullptr;
};
