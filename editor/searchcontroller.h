#pragma once

#include "findreplace.h"
#include "searchsettings.h"

#include <QObject>
#include <QPointer>

#include <memory>

class Dialogs;
class FileSystem;
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
    // Becomes a child of mainWindow, which also owns the two windows; whether searches wrap around is
    // kept in settingsFile.
    SearchController(
        QsciScintilla *editor, Dialogs &dialogs, FileSystem &files, const QString &settingsFile, QWidget *mainWindow);
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
    // Replace: shows the Replace window, with the Find window's text when it was closed.
    void showReplace();

private:
    static void showWindow(QWidget *window);
    void chooseWrapAround(bool wrap);

    SearchState m_state;
    SearchSettings m_settings;
    std::unique_ptr<ScintillaSearchTarget> m_target;
    std::unique_ptr<FindReplace> m_search;
    QWidget *m_mainWindow;
    mutable QPointer<FindDialog> m_findDialog;
    mutable QPointer<ReplaceDialog> m_replaceDialog;
};
