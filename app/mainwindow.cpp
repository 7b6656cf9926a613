#include "mainwindow.h"

#include "applicationinfo.h"
#include "artwork.h"
#include "effectpanelpreview.h"
#include "returnwatch.h"
#include "splashwindow.h"

#include "editor/browserview.h"
#include "editor/document.h"
#include "editor/editoraccessibility.h"
#include "editor/finddialog.h"
#include "editor/htmllexer.h"
#include "editor/recoveryfolder.h"
#include "editor/recoverykeeper.h"
#include "editor/replacedialog.h"
#include "editor/scintilladocumentview.h"
#include "editor/searchcontroller.h"
#include "effects/effectpreviews.h"
#include "effects/imageeffectwindow.h"
#include "effects/menueffectwindow.h"
#include "effects/setupcontext.h"
#include "effects/texteffectwindow.h"
#include "library/applicationfolder.h"
#include "library/categoryindex.h"
#include "library/effectindex.h"
#include "library/effectkind.h"
#include "library/effectsearch.h"
#include "library/linebreaks.h"
#include "library/mainindex.h"
#include "library/resultline.h"
#include "options/optionswindow.h"
#include "platform/ansi.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/errorguard.h"
#include "platform/filesystem.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "platform/vellumoerror.h"
#include "widgets/fixedheightdelegate.h"
#include "widgets/flatcombobox.h"
#include "widgets/flatlineedit.h"
#include "widgets/pictureloader.h"
#include "widgets/placementstore.h"
#include "widgets/readabletext.h"
#include "widgets/textbufferedit.h"
#include "widgets/uistyle.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
// Client size giving the window its 712 x 462 outer size on a frame of 4-pixel borders and a
// 19-pixel caption.
constexpr int ClientWidth = 704;
constexpr int ClientHeight = 435;

QLabel *transparentLabel(const QString &text, QWidget *parent, const QString &name)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

QWidget *panel(QWidget *parent, const QString &name)
{
    auto *widget = new QWidget(parent);
    widget->setObjectName(name);
    return widget;
}

TextBufferEdit *hiddenBuffer(QWidget *parent, const QString &name, const QString &text)
{
    auto *buffer = new TextBufferEdit(parent);
    buffer->setObjectName(name);
    buffer->setText(text);
    buffer->hide();
    return buffer;
}

QToolButton *flatButton(const QString &text, vellumo::artwork::Glyph glyph, QWidget *parent, const QString &name)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setIcon(QIcon(QPixmap::fromImage(vellumo::artwork::glyph(glyph))));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}
}

MainWindow::MainWindow(
    Platform &platform, const QString &executableFolder, const QString &placementFile, QWidget *parent)
    : QMainWindow(parent)
    , m_platform(platform)
    , m_executableFolder(executableFolder)
    , m_previews(std::make_unique<EffectPreviews>(platform.files, placementFile))
{
    setObjectName(u"Form1"_s);
    setWindowTitle(u"新文件"_s);
    setFont(UiStyle::songFont(12));
    resize(ClientWidth, ClientHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(ClientWidth / 2, ClientHeight / 2));

    auto *central = new QWidget(this);
    central->setObjectName(u"Form1Client"_s);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto *upper = new QHBoxLayout;
    upper->setContentsMargins(0, 0, 0, 0);
    upper->setSpacing(0);
    outer->addLayout(upper, 1);

    m_documentSide = panel(central, u"Panel3"_s);
    buildDocumentSide(m_documentSide);
    upper->addWidget(m_documentSide, 1);
    m_effectPanel = panel(central, u"Panel4"_s);
    m_effectPanel->setFixedWidth(216);
    buildEffectPanel(m_effectPanel);
    upper->addWidget(m_effectPanel);
    auto *statusFrame = new QFrame(central);
    statusFrame->setObjectName(u"Panel2"_s);
    statusFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_statusStrip = statusFrame;
    m_statusStrip->setFixedHeight(20);
    buildStatusStrip(m_statusStrip);
    outer->addWidget(m_statusStrip);
    setCentralWidget(central);

    buildMenus();
    buildToolBar();
    buildPopupMenu();

    m_placement = std::make_unique<PlacementStore>(platform.files, placementFile, this);
    m_view = std::make_unique<ScintillaDocumentView>(this, m_editor, [this](bool large) { setLargePage(large); });
    m_document = std::make_unique<Document>(
        *m_view, platform.dialogs, platform.files, ApplicationFolder::fromExecutableFolder(executableFolder));
    m_document->showDefaultPage();
    // What another program did to the page's file is said when the user comes back to the program.
    connect(new ReturnWatch(this), &ReturnWatch::returned, this,
        [this] { pageCommand([this] { m_document->checkFileOnDisk(); }); });
    m_search = new SearchController(m_editor, platform.dialogs, this);
    connect(m_findAction, &QAction::triggered, m_search, &SearchController::showFind);
    connect(m_findNextAction, &QAction::triggered, m_search, &SearchController::findNext);
    connect(m_replaceAction, &QAction::triggered, m_search, &SearchController::showReplace);
    loadLibrary();
}

MainWindow::~MainWindow() = default;

void MainWindow::guarded(const std::function<void()> &handler)
{
    ErrorGuard::run(m_platform.dialogs, handler);
}

QIcon MainWindow::imageListIcon(int index)
{
    return QIcon(QPixmap::fromImage(vellumo::artwork::icon(index)));
}

QString MainWindow::creditLine()
{
    return u"本程序由Tamsel制作，升级程序请访问"_s + ApplicationInfo::homePage() + QChar(0x3000) + u"作者："_s
        + ApplicationInfo::authorName();
}

