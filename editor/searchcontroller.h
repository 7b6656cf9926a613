#pragma once

#include "findreplace.h"

#include <QObject>
#include <QPointer>

#include <memory>

class Dialogs;
class FindDialog;
class QsciScintilla;
class QWidget;
class ReplaceDialog;
class ScintillaSearchTarget;

// The main window's Find and Replace windows, kept with their texts and options for the main window's
// lifetime, and the three commands of its search menu.
class SearchController : public QObject
{
    Q_OBJECT
public:
    // Becomes a child of mainWindow, which also owns the two windows.
    SearchController(QsciScintilla *editor, Dialogs &dialogs, QWidget *mainWindow);
    ~SearchController() override;

    // The windows are made when first needed; their texts live in the state from the start.
    FindDialog *findDialog() const;
    ReplaceDialog *replaceDialog() const;
    SearchState &state() { return m_state; }

public slots:
    // Find: empties the replacement text, so that F3 repeats finds, and shows the Find window.
    void showFind();
    // Find next (F3).
    void findNext();
    // Replace: shows the Replace window.
    void showReplace();

private:
    static void showWindow(QWidget *window);

    SearchState m_state;
    std::unique_ptr<ScintillaSearchTarget> m_target;
    std::unique_ptr<FindReplace> m_search;
    QWidget *m_mainWindow;
    mutable QPointer<FindDialog> m_findDialog;
    mutable QPointer<ReplaceDialog> m_replaceDialog;
};
