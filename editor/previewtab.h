#pragma once

#include <QWidget>

class BrowserView;
class Dialogs;
class Document;
class FlatLineEdit;
class QLabel;
class QPushButton;

// The preview tab: the page as the browser shows it, written to its preview file each time the tab
// is entered, and an address bar for any address typed. The browser is created when the tab is first
// entered; where its engine cannot start, the tab says why and the page stays editable.
class PreviewTab : public QWidget
{
    Q_OBJECT
public:
    PreviewTab(Dialogs &dialogs, Document &document, QWidget *parent);

    // Writes the page's preview file and shows it.
    void showPreview();

private:
    void goToAddress();
    bool ensureBrowser();
    void showPreviewProblem(const QString &reason);
    void guarded(const std::function<void()> &handler);

    Dialogs &m_dialogs;
    Document &m_document;
    QWidget *m_addressBar;
    FlatLineEdit *m_addressBox;
    QPushButton *m_goButton;
    QWidget *m_browserArea;
    // Said above the preview of a page that has no file yet.
    QLabel *m_unsavedNote;
    BrowserView *m_browser = nullptr;
};
