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
    MainWindow(Platform &platform, const QString &executableFolder, const QString &placementFile,
           QWidget *parent = nullptr);
    ~MainWindow() override;

    // The application folder, ending with the separator (the caption of Label1).
    QString applicationFolder() const;
    Platform &platform() const { return m_platform; }

    // Effect panel.
    QWidget *Panel4;
    QLabel *Label1;
    QWidget *Panel5;
    QLabel *MAINIMG;
    QLabel *Label3;
    FlatComboBox *ComboBox1;
    QLabel *Label5;
    FlatComboBox *ComboBox3;
    QToolButton *SpeedButton7;
    QLabel *Label6;
    FlatLineEdit *Edit1;
    QToolButton *SpeedButton6;
    QLabel *Label7;
    QWidget *Panel6;
    QListWidget *ListBox1;
    // Status strip.
    QWidget *Panel2;
    QLabel *IMG;
    QLabel *Label2;
    // Document side.
    QWidget *Panel3;
    QWidget *CoolBar1;
    QToolBar *ToolBar1;
    QTabWidget *PageControl1;
    QWidget *TabSheet1;
    QsciScintilla *RichEdit1;
    TextBufferEdit *RichEdit2;
    TextBufferEdit *Memo1;
    TextBufferEdit *Memo2;
    QWidget *TabSheet2;
    QWidget *Panel1;
    FlatLineEdit *ADDEdit;
    QPushButton *BitBtn1;
    QWidget *BrowserArea;
    BrowserView *WebBrowser1 = nullptr; // created when the preview tab is first entered
    // Menus and commands.
    QMenu *F1, *E1, *S2, *O2, *H1, *E2;
    QAction *N1, *O1, *S1, *A1, *N3, *X1;
    QAction *U1, *C1, *X2, *V1, *A2;
    QAction *F2, *N7, *R1;
    QAction *S3, *O3, *M1;
    QAction *N8, *FeedbackMail1, *QuestionMail1, *H2, *A3;
    QMenu *PopupMenu1;
    QAction *R2, *N9, *N10, *N11, *N12;

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
    void undoEdit();
    void copySelection();
    void cutSelection();
    void pasteText();
    void selectAllText();
    void previewInSystemBrowser();
    void showPreview();
    void goToAddress();
    Document &document() { return *m_document; }
    SearchController &search() { return *m_search; }
    // Effect browser.
    void chooseCategory();
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
    void buildMenus();
    void buildToolBar();
    void buildPopupMenu();
    void loadSkinPictures();
    void focusEditorUnderMouse();
    void openOptions(int tab);
    void copySimpleEffect(const QString &category, const QString &effect);
    void setLargePage(bool large);
    void guarded(const std::function<void()> &handler);

    Platform &m_platform;
    QString m_executableFolder;
    QString m_applicationFolder;
    std::unique_ptr<PlacementStore> m_placement;
    std::unique_ptr<ScintillaDocumentView> m_view;
    std::unique_ptr<Document> m_document;
    QsciLexer *m_lexer = nullptr;
    SearchController *m_search = nullptr;
    bool m_placementRestored = false;
    // Set at program start; the menu setup windows of this run share it.
    bool m_parentMenuNeeded = true;
};
