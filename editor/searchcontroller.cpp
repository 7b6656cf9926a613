#include "searchcontroller.h"

#include "finddialog.h"
#include "replacedialog.h"
#include "scintillasearchtarget.h"

SearchController::SearchController(QsciScintilla *editor, Dialogs &dialogs, QWidget *mainWindow)
    : QObject(mainWindow),
      m_target(std::make_unique<ScintillaSearchTarget>(editor)),
      m_search(std::make_unique<FindReplace>(*m_target, dialogs, m_state)),
      m_findDialog(new FindDialog(*m_search, mainWindow)),
      m_replaceDialog(new ReplaceDialog(*m_search, mainWindow))
{
    connect(m_replaceDialog, &ReplaceDialog::findWindowChanged, m_findDialog, &FindDialog::load);
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

void SearchController::F2Click()
{
    m_search->forgetReplacement();
    m_replaceDialog->load();
    showWindow(m_findDialog);
}

void SearchController::N7Click()
{
    if (!m_search->findNext())
        showWindow(m_findDialog);
}

void SearchController::R1Click()
{
    showWindow(m_replaceDialog);
}