QString MainWindow::applicationFolder() const
{
    return m_applicationFolderLabel->text();
}

void MainWindow::buildEffectPanel(QWidget *parent)
{
    auto *layout = new QVBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_applicationFolderLabel = new QLabel(parent);
    m_applicationFolderLabel->setObjectName(u"Label1"_s);
    m_applicationFolderLabel->hide();

    m_choicePanel = panel(parent, u"Panel5"_s);
    m_choicePanel->setFixedHeight(192);
    layout->addWidget(m_choicePanel);
    auto *pictureLayout = new QGridLayout(m_choicePanel);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    m_mainPicture = new QLabel(m_choicePanel);
    m_mainPicture->setObjectName(u"MAINIMG"_s);
    m_mainPicture->setAlignment(Qt::AlignCenter);
    m_mainPicture->setPixmap(PictureLoader::builtIn(vellumo::artwork::kMainImage));
    // The picture is shown centred at its own size, whatever the panel's size.
    m_mainPicture->setMinimumSize(1, 1);
    m_mainPicture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    pictureLayout->addWidget(m_mainPicture, 0, 0);

    m_categoryCaption = transparentLabel(u"特效总类："_s, m_choicePanel, u"Label3"_s);
    m_categoryCaption->move(8, 16);
    m_categoryBox = new FlatComboBox(m_choicePanel);
    m_categoryBox->setObjectName(u"ComboBox1"_s);
    m_categoryBox->setGeometry(66, 10, 138, 22);
    m_categoryBox->setFont(UiStyle::songFont(14));
    m_effectCaption = transparentLabel(u"特效细分："_s, m_choicePanel, u"Label5"_s);
    m_effectCaption->move(8, 40);
    m_effectBox = new FlatComboBox(m_choicePanel);
    m_effectBox->setObjectName(u"ComboBox3"_s);
    m_effectBox->setGeometry(67, 35, 137, 22);
    m_effectBox->setFont(UiStyle::songFont(14));
    m_setupButton = flatButton(u"特效设置"_s, vellumo::artwork::GlyphSetup, m_choicePanel, u"SpeedButton7"_s);
    m_setupButton->setGeometry(57, 68, 99, 22);
    m_searchCaption = transparentLabel(u"查询特效："_s, m_choicePanel, u"Label6"_s);
    m_searchCaption->move(8, 100);
    m_searchBox = new FlatLineEdit(m_choicePanel);
    m_searchBox->setObjectName(u"Edit1"_s);
    m_searchBox->setGeometry(14, 120, 189, 18);
    m_searchBox->setLowerCaseInput(true);
    m_searchBox->setText(u"特效名称..."_s);
    m_searchButton = flatButton(u"按条件查询"_s, vellumo::artwork::GlyphSearch, m_choicePanel, u"SpeedButton6"_s);
    m_searchButton->setGeometry(57, 150, 99, 22);
    m_resultsCaption = transparentLabel(u"查询结果："_s, m_choicePanel, u"Label7"_s);
    m_resultsCaption->move(8, 180);
    for (QWidget *label : { static_cast<QWidget *>(m_categoryCaption), static_cast<QWidget *>(m_effectCaption),
             static_cast<QWidget *>(m_searchCaption), static_cast<QWidget *>(m_resultsCaption) }) {
        label->adjustSize();
        // A font taller than its nominal size would push the lowest caption out of the panel; its
        // strokes reach a little below the line's box.
        constexpr int Room = 3;
        if (label->geometry().bottom() >= m_choicePanel->height() - Room)
            label->move(label->x(), m_choicePanel->height() - Room - label->height());
    }
    m_searchBox->setMouseTracking(true);
    m_searchBox->installEventFilter(this);
    // A choice from the list loads it and then empties the effect text; typing only empties it.
    m_categoryBox->chooseFromListOnly();
    connect(m_categoryBox, &QComboBox::activated, this, &MainWindow::categoryChosen);
    connect(m_categoryBox->lineEdit(), &QLineEdit::textEdited, this, &MainWindow::clearEffectBox);
    connect(m_setupButton, &QToolButton::clicked, this, &MainWindow::startEffect);
    connect(m_searchButton, &QToolButton::clicked, this, &MainWindow::searchEffects);
    connect(m_searchBox, &QLineEdit::returnPressed, this, &MainWindow::searchEffects);

    m_resultsPanel = panel(parent, u"Panel6"_s);
    layout->addWidget(m_resultsPanel, 1);
    auto *listLayout = new QVBoxLayout(m_resultsPanel);
    listLayout->setContentsMargins(0, 0, 0, 0);
    m_resultList = new QListWidget(m_resultsPanel);
    m_resultList->setObjectName(u"ListBox1"_s);
    m_resultList->setToolTip(u"双击可以运行此特效设置"_s);
    m_resultList->setUniformItemSizes(true);
    // A double-click anywhere in the list starts the selected line's effect, below the last row too;
    // a click there keeps the selection for it.
    m_resultList->viewport()->installEventFilter(this);
    m_resultList->setItemDelegate(new FixedHeightDelegate(12, m_resultList));
    listLayout->addWidget(m_resultList);
    m_panelPreview = new EffectPanelPreview(
        m_platform, *m_previews, [this] { return applicationFolder(); }, m_resultsPanel);
    listLayout->addWidget(m_panelPreview);
    connect(m_effectBox, &QComboBox::activated, this,
        [this] { m_panelPreview->showEffect(m_categoryBox->currentText(), m_effectBox->currentText()); });
    connect(m_resultList, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (!item)
            return;
        const ResultLine line = ResultLine::split(item->text());
        m_panelPreview->showEffect(line.category, line.effect);
    });
    // Said over the empty list rather than as a line of it, which a double-click would try to start.
    m_noResults = new QLabel(m_resultList->viewport());
    m_noResults->setObjectName(u"NoResults"_s);
    m_noResults->setWordWrap(true);
    m_noResults->setTextFormat(Qt::PlainText);
    m_noResults->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_noResults->setGeometry(4, 4, 200, 48);
    m_noResults->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_noResults->hide();
}

