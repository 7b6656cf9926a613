#include "searchcontroller.h"

#include "finddialog.h"
#include "replacedialog.h"
#include "scintillasearchtarget.h"

SearchController::SearchController(
    QsciScintilla *editor, Dialogs &dialogs, FileSystem &files, const QString &settingsFile, QWidget *mainWindow)
    : QObject(mainWindow)
    , m_settings(files, settingsFile)
    , m_target(std::make_unique<ScintillaSearchTarget>(editor))
    , m_search(std::make_unique<FindReplace>(*m_target, dialogs, m_state))
    , m_mainWindow(mainWindow)
{
    m_state.wrapAround = m_settings.wrapAround();
}

FindDialog *SearchController::findDialog() const
{
    if (!m_findDialog) {
        m_findDialog = new FindDialog(*m_search, m_mainWindow);
        connect(m_findDialog, &FindDialog::wrapAroundChosen, this, &SearchController::chooseWrapAround);
        if (m_replaceDialog)
            connect(m_replaceDialog, &ReplaceDialog::findWindowChanged, m_findDialog, &FindDialog::load);
    }
    return m_findDialog;
}

ReplaceDialog *SearchController::replaceDialog() const
{
    if (!m_replaceDialog) {
        m_replaceDialog = new ReplaceDialog(*m_search, m_mainWindow);
        connect(m_replaceDialog, &ReplaceDialog::wrapAroundChosen, this, &SearchController::chooseWrapAround);
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
    ReplaceDialog *window = replaceDialog();
    // An open window keeps what the user typed into it.
    if (!window->isVisible()) {
        m_search->takeFindText();
        window->load();
    }
    showWindow(window);
}

void SearchController::chooseWrapAround(bool wrap)
{
    m_settings.setWrapAround(wrap);
    // The other window shows the same choice.
    if (m_findDialog)
        m_findDialog->load();
    if (m_replaceDialog)
        m_replaceDialog->load();
}
