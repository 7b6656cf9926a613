#pragma once

#include <QMainWindow>

#include <memory>

class FlatComboBox;
class FlatLineEdit;
class PlacementStore;
class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolBar;
class QToolButton;
class QWidget;
class QsciLexer;
class SearchController;
class QsciScintilla;
class TextBufferEdit;
class Document;
class ScintillaDocumentView;
class BrowserView;
class EffectPanelPreview;
class EffectPreviews;
class RecoveryFolder;
class RecoveryKeeper;
struct RecoveryCopy;
struct Platform;

// The main window: the document side with the editor and preview tabs, the effect panel, the
// status strip, and the state every other window reads (application folder, current selection,
// hidden text buffers, skin pictures).
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
    QString applicationFolder() const;
    Platform &platform() const { return m_platform; }
    // Whether the effect previews are shown, for the effect panel and the setup windows.
    EffectPreviews &effectPreviews() const { return *m_previews; }

    // Creation work: the application folder, the skin pictures and the category list.
    void loadLibrary();
    void openHelp();
    void openSkinOptions();
    void openSystemOptions();
    void openTemplateOptions();
    void openHomePage();
    void mailFeedback();
    void mailQuestion();
    void showAbout();
    // Document files, edit commands and preview.
    void newPage();
    void openPage();
    void savePage();
    void savePageAs();
    void exitProgram();
    bool confirmClose();
    // From now on the page keeps a recovery copy in the folder while it has unsaved changes.
    void keepRecoveryCopies(RecoveryFolder &folder);
    RecoveryKeeper *recoveryKeeper() const { return m_recovery.get(); }
    // A recovery copy's text becomes the page, unsaved, with its own copy written before this returns.
    void restorePage(const RecoveryCopy &copy);
    void undoEdit();
    void copySelection();
    void cutSelection();
    void pasteText();
    void selectAllText();
    void previewInSystemBrowser();
    void showPreview();
    void goToAddress();
    void listTemplates();
    void newPageFromTemplate(const QString &path);
    void showWhenNothingFound(bool nothing);
    // Black or white text over the skin's pictures, whichever reads better there.
    void fitTextToSkin();
    // Opens with the desktop's program; failureMessage is shown when none takes it.
    void openWithShell(const QString &documentOrAddress, const QString &failureMessage);
    void mail(const QString &subject);
    bool ensureBrowser();
    Document &document() { return *m_document; }
    SearchController &search() { return *m_search; }
    // Effect browser.
    // Loads the effect list of the category box's text (also run by a double-click on a result).
    void chooseCategory();
    // A category chosen from the box's list: its effect list, then an empty effect text.
    void categoryChosen();
    void clearEffectBox();
    void startEffect();
    void searchEffects();
    void startFoundEffect();
    void focusSearchBoxUnderMouse();

    // The image list shared by menus, toolbar and tabs.
    static QIcon imageListIcon(int index);
    // "本程序由Tamsel制作，升级程序请访问" + home page + U+3000 + "作者：" + author.
    static QString creditLine();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildEffectPanel(QWidget *parent);
    void buildStatusStrip(QWidget *parent);
    void buildDocumentSide(QWidget *parent);
    // A page command may have saved, replaced or discarded the page: its recovery copy follows.
    void pageCommand(const std::function<void()> &command);
    void buildMenus();
    void buildToolBar();
    void buildPopupMenu();
    void loadSkinPictures();
    void focusEditorUnderMouse();
    void loadEffectList();
    // Starts the effect of the two boxes' texts; errors go to the caller's guard.
    void runEffect();
    bool filterResultListMouse(QEvent *event);
    // In the preview tab instead of the browser, when its engine cannot be started.
    void showPreviewProblem(const QString &reason);
    void openOptions(int tab);
    void copySimpleEffect(const QString &category, const QString &effect);
    void setLargePage(bool large);
    void guarded(const std::function<void()> &handler);

    // Effect panel.
    QWidget *m_effectPanel;
    QLabel *m_applicationFolderLabel; // hidden; its caption is the application folder
    QWidget *m_choicePanel;
    QLabel *m_mainPicture;
    QLabel *m_categoryCaption;
    FlatComboBox *m_categoryBox;
    QLabel *m_effectCaption;
    FlatComboBox *m_effectBox;
    QToolButton *m_setupButton;
    QLabel *m_searchCaption;
    FlatLineEdit *m_searchBox = nullptr;
    QToolButton *m_searchButton;
    QLabel *m_resultsCaption;
    QWidget *m_resultsPanel;
    QListWidget *m_resultList = nullptr;
    // Status strip.
    QWidget *m_statusStrip;
    QLabel *m_statusPicture;
    QLabel *m_creditLabel;
    // Document side.
    QWidget *m_documentSide;
    QWidget *m_toolBand;
    QToolBar *m_toolBar;
    QTabWidget *m_documentTabs;
    QWidget *m_editorTab;
    QsciScintilla *m_editor = nullptr;
    // The hidden buffers the setup windows fill.
    TextBufferEdit *m_pieceBuffer;
    TextBufferEdit *m_rowBuffer;
    TextBufferEdit *m_snippetBuffer;
    QWidget *m_previewTab;
    QWidget *m_addressBar;
    FlatLineEdit *m_addressBox;
    QPushButton *m_goButton;
    QWidget *m_browserArea;
    BrowserView *m_browser = nullptr; // created when the preview tab is first entered
    // Menus and commands.
    QMenu *m_fileMenu, *m_editMenu, *m_searchMenu, *m_optionsMenu, *m_helpMenu, *m_mailMenu;
    QAction *m_newAction, *m_openAction, *m_saveAction, *m_saveAsAction, *m_systemPreviewAction, *m_exitAction;
    QAction *m_undoAction, *m_copyAction, *m_cutAction, *m_pasteAction, *m_selectAllAction;
    QAction *m_findAction, *m_findNextAction, *m_replaceAction;
    QAction *m_skinsAction, *m_systemSettingsAction, *m_templatesAction;
    QAction *m_helpAction, *m_feedbackMailAction, *m_questionMailAction, *m_homePageAction, *m_aboutAction;
    QMenu *m_contextMenu;
    QMenu *m_templateMenu = nullptr;
    QAction *m_contextUndo, *m_contextCopy, *m_contextPaste, *m_contextCut, *m_contextSelectAll;

    Platform &m_platform;
    QString m_executableFolder;
    QString m_applicationFolder;
    std::unique_ptr<PlacementStore> m_placement;
    std::unique_ptr<EffectPreviews> m_previews;
    EffectPanelPreview *m_panelPreview = nullptr;
    std::unique_ptr<ScintillaDocumentView> m_view;
    std::unique_ptr<Document> m_document;
    // Gone before the page it copies.
    std::unique_ptr<RecoveryKeeper> m_recovery;
    QsciLexer *m_lexer = nullptr;
    QLabel *m_noResults = nullptr;
    SearchController *m_search = nullptr;
    bool m_placementRestored = false;
    // Set at program start; the menu setup windows of this run share it.
    bool m_parentMenuNeeded = true;
};