void MainWindow::buildStatusStrip(QWidget *parent)
{
    auto *layout = new QGridLayout(parent);
    layout->setContentsMargins(1, 1, 1, 1);
    m_statusPicture = new QLabel(parent);
    m_statusPicture->setObjectName(u"IMG"_s);
    m_statusPicture->setScaledContents(true);
    m_statusPicture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_statusPicture->setPixmap(PictureLoader::builtIn(vellumo::artwork::kStatusImage));
    layout->addWidget(m_statusPicture, 0, 0);
    m_creditLabel = transparentLabel(QString(), parent, u"Label2"_s);
    m_creditLabel->move(7, 5);
    m_creditLabel->raise();
}

void MainWindow::buildDocumentSide(QWidget *parent)
{
    auto *layout = new QVBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_toolBand = panel(parent, u"CoolBar1"_s);
    m_toolBand->setFixedHeight(33);
    layout->addWidget(m_toolBand);
    auto *band = new QHBoxLayout(m_toolBand);
    band->setContentsMargins(4, 2, 4, 2);
    m_toolBar = new QToolBar(m_toolBand);
    m_toolBar->setObjectName(u"ToolBar1"_s);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->setMovable(false);
    band->addWidget(m_toolBar);

    m_documentTabs = new QTabWidget(parent);
    m_documentTabs->setObjectName(u"PageControl1"_s);
    m_documentTabs->setTabPosition(QTabWidget::South);
    m_documentTabs->setDocumentMode(true);
    layout->addWidget(m_documentTabs, 1);

    m_editorTab = panel(m_documentTabs, u"TabSheet1"_s);
    auto *editorLayout = new QVBoxLayout(m_editorTab);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    m_editor = new QsciScintilla(m_editorTab);
    m_editor->setObjectName(u"RichEdit1"_s);
    EditorAccessibility::quietUntilListened(m_editor);
    m_editor->setUtf8(true);
    m_editor->setEolMode(QsciScintilla::EolWindows);
    m_editor->setWrapMode(QsciScintilla::WrapWord);
    m_editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETPASTECONVERTENDINGS, 1UL);
    // Insertions and deletions are not announced: for each, Scintilla's accessibility support computes
    // a character position from the start of the page, which makes edits deep in a large page slow.
    // The "performed by" and undo flags must go too, as any of them lets those notices through.
    // A screen reader needs them, and gets them.
    if (!QAccessible::isActive()) {
        using Base = QsciScintillaBase;
        const unsigned long quiet = Base::SC_MOD_INSERTTEXT | Base::SC_MOD_DELETETEXT | Base::SC_PERFORMED_USER
            | Base::SC_PERFORMED_UNDO | Base::SC_PERFORMED_REDO | Base::SC_MULTISTEPUNDOREDO
            | Base::SC_LASTSTEPINUNDOREDO | Base::SC_MOD_BEFOREINSERT | Base::SC_MOD_BEFOREDELETE
            | Base::SC_MULTILINEUNDOREDO | Base::SC_STARTACTION;
        m_editor->SendScintilla(Base::SCI_SETMODEVENTMASK, Base::SC_MODEVENTMASKALL & ~quiet);
    }
    m_lexer = new HtmlLexer(m_editor);
    auto *lexer = m_lexer;
    // 16 pixels high at the usual 96 dots per inch; Scintilla takes its sizes in points.
    const QFont code = UiStyle::fixedFont(12);
    lexer->setDefaultFont(code);
    lexer->setFont(code);
    m_editor->setLexer(lexer);
    m_editor->setMarginWidth(1, 0);
    // Ctrl+Y is the cut command of the menu, not the editor's redo.
    if (QsciCommand *redo = m_editor->standardCommands()->boundTo(QKeyCombination(Qt::CTRL, Qt::Key_Y).toCombined()))
        redo->setKey(0);
    m_editor->viewport()->setMouseTracking(true);
    m_editor->viewport()->installEventFilter(this);
    editorLayout->addWidget(m_editor);
    m_pieceBuffer = hiddenBuffer(m_editorTab, u"RichEdit2"_s, u"RichEdit2"_s);
    m_rowBuffer = hiddenBuffer(m_editorTab, u"Memo1"_s, QString());
    m_snippetBuffer = hiddenBuffer(m_editorTab, u"Memo2"_s, QString());
    m_documentTabs->addTab(m_editorTab, imageListIcon(vellumo::artwork::IconHtmlDocument), u"HTML"_s);

    m_previewTab = panel(m_documentTabs, u"TabSheet2"_s);
    auto *previewLayout = new QVBoxLayout(m_previewTab);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->setSpacing(0);
    m_addressBar = panel(m_previewTab, u"Panel1"_s);
    m_addressBar->setFixedHeight(27);
    auto *addressBar = new QHBoxLayout(m_addressBar);
    addressBar->setContentsMargins(6, 2, 6, 2);
    addressBar->addWidget(transparentLabel(u"URL:"_s, m_addressBar, u"Label8"_s));
    m_addressBox = new FlatLineEdit(m_addressBar);
    m_addressBox->setObjectName(u"ADDEdit"_s);
    m_addressBox->setFixedWidth(281);
    addressBar->addWidget(m_addressBox);
    m_goButton = new QPushButton(u"转到"_s, m_addressBar);
    m_goButton->setObjectName(u"BitBtn1"_s);
    m_goButton->setFixedHeight(22);
    // The retry arrow: "go there again".
    m_goButton->setIcon(imageListIcon(vellumo::artwork::IconRefresh));
    connect(m_goButton, &QPushButton::clicked, this, &MainWindow::goToAddress);
    addressBar->addWidget(m_goButton);
    addressBar->addStretch(1);
    previewLayout->addWidget(m_addressBar);
    m_browserArea = panel(m_previewTab, u"BrowserArea"_s);
    m_browserArea->setAutoFillBackground(true);
    QPalette white = m_browserArea->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_browserArea->setPalette(white);
    previewLayout->addWidget(m_browserArea, 1);
    m_documentTabs->addTab(m_previewTab, imageListIcon(vellumo::artwork::IconBrowserPreview), u"预览"_s);
    connect(m_documentTabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 1)
            showPreview();
    });
}

