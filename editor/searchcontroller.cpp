#include "searchcontroller.h"

#include "finddialog.h"
#include "replacedialog.h"
#include "scintillasearchtarget.h"

SearchController::SearchController(QsciScintilla *editor, Dialogs &dialogs, QWidget *mainWindow)
    : QObject(mainWindow)
    , m_target(std::make_unique<ScintillaSearchTarget>(editor))
    , m_search(std::make_unique<FindReplace>(*m_target, dialogs, m_state))
    , m_mainWindow(mainWindow)
{
}

FindDialog *SearchController::findDialog() const
{
    if (!m_findDialog) {
        m_findDialog = new FindDialog(*m_search, m_mainWindow);
        if (m_replaceDialog)
            connect(m_replaceDialog, &ReplaceDialog::findWindowChanged, m_findDialog, &FindDialog::load);
    }
    return m_findDialog;
}

ReplaceDialog *SearchController::replaceDialog() const
{
    if (!m_replaceDialog) {
        m_replaceDialog = new ReplaceDialog(*m_search, m_mainWindow);
        if (m_findDialog)
            connect(m_replaceDialog, &ReplaceDialog::findWindowChanged, m_findDialog, &FindDialog::load);
    }
    return m_replaceDialog;
}

SearchController::~SearchController()
{
    // The windows refer to the search rules owned here.
    delete m_findDialog;
    delete m_replaceDialog;
}

void SearchController::showWindow(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void SearchController::showFind()
{
    m_search->forgetReplacement();
    if (m_replaceDialog)
        m_replaceDialog->load();
    showWindow(findDialog());
}

void SearchController::findNext()
{
    if (!m_search->findNext())
        showWindow(findDialog());
}

void SearchController::showReplace()
{
    showWindow(replaceDialog());
}
