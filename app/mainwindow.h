#pragma once

#include "effects/setupbuffers.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class Document;
class EffectPanel;
class EffectPreviews;
class HelpCommands;
class PageEditor;
class PlacementStore;
class PreviewTab;
class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;
class QWidget;
class RecoveryFolder;
class RecentMenu;
class RecoveryKeeper;
class ScintillaDocumentView;
class SearchController;
struct Platform;
struct RecoveryCopy;

// The main window: the menus, the toolbar and the status strip, with the page editor and its preview
// on one side and the effect panel on the other, wired together; and the state every other window
// is handed (application folder, setup buffers, skin pictures).
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // executableFolder is the folder the application folder is formed from; placementFile is where
    // the window's placement is kept.
    MainWindow(
        Platform &platform, const QString &executableFolder, const QString &placementFile, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The application folder, ending with the separator.
    QString applicationFolder() const { return m_applicationFolder; }
    // Whether the effect previews are shown, for the effect panel and the setup windows.
    EffectPreviews &effectPreviews() const { return *m_previews; }
    // The buffers handed to every setup window of the program run.
    SetupBuffers &setupBuffers() { return m_buffers; }
    Document &document() { return *m_document; }

    // From now on the page keeps a recovery copy in the folder while it has unsaved changes.
    void keepRecoveryCopies(RecoveryFolder &folder);
    RecoveryKeeper *recoveryKeeper() const { return m_recovery.get(); }
    // A recovery copy's text becomes the page, unsaved, with its own copy written before this returns.
    void restorePage(const RecoveryCopy &copy);
    // Public for the benchmarks and tests that open and save pages as the menu does.
    void openPage();
    // Open without the file dialog (a page given at start, dropped or chosen from the recent pages).
    void openPageAt(const QString &path);
    void savePageAs();
    // Where the options window's skins tab hands the chosen skin's pictures; a null one stays.
    void showSkin(const QPixmap &mainPicture, const QPixmap &statusPicture);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The image list shared by menus, toolbar and tabs.
    static QIcon imageListIcon(int index);
    // "本程序由Tamsel制作，升级程序请访问" + home page + U+3000 + "作者：" + author.
    static QString creditLine();
    void buildStatusStrip(QWidget *parent);
    void buildDocumentSide(QWidget *parent);
    void buildMenus();
    void buildToolBar();
    // Creation work: the application folder, the skin pictures and the category list.
    void loadLibrary();
    void loadSkinPictures();
    void openOptions(int tab);
    // Black or white text over the skin's pictures, whichever reads better there.
    void fitTextToSkin();
    // The caret's place gives way when the strip is too narrow for it beside the credit line.
    void fitStatusTexts();
    // A page command may have saved, replaced or discarded the page: its recovery copy follows.
    void pageCommand(const std::function<void()> &command);
    // A page command that may give the page a name: a page opened or saved under one joins the
    // recently opened pages.
    void namingCommand(const std::function<void()> &command);
    void newPage();
    void savePage();
    bool confirmClose();
    void listTemplates();
    void newPageFromTemplate(const QString &path);
    void previewInSystemBrowser();
    void guarded(const std::function<void()> &handler);

    Platform &m_platform;
    QString m_executableFolder;
    QString m_applicationFolder;
    SetupBuffers m_buffers;
    // Set at program start; the menu setup windows of this run share it.
    bool m_parentMenuNeeded = true;
    std::unique_ptr<EffectPreviews> m_previews;

    EffectPanel *m_effectPanel;
    // Status strip.
    QWidget *m_statusStrip;
    QLabel *m_statusPicture;
    QLabel *m_creditLabel;
    // The page's encoding and line breaks, at the status strip's right end.
    QLabel *m_formatLabel;
    QLabel *m_caretLabel = nullptr;
    // Document side.
    QWidget *m_documentSide;
    QWidget *m_toolBand;
    QToolBar *m_toolBar;
    QTabWidget *m_documentTabs;
    QWidget *m_editorTab;
    PageEditor *m_editor;
    PreviewTab *m_previewTab;
    // Menus and commands.
    HelpCommands *m_help;
    QMenu *m_fileMenu, *m_editMenu, *m_searchMenu, *m_optionsMenu, *m_helpMenu, *m_mailMenu;
    QMenu *m_templateMenu = nullptr;
    QAction *m_newAction, *m_openAction, *m_saveAction, *m_saveAsAction, *m_systemPreviewAction, *m_exitAction;
    QAction *m_undoAction, *m_copyAction, *m_cutAction, *m_pasteAction, *m_selectAllAction;
    QAction *m_findAction, *m_findNextAction, *m_replaceAction;
    QAction *m_skinsAction, *m_systemSettingsAction, *m_templatesAction;
    QAction *m_helpAction, *m_feedbackMailAction, *m_questionMailAction, *m_homePageAction, *m_aboutAction;

    std::unique_ptr<PlacementStore> m_placement;
    std::unique_ptr<ScintillaDocumentView> m_view;
    std::unique_ptr<Document> m_document;
    // Gone before the page it copies.
    std::unique_ptr<RecoveryKeeper> m_recovery;
    SearchController *m_search = nullptr;
    RecentMenu *m_recent = nullptr;
    bool m_placementRestored = false;
};