void MainWindow::buildMenus()
{
    using namespace vellumo::artwork;
    QMenuBar *bar = menuBar();
    bar->setObjectName(u"MainMenu1"_s);
    const auto menu = [&](QMenu *parent, const QString &name, const QString &caption) {
        QMenu *m = parent ? parent->addMenu(caption) : bar->addMenu(caption);
        m->setObjectName(name);
        return m;
    };
    const auto item
        = [&](QMenu *m, const QString &name, const QString &caption, int icon = -1, const QKeySequence &shortcut = {}) {
              QAction *action = m->addAction(caption);
              action->setObjectName(name);
              if (icon >= 0)
                  action->setIcon(imageListIcon(icon));
              action->setShortcut(shortcut);
              return action;
          };
    const auto separator = [](QMenu *m, const QString &name) { m->addSeparator()->setObjectName(name); };

    m_fileMenu = menu(nullptr, u"F1"_s, u"文件(&F)"_s);
    m_newAction = item(m_fileMenu, u"N1"_s, u"新建...(&N)"_s, IconNewFile);
    // The registered templates, read afresh each time the menu opens.
    m_templateMenu = menu(m_fileMenu, u"NewFromTemplate1"_s, u"从模板新建(&T)"_s);
    m_templateMenu->setIcon(imageListIcon(IconTemplates));
    connect(m_templateMenu, &QMenu::aboutToShow, this, &MainWindow::listTemplates);
    m_openAction = item(m_fileMenu, u"O1"_s, u"打开...(&O)"_s, IconOpen);
    m_saveAction = item(m_fileMenu, u"S1"_s, u"保存...(&S)"_s, IconSave);
    separator(m_fileMenu, u"N2"_s);
    m_saveAsAction = item(m_fileMenu, u"A1"_s, u"另存为...(&A)"_s);
    m_systemPreviewAction = item(m_fileMenu, u"N3"_s, u"IE网页预览"_s, IconBrowserPreview, Qt::Key_F12);
    separator(m_fileMenu, u"N4"_s);
    m_exitAction = item(m_fileMenu, u"X1"_s, u"退出程序(&X)"_s);

    m_editMenu = menu(nullptr, u"E1"_s, u"编辑(&E)"_s);
    m_undoAction = item(m_editMenu, u"U1"_s, u"撤消"_s, IconUndo, QKeySequence(Qt::CTRL | Qt::Key_Z));
    separator(m_editMenu, u"N5"_s);
    m_copyAction = item(m_editMenu, u"C1"_s, u"复制"_s, IconCopy, QKeySequence(Qt::CTRL | Qt::Key_C));
    m_cutAction = item(m_editMenu, u"X2"_s, u"剪切"_s, IconCut, QKeySequence(Qt::CTRL | Qt::Key_Y));
    m_pasteAction = item(m_editMenu, u"V1"_s, u"贴粘"_s, IconPaste, QKeySequence(Qt::CTRL | Qt::Key_V));
    separator(m_editMenu, u"N6"_s);
    m_selectAllAction = item(m_editMenu, u"A2"_s, u"全选(&A)"_s);

    m_searchMenu = menu(nullptr, u"S2"_s, u"查找(&S)"_s);
    m_findAction = item(m_searchMenu, u"F2"_s, u"查找...(&F)"_s, IconFind);
    m_findNextAction = item(m_searchMenu, u"N7"_s, u"查找下一个"_s, -1, Qt::Key_F3);
    m_replaceAction = item(m_searchMenu, u"R1"_s, u"替换...(&R)"_s, IconFindReplace);

    m_optionsMenu = menu(nullptr, u"O2"_s, u"选项(&O)"_s);
    m_skinsAction = item(m_optionsMenu, u"S3"_s, u"皮肤设置(&S)"_s, IconSkins);
    m_systemSettingsAction = item(m_optionsMenu, u"O3"_s, u"系统设置(&O)"_s, IconSystemSettings);
    m_templatesAction = item(m_optionsMenu, u"M1"_s, u"模板功能(&M)"_s, IconTemplates);

    m_helpMenu = menu(nullptr, u"H1"_s, u"帮助(&H)"_s);
    m_helpAction = item(m_helpMenu, u"N8"_s, u"帮助"_s, IconHelp, Qt::Key_F1);
    m_mailMenu = menu(m_helpMenu, u"E2"_s, u"作者邮箱"_s);
    m_feedbackMailAction = item(m_mailMenu, u"FeedbackMail1"_s, u"错误改进"_s);
    m_questionMailAction = item(m_mailMenu, u"QuestionMail1"_s, u"问题询问"_s);
    m_homePageAction = item(m_helpMenu, u"H2"_s, u"作者主页(&H)"_s, IconBrowserPreview);
    m_aboutAction = item(m_helpMenu, u"A3"_s, u"关于(&A)"_s, IconAbout);

    // Commands that later work gives their behaviour stay visible but unavailable until then.
    connect(m_skinsAction, &QAction::triggered, this, &MainWindow::openSkinOptions);
    connect(m_systemSettingsAction, &QAction::triggered, this, &MainWindow::openSystemOptions);
    connect(m_templatesAction, &QAction::triggered, this, &MainWindow::openTemplateOptions);
    connect(m_newAction, &QAction::triggered, this, &MainWindow::newPage);
    connect(m_openAction, &QAction::triggered, this, &MainWindow::openPage);
    connect(m_saveAction, &QAction::triggered, this, &MainWindow::savePage);
    connect(m_saveAsAction, &QAction::triggered, this, &MainWindow::savePageAs);
    connect(m_systemPreviewAction, &QAction::triggered, this, &MainWindow::previewInSystemBrowser);
    connect(m_exitAction, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(m_undoAction, &QAction::triggered, this, &MainWindow::undoEdit);
    connect(m_copyAction, &QAction::triggered, this, &MainWindow::copySelection);
    connect(m_cutAction, &QAction::triggered, this, &MainWindow::cutSelection);
    connect(m_pasteAction, &QAction::triggered, this, &MainWindow::pasteText);
    connect(m_selectAllAction, &QAction::triggered, this, &MainWindow::selectAllText);

    connect(m_helpAction, &QAction::triggered, this, &MainWindow::openHelp);
    connect(m_homePageAction, &QAction::triggered, this, &MainWindow::openHomePage);
    connect(m_feedbackMailAction, &QAction::triggered, this, &MainWindow::mailFeedback);
    connect(m_questionMailAction, &QAction::triggered, this, &MainWindow::mailQuestion);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::buildToolBar()
{
    using namespace vellumo::artwork;
    const auto button = [&](const QString &name, const QString &hint, int icon, QAction *runs) {
        QAction *action = m_toolBar->addAction(imageListIcon(icon), hint);
        action->setObjectName(name);
        action->setToolTip(hint);
        action->setEnabled(runs->isEnabled());
        connect(action, &QAction::triggered, runs, &QAction::trigger);
        connect(runs, &QAction::changed, action, [action, runs] { action->setEnabled(runs->isEnabled()); });
    };
    const auto separator = [&](const QString &name) { m_toolBar->addSeparator()->setObjectName(name); };
    button(u"ToolButton1"_s, u"新建"_s, IconNewFile, m_newAction);
    QAction *fromTemplate = m_toolBar->addAction(imageListIcon(IconTemplates), u"从模板新建"_s);
    fromTemplate->setObjectName(u"NewFromTemplateButton"_s);
    fromTemplate->setMenu(m_templateMenu);
    if (auto *templateButton = qobject_cast<QToolButton *>(m_toolBar->widgetForAction(fromTemplate)))
        templateButton->setPopupMode(QToolButton::InstantPopup);
    button(u"ToolButton2"_s, u"打开"_s, IconOpen, m_openAction);
    button(u"ToolButton3"_s, u"保存"_s, IconSave, m_saveAction);
    button(u"ToolButton4"_s, u"用IE预览网页"_s, IconBrowserPreview, m_systemPreviewAction);
    separator(u"ToolButton5"_s);
    button(u"ToolButton10"_s, u"撤消"_s, IconUndo, m_undoAction);
    button(u"ToolButton6"_s, u"复制"_s, IconCopy, m_copyAction);
    button(u"ToolButton8"_s, u"剪切"_s, IconCut, m_cutAction);
    button(u"ToolButton7"_s, u"粘贴"_s, IconPaste2, m_pasteAction);
    separator(u"ToolButton9"_s);
    button(u"ToolButton11"_s, u"皮肤功能"_s, IconSkins, m_skinsAction);
    button(u"ToolButton12"_s, u"系统设置"_s, IconSystemSettings, m_systemSettingsAction);
    button(u"ToolButton13"_s, u"模板"_s, IconTemplates, m_templatesAction);
    separator(u"ToolButton14"_s);
    button(u"ToolButton15"_s, u"帮助"_s, IconHelp, m_helpAction);
    button(u"ToolButton16"_s, u"关于"_s, IconAbout, m_aboutAction);
}

void MainWindow::buildPopupMenu()
{
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(u"PopupMenu1"_s);
    const auto item = [&](const QString &name, const QString &caption, QAction *runs) {
        QAction *action = m_contextMenu->addAction(caption);
        action->setObjectName(name);
        action->setEnabled(runs->isEnabled());
        connect(action, &QAction::triggered, runs, &QAction::trigger);
        connect(runs, &QAction::changed, action, [action, runs] { action->setEnabled(runs->isEnabled()); });
        return action;
    };
    m_contextUndo = item(u"R2"_s, u"撤消(&U)"_s, m_undoAction);
    m_contextMenu->addSeparator()->setObjectName(u"N13"_s);
    m_contextCopy = item(u"N9"_s, u"复制(&C)"_s, m_copyAction);
    m_contextPaste = item(u"N10"_s, u"粘贴(&V)"_s, m_pasteAction);
    m_contextCut = item(u"N11"_s, u"剪切(&X)"_s, m_cutAction);
    m_contextMenu->addSeparator()->setObjectName(u"N14"_s);
    m_contextSelectAll = item(u"N12"_s, u"全选(&A)"_s, m_selectAllAction);
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_editor, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        // Its top edge centred on the mouse.
        const QPoint at = m_editor->mapToGlobal(pos);
        m_contextMenu->popup(at - QPoint(m_contextMenu->sizeHint().width() / 2, 0));
    });
}

void MainWindow::loadLibrary()
{
    m_resultList->setFrameShape(QFrame::Box);
    m_resultList->setFrameShadow(QFrame::Plain);
    m_resultList->setLineWidth(1);
    m_creditLabel->setText(creditLine());
    m_creditLabel->adjustSize();
    guarded([this] {
        m_applicationFolder = ApplicationFolder::fromExecutableFolder(m_executableFolder);
        m_applicationFolderLabel->setText(m_applicationFolder);
    });
    // A skin that cannot be shown costs only its pictures: the library stays usable.
    guarded([this] { loadSkinPictures(); });
    guarded([this] {
        const QStringList categories = CategoryIndex(m_platform.files, m_applicationFolder).categories();
        m_categoryBox->addItems(categories);
        m_categoryBox->setCurrentIndex(-1);
        m_categoryBox->setEditText(QString());
    });
}

void MainWindow::loadSkinPictures()
{
    // Both names are read before any picture is loaded.
    const MainIndex::SkinPictures pictures = MainIndex(m_platform.files, m_applicationFolder).skinPictures();
    if (m_platform.files.fileExists(pictures.mainImage))
        m_mainPicture->setPixmap(PictureLoader::load(pictures.mainImage));
    if (m_platform.files.fileExists(pictures.statusImage))
        m_statusPicture->setPixmap(PictureLoader::load(pictures.statusImage));
}

void MainWindow::openOptions(int tab)
{
    OptionsWindow options({ m_platform, applicationFolder(), m_mainPicture, m_statusPicture }, this);
    options.showOn(OptionsWindow::Tab(tab));
    // The skin may have changed.
    fitTextToSkin();
}

void MainWindow::fitTextToSkin()
{
    using ReadableText::Fit;
    const auto colour = [this](QWidget *text, const QImage &backdrop) {
        const QColor readable = ReadableText::over(backdrop.copy(text->geometry())).colour;
        if (text->palette().color(QPalette::WindowText) == readable)
            return;
        QPalette palette = text->palette();
        palette.setColor(QPalette::WindowText, readable);
        palette.setColor(QPalette::ButtonText, readable);
        // A flat button under the mouse is drawn raised in its button colour, behind the same text.
        palette.setColor(QPalette::Button,
            readable == Qt::white ? QColor(0x30, 0x38, 0x48) : this->palette().color(QPalette::Button));
        text->setPalette(palette);
    };
    const QImage panel = ReadableText::backdrop(
        m_mainPicture->pixmap(), m_choicePanel->size(), Fit::Centred, m_choicePanel->palette().color(QPalette::Window));
    for (QWidget *text : std::initializer_list<QWidget *> {
             m_categoryCaption, m_effectCaption, m_searchCaption, m_resultsCaption, m_setupButton, m_searchButton })
        colour(text, panel);
    QWidget *strip = m_creditLabel->parentWidget();
    const QImage status = ReadableText::backdrop(
        m_statusPicture->pixmap(), m_statusPicture->size(), Fit::Stretched, strip->palette().color(QPalette::Window));
    QImage stripImage(strip->size(), QImage::Format_RGB32);
    stripImage.fill(strip->palette().color(QPalette::Window));
    QPainter(&stripImage).drawImage(m_statusPicture->pos(), status);
    colour(m_creditLabel, stripImage);
}

void MainWindow::openSkinOptions()
{
    openOptions(OptionsWindow::Skins);
}

void MainWindow::openSystemOptions()
{
    openOptions(OptionsWindow::System);
}

void MainWindow::openTemplateOptions()
{
    openOptions(OptionsWindow::Templates);
}

void MainWindow::openHelp()
{
    const QString help = applicationFolder() + u"help.chm"_s;
    if (m_platform.files.fileExists(help))
        openWithShell(help, u"无法打开帮助文件：系统里没有能打开它的程序。\n帮助文件在 %1"_s.arg(help));
    else
        m_platform.dialogs.message(u"帮助文件找不到,请到作者网站下载"_s + ApplicationInfo::homePage());
}

void MainWindow::openWithShell(const QString &documentOrAddress, const QString &failureMessage)
{
    // The answer may come after this window is gone.
    const QPointer<MainWindow> window(this);
    m_platform.shell.open(documentOrAddress, [window, failureMessage] {
        if (window)
            window->m_platform.dialogs.message(failureMessage);
    });
}

void MainWindow::openHomePage()
{
    openWithShell(
        ApplicationInfo::homePage(), u"无法打开网址 %1：系统里没有可用的浏览器。"_s.arg(ApplicationInfo::homePage()));
}

void MainWindow::mail(const QString &subject)
{
    openWithShell(u"mailto:"_s + ApplicationInfo::mailAddress() + u"?subject="_s + subject,
        u"无法启动邮件程序：系统里没有可用的邮件程序。\n请直接写信到 %1"_s.arg(ApplicationInfo::mailAddress()));
}

void MainWindow::mailFeedback()
{
    mail(u"错误改进"_s);
}

void MainWindow::mailQuestion()
{
    mail(u"问题询问"_s);
}

void MainWindow::showAbout()
{
    SplashWindow about(this);
    about.exec();
}

void MainWindow::showEvent(QShowEvent *event)
{
    if (!m_placementRestored) {
        m_placementRestored = true;
        m_placement->restore();
    }
    QMainWindow::showEvent(event);
    // Now that the status strip has its size, the stretched picture behind the credit is known.
    fitTextToSkin();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    m_placement->save();
    event->accept();
}

bool MainWindow::confirmClose()
{
    bool mayClose = false;
    // A failed save keeps the window open with the changes in it.
    pageCommand([this, &mayClose] { mayClose = m_document->confirmClose(); });
    return mayClose;
}

void MainWindow::pageCommand(const std::function<void()> &command)
{
    guarded(command);
    if (m_recovery)
        m_recovery->pageStateChanged();
}

void MainWindow::keepRecoveryCopies(RecoveryFolder &folder)
{
    m_document->setRecoveryFolder(&folder);
    m_document->setChangesDiscarded([this] { m_recovery->discard(); });
    m_recovery = std::make_unique<RecoveryKeeper>(
        folder, [this] { return m_document->recoverySnapshot(); }, [this] { return m_view->isModified(); });
    // Insertions and deletions are not announced one by one (see the event mask above); a change of
    // content is told with the next update of the view.
    connect(m_editor, &QsciScintillaBase::SCN_UPDATEUI, m_recovery.get(), [this](int updated) {
        if (updated & QsciScintillaBase::SC_UPDATE_CONTENT)
            m_recovery->pageChanged();
    });
    connect(m_editor, &QsciScintilla::modificationChanged, m_recovery.get(), &RecoveryKeeper::pageStateChanged);
}

void MainWindow::restorePage(const RecoveryCopy &copy)
{
    guarded([&] { m_document->restore(copy); });
    if (m_recovery) {
        m_recovery->writeNow();
        m_recovery->waitForDisk();
    }
}

void MainWindow::listTemplates()
{
    m_templateMenu->clear();
    QStringList templates;
    guarded([&] { templates = MainIndex(m_platform.files, applicationFolder()).templates(); });
    for (const QString &path : templates) {
        if (path.isEmpty())
            continue;
        QAction *action = m_templateMenu->addAction(path.section(u'/', -1));
        action->setToolTip(path);
        action->setStatusTip(path);
        connect(action, &QAction::triggered, this, [this, path] { newPageFromTemplate(path); });
    }
    if (m_templateMenu->isEmpty())
        m_templateMenu->addAction(u"（没有模板：可在“选项 → 模板功能”中加入）"_s)->setEnabled(false);
}

void MainWindow::newPageFromTemplate(const QString &path)
{
    pageCommand([&] { m_document->newPageFrom(path); });
}

void MainWindow::newPage()
{
    pageCommand([this] { m_document->newPage(); });
}

void MainWindow::openPage()
{
    pageCommand([this] { m_document->openPage(); });
}

void MainWindow::savePage()
{
    pageCommand([this] { m_document->savePage(); });
}

void MainWindow::savePageAs()
{
    pageCommand([this] { m_document->savePageAs(); });
}

void MainWindow::exitProgram()
{
    close();
}

void MainWindow::undoEdit()
{
    m_editor->undo();
}

void MainWindow::copySelection()
{
    if (m_editor->hasSelectedText())
        m_platform.clipboard.setText(m_editor->selectedText());
}

void MainWindow::cutSelection()
{
    if (!m_editor->hasSelectedText())
        return;
    m_platform.clipboard.setText(m_editor->selectedText());
    m_editor->removeSelectedText();
}

void MainWindow::pasteText()
{
    m_editor->replaceSelectedText(LineBreaks::toCrLf(m_platform.clipboard.text()));
}

void MainWindow::selectAllText()
{
    m_editor->selectAll(true);
}

void MainWindow::previewInSystemBrowser()
{
    guarded([this] {
        m_document->writePreview();
        const QString path = m_document->previewPath();
        openWithShell(path, u"无法用系统浏览器预览：系统里没有可用的浏览器。\n预览文件已写到 %1"_s.arg(path));
    });
}

void MainWindow::showPreview()
{
    guarded([this] {
        m_document->writePreview();
        if (!ensureBrowser())
            return;
        // A page that names no charset is read in the encoding it was opened in.
        m_browser->setDefaultTextEncoding(m_document->encoding() == PageEncoding::Gb18030 ? u"GB18030"_s : u"UTF-8"_s);
        const QString path = m_document->previewPath();
        m_browser->navigate(path);
        m_addressBox->setText(path);
    });
}

bool MainWindow::ensureBrowser()
{
    if (m_browser)
        return true;
    QString error;
    m_browser = BrowserView::create(m_browserArea, &error);
    if (!m_browser) {
        showPreviewProblem(error);
        return false;
    }
    m_browser->widget()->setObjectName(u"WebBrowser1"_s);
    auto *layout = new QVBoxLayout(m_browserArea);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser->widget());
    return true;
}

void MainWindow::showPreviewProblem(const QString &reason)
{
    auto *problem = m_browserArea->findChild<QLabel *>(u"PreviewProblem"_s);
    if (!problem) {
        problem = new QLabel(m_browserArea);
        problem->setObjectName(u"PreviewProblem"_s);
        problem->setWordWrap(true);
        problem->setAlignment(Qt::AlignCenter);
        problem->setTextFormat(Qt::PlainText);
        auto *layout = new QVBoxLayout(m_browserArea);
        layout->addWidget(problem);
    }
    problem->setText(
        u"预览无法显示：浏览器引擎没有启动。\n网页没有受影响，仍可编辑和保存，也可以按F12在系统浏览器中预览。\n\n"_s
        + reason);
}

void MainWindow::goToAddress()
{
    // Only the typed address: the preview file is written when the tab is entered, not here.
    guarded([this] {
        if (ensureBrowser())
            m_browser->navigate(m_addressBox->text());
    });
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (m_editor && watched == m_editor->viewport() && event->type() == QEvent::MouseMove)
        focusEditorUnderMouse();
    else if (watched == m_searchBox && event->type() == QEvent::MouseMove)
        focusSearchBoxUnderMouse();
    else if (m_resultList && watched == m_resultList->viewport())
        return filterResultListMouse(event);
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::focusEditorUnderMouse()
{
    if (focusWidget() != m_editor)
        m_editor->setFocus(Qt::MouseFocusReason);
}

void MainWindow::chooseCategory()
{
    guarded([this] { loadEffectList(); });
}

void MainWindow::categoryChosen()
{
    // A damaged count stops before the emptying: the effect box keeps its list and its text.
    guarded([this] {
        loadEffectList();
        clearEffectBox();
    });
}

void MainWindow::loadEffectList()
{
    const QString category = m_categoryBox->currentText();
    if (category == u"请选择..."_s)
        return;
    const std::optional<QStringList> effects = EffectIndex(m_platform.files, applicationFolder()).effects(category);
    if (!effects) {
        m_effectBox->setEditText(QString());
        m_effectBox->clearItemsKeepingText();
        return;
    }
    m_effectBox->setItemsKeepingText(*effects);
}

void MainWindow::clearEffectBox()
{
    m_effectBox->setEditText(QString());
    m_panelPreview->showNothing();
}

void MainWindow::startEffect()
{
    guarded([this] { runEffect(); });
}

void MainWindow::runEffect()
{
    const QString category = m_categoryBox->currentText();
    const QString effect = m_effectBox->currentText();
    if (effect.isEmpty())
        return;
    const QString kind = EffectIndex(m_platform.files, applicationFolder()).kind(category, effect);
    SetupContext context { m_platform, applicationFolder(), category, effect, m_snippetBuffer, m_rowBuffer,
        m_pieceBuffer, &m_parentMenuNeeded, m_previews.get() };
    switch (EffectKinds::fromText(kind)) {
    case EffectKind::Unusable:
        m_platform.dialogs.message(u"出现莫名奇妙的错误"_s);
        return;
    case EffectKind::SimpleCopy:
        copySimpleEffect(category, effect);
        return;
    case EffectKind::Image: {
        ImageEffectWindow window(context, this);
        window.exec();
        return;
    }
    case EffectKind::Menu: {
        MenuEffectWindow window(context, this);
        window.exec();
        return;
    }
    case EffectKind::Text: {
        TextEffectWindow window(context, this);
        window.exec();
        return;
    }
    case EffectKind::Unknown:
        return;
    }
}

void MainWindow::copySimpleEffect(const QString &category, const QString &effect)
{
    if (!m_platform.dialogs.question(
            u"询问"_s, u"本特效不用做任何设置，直接复接便可使用，是否真的要确定"_s, MessageIcon::Question))
        return;
    const QString path = m_platform.files.resolveName(applicationFolder() + category + u'/' + effect + u".txt"_s);
    const std::optional<QByteArray> bytes
        = m_platform.files.fileExists(path) ? m_platform.files.readAll(path) : std::nullopt;
    if (!bytes) {
        m_platform.dialogs.message(u"文件不存在"_s);
        return;
    }
    m_rowBuffer->setText(LineBreaks::toCrLf(Ansi::decode(*bytes)));
    m_platform.clipboard.setText(m_rowBuffer->text());
    m_rowBuffer->clearText();
}

void MainWindow::searchEffects()
{
    m_resultList->clear();
    if (m_categoryBox->count() == 0) {
        showWhenNothingFound(true);
        return;
    }
    QStringList categories;
    for (int i = 0; i < m_categoryBox->count(); ++i)
        categories.append(m_categoryBox->itemText(i));
    QStringList found;
    // Lines found before a damaged counter stay listed.
    guarded([&] {
        EffectSearch(m_platform.files, applicationFolder())
            .run(categories, m_searchBox->text(), [&](const QString &line) { found.append(line); });
    });
    m_resultList->addItems(found);
    m_resultList->setCurrentRow(-1);
    showWhenNothingFound(found.isEmpty());
}

void MainWindow::showWhenNothingFound(bool nothing)
{
    const QString text = m_searchBox->text();
    m_noResults->setText(
        text.isEmpty() ? u"请输入特效名称中的字，再查询。"_s : u"没有找到名称中含有“%1”的特效。"_s.arg(text));
    m_noResults->resize(
        m_resultList->viewport()->width() - 8, m_noResults->heightForWidth(m_resultList->viewport()->width() - 8));
    m_noResults->setVisible(nothing);
}

bool MainWindow::filterResultListMouse(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        startFoundEffect();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        // Qt's list empties its selection on a click below the last row.
        return !m_resultList->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint()).isValid();
    default:
        return false;
    }
}

void MainWindow::startFoundEffect()
{
    const QList<QListWidgetItem *> selected = m_resultList->selectedItems();
    if (selected.isEmpty())
        return;
    const ResultLine line = ResultLine::split(selected.first()->text());
    m_categoryBox->setEditText(line.category);
    m_effectBox->setEditText(line.effect);
    // One handler: a damaged count stops it before the effect starts.
    guarded([this] {
        loadEffectList();
        runEffect();
    });
}

void MainWindow::focusSearchBoxUnderMouse()
{
    if (focusWidget() == m_searchBox)
        return;
    m_searchBox->setFocus(Qt::MouseFocusReason);
    m_searchBox->selectAll();
}

void MainWindow::setLargePage(bool large)
{
    // A new document needs its colouring attached again; a large one goes without.
    m_editor->setLexer(nullptr);
    if (large)
        m_editor->setFont(m_lexer->defaultFont()); // without colouring, still the editor's own font
    else
        m_editor->setLexer(m_lexer);
    m_editor->setWrapMode(large ? QsciScintilla::WrapNone : QsciScintilla::WrapWord);
    m_editor->setHorizontalScrollBarPolicy(large ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}
