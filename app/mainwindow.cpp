#include "mainwindow.h"

#include "applicationinfo.h"
#include "artwork.h"
#include "splashwindow.h"

#include "library/applicationfolder.h"
#include "library/categoryindex.h"
#include "library/effectindex.h"
#include "library/effectkind.h"
#include "library/effectsearch.h"
#include "library/linebreaks.h"
#include "library/resultline.h"
#include "effects/setupcontext.h"
#include "effects/imageeffectwindow.h"
#include "effects/menueffectwindow.h"
#include "effects/texteffectwindow.h"
#include "options/optionswindow.h"
#include "editor/document.h"
#include "editor/scintilladocumentview.h"
#include "editor/finddialog.h"
#include "editor/replacedialog.h"
#include "editor/searchcontroller.h"
#include "editor/browserview.h"
#include "platform/ansi.h"
#include "platform/clipboard.h"
#include "library/mainindex.h"
#include "platform/dialogs.h"
#include "platform/errorguard.h"
#include "platform/filesystem.h"
#include "platform/folderlock.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "platform/vellumoerror.h"
#include "widgets/flatcombobox.h"
#include "widgets/fixedheightdelegate.h"
#include "widgets/flatlineedit.h"
#include "widgets/pictureloader.h"
#include "widgets/placementstore.h"
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
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
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

MainWindow::MainWindow(Platform &platform, const QString &executableFolder, const QString &placementFile, QWidget *parent)
    : QMainWindow(parent), m_platform(platform), m_executableFolder(executableFolder)
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

    Panel3 = panel(central, u"Panel3"_s);
    buildDocumentSide(Panel3);
    upper->addWidget(Panel3, 1);
    Panel4 = panel(central, u"Panel4"_s);
    Panel4->setFixedWidth(216);
    buildEffectPanel(Panel4);
    upper->addWidget(Panel4);
    auto *statusFrame = new QFrame(central);
    statusFrame->setObjectName(u"Panel2"_s);
    statusFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2 = statusFrame;
    Panel2->setFixedHeight(20);
    buildStatusStrip(Panel2);
    outer->addWidget(Panel2);
    setCentralWidget(central);

    buildMenus();
    buildToolBar();
    buildPopupMenu();

    m_placement = std::make_unique<PlacementStore>(platform.files, placementFile, this);
    m_view = std::make_unique<ScintillaDocumentView>(this, RichEdit1, [this](bool large) { setLargePage(large); });
    m_document = std::make_unique<Document>(*m_view, platform.dialogs, platform.files,
                                            ApplicationFolder::fromExecutableFolder(executableFolder));
    m_document->showDefaultPage();
    m_search = new SearchController(RichEdit1, platform.dialogs, this);
    connect(F2, &QAction::triggered, m_search, &SearchController::showFind);
    connect(N7, &QAction::triggered, m_search, &SearchController::findNext);
    connect(R1, &QAction::triggered, m_search, &SearchController::showReplace);
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
    return Label1->text();
}

void MainWindow::buildEffectPanel(QWidget *parent)
{
    auto *layout = new QVBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Label1 = new QLabel(parent);
    Label1->setObjectName(u"Label1"_s);
    Label1->hide();

    Panel5 = panel(parent, u"Panel5"_s);
    Panel5->setFixedHeight(192);
    layout->addWidget(Panel5);
    auto *pictureLayout = new QGridLayout(Panel5);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    MAINIMG = new QLabel(Panel5);
    MAINIMG->setObjectName(u"MAINIMG"_s);
    MAINIMG->setAlignment(Qt::AlignCenter);
    MAINIMG->setPixmap(PictureLoader::builtIn(vellumo::artwork::kMainImage));
    // The picture is shown centred at its own size, whatever the panel's size.
    MAINIMG->setMinimumSize(1, 1);
    MAINIMG->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    pictureLayout->addWidget(MAINIMG, 0, 0);

    Label3 = transparentLabel(u"特效总类："_s, Panel5, u"Label3"_s);
    Label3->move(8, 16);
    ComboBox1 = new FlatComboBox(Panel5);
    ComboBox1->setObjectName(u"ComboBox1"_s);
    ComboBox1->setGeometry(66, 10, 138, 22);
    ComboBox1->setFont(UiStyle::songFont(14));
    Label5 = transparentLabel(u"特效细分："_s, Panel5, u"Label5"_s);
    Label5->move(8, 40);
    ComboBox3 = new FlatComboBox(Panel5);
    ComboBox3->setObjectName(u"ComboBox3"_s);
    ComboBox3->setGeometry(67, 35, 137, 22);
    ComboBox3->setFont(UiStyle::songFont(14));
    SpeedButton7 = flatButton(u"特效设置"_s, vellumo::artwork::GlyphSetup, Panel5, u"SpeedButton7"_s);
    SpeedButton7->setGeometry(57, 68, 99, 22);
    Label6 = transparentLabel(u"查询特效："_s, Panel5, u"Label6"_s);
    Label6->move(8, 100);
    Edit1 = new FlatLineEdit(Panel5);
    Edit1->setObjectName(u"Edit1"_s);
    Edit1->setGeometry(14, 120, 189, 18);
    Edit1->setLowerCaseInput(true);
    Edit1->setText(u"特效名称..."_s);
    SpeedButton6 = flatButton(u"按条件查询"_s, vellumo::artwork::GlyphSearch, Panel5, u"SpeedButton6"_s);
    SpeedButton6->setGeometry(57, 150, 99, 22);
    Label7 = transparentLabel(u"查询结果："_s, Panel5, u"Label7"_s);
    Label7->move(8, 180);
    for (QWidget *label : {static_cast<QWidget *>(Label3), static_cast<QWidget *>(Label5),
                           static_cast<QWidget *>(Label6), static_cast<QWidget *>(Label7)})
        label->adjustSize();
    Edit1->setMouseTracking(true);
    Edit1->installEventFilter(this);
    connect(ComboBox1, &QComboBox::activated, this, &MainWindow::chooseCategory);
    connect(ComboBox1, &QComboBox::editTextChanged, this, &MainWindow::clearEffectBox);
    connect(SpeedButton7, &QToolButton::clicked, this, &MainWindow::startEffect);
    connect(SpeedButton6, &QToolButton::clicked, this, &MainWindow::searchEffects);

    Panel6 = panel(parent, u"Panel6"_s);
    layout->addWidget(Panel6, 1);
    auto *listLayout = new QVBoxLayout(Panel6);
    listLayout->setContentsMargins(0, 0, 0, 0);
    ListBox1 = new QListWidget(Panel6);
    ListBox1->setObjectName(u"ListBox1"_s);
    ListBox1->setToolTip(u"双击可以运行此特效设置"_s);
    ListBox1->setUniformItemSizes(true);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &MainWindow::startFoundEffect);
    ListBox1->setItemDelegate(new FixedHeightDelegate(12, ListBox1));
    listLayout->addWidget(ListBox1);
}

void MainWindow::buildStatusStrip(QWidget *parent)
{
    auto *layout = new QGridLayout(parent);
    layout->setContentsMargins(1, 1, 1, 1);
    IMG = new QLabel(parent);
    IMG->setObjectName(u"IMG"_s);
    IMG->setScaledContents(true);
    IMG->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    IMG->setPixmap(PictureLoader::builtIn(vellumo::artwork::kStatusImage));
    layout->addWidget(IMG, 0, 0);
    Label2 = transparentLabel(QString(), parent, u"Label2"_s);
    Label2->move(7, 5);
    Label2->raise();
}

void MainWindow::buildDocumentSide(QWidget *parent)
{
    auto *layout = new QVBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    CoolBar1 = panel(parent, u"CoolBar1"_s);
    CoolBar1->setFixedHeight(33);
    layout->addWidget(CoolBar1);
    auto *band = new QHBoxLayout(CoolBar1);
    band->setContentsMargins(4, 2, 4, 2);
    ToolBar1 = new QToolBar(CoolBar1);
    ToolBar1->setObjectName(u"ToolBar1"_s);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setMovable(false);
    band->addWidget(ToolBar1);

    PageControl1 = new QTabWidget(parent);
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->setTabPosition(QTabWidget::South);
    PageControl1->setDocumentMode(true);
    layout->addWidget(PageControl1, 1);

    TabSheet1 = panel(PageControl1, u"TabSheet1"_s);
    auto *editorLayout = new QVBoxLayout(TabSheet1);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    RichEdit1 = new QsciScintilla(TabSheet1);
    RichEdit1->setObjectName(u"RichEdit1"_s);
    RichEdit1->setUtf8(true);
    RichEdit1->setEolMode(QsciScintilla::EolWindows);
    RichEdit1->setWrapMode(QsciScintilla::WrapWord);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->SendScintilla(QsciScintillaBase::SCI_SETPASTECONVERTENDINGS, 1UL);
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
        RichEdit1->SendScintilla(Base::SCI_SETMODEVENTMASK, Base::SC_MODEVENTMASKALL & ~quiet);
    }
    m_lexer = new QsciLexerHTML(RichEdit1);
    auto *lexer = m_lexer;
    // 16 pixels high at the usual 96 dots per inch; Scintilla takes its sizes in points.
    const QFont code = UiStyle::fixedFont(12);
    lexer->setDefaultFont(code);
    lexer->setFont(code);
    RichEdit1->setLexer(lexer);
    RichEdit1->setMarginWidth(1, 0);
    // Ctrl+Y is the cut command of the menu, not the editor's redo.
    if (QsciCommand *redo = RichEdit1->standardCommands()->boundTo(QKeyCombination(Qt::CTRL, Qt::Key_Y).toCombined()))
        redo->setKey(0);
    RichEdit1->viewport()->setMouseTracking(true);
    RichEdit1->viewport()->installEventFilter(this);
    editorLayout->addWidget(RichEdit1);
    RichEdit2 = hiddenBuffer(TabSheet1, u"RichEdit2"_s, u"RichEdit2"_s);
    Memo1 = hiddenBuffer(TabSheet1, u"Memo1"_s, QString());
    Memo2 = hiddenBuffer(TabSheet1, u"Memo2"_s, QString());
    PageControl1->addTab(TabSheet1, imageListIcon(vellumo::artwork::IconHtmlDocument), u"HTML"_s);

    TabSheet2 = panel(PageControl1, u"TabSheet2"_s);
    auto *previewLayout = new QVBoxLayout(TabSheet2);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->setSpacing(0);
    Panel1 = panel(TabSheet2, u"Panel1"_s);
    Panel1->setFixedHeight(27);
    auto *addressBar = new QHBoxLayout(Panel1);
    addressBar->setContentsMargins(6, 2, 6, 2);
    addressBar->addWidget(transparentLabel(u"URL:"_s, Panel1, u"Label4"_s));
    ADDEdit = new FlatLineEdit(Panel1);
    ADDEdit->setObjectName(u"ADDEdit"_s);
    ADDEdit->setFixedWidth(281);
    addressBar->addWidget(ADDEdit);
    BitBtn1 = new QPushButton(u"转到"_s, Panel1);
    BitBtn1->setObjectName(u"BitBtn1"_s);
    BitBtn1->setFixedHeight(22);
    connect(BitBtn1, &QPushButton::clicked, this, &MainWindow::goToAddress);
    addressBar->addWidget(BitBtn1);
    addressBar->addStretch(1);
    previewLayout->addWidget(Panel1);
    BrowserArea = panel(TabSheet2, u"BrowserArea"_s);
    BrowserArea->setAutoFillBackground(true);
    QPalette white = BrowserArea->palette();
    white.setColor(QPalette::Window, Qt::white);
    BrowserArea->setPalette(white);
    previewLayout->addWidget(BrowserArea, 1);
    PageControl1->addTab(TabSheet2, imageListIcon(vellumo::artwork::IconBrowserPreview), u"预览"_s);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
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
    const auto item = [&](QMenu *m, const QString &name, const QString &caption, int icon = -1,
                          const QKeySequence &shortcut = {}) {
        QAction *action = m->addAction(caption);
        action->setObjectName(name);
        if (icon >= 0)
            action->setIcon(imageListIcon(icon));
        action->setShortcut(shortcut);
        return action;
    };
    const auto separator = [](QMenu *m, const QString &name) { m->addSeparator()->setObjectName(name); };

    F1 = menu(nullptr, u"F1"_s, u"文件(&F)"_s);
    N1 = item(F1, u"N1"_s, u"新建...(&N)"_s, IconNewFile);
    O1 = item(F1, u"O1"_s, u"打开...(&O)"_s, IconOpen);
    S1 = item(F1, u"S1"_s, u"保存...(&S)"_s, IconSave);
    separator(F1, u"N2"_s);
    A1 = item(F1, u"A1"_s, u"另存为...(&A)"_s);
    N3 = item(F1, u"N3"_s, u"IE网页预览"_s, IconBrowserPreview, Qt::Key_F12);
    separator(F1, u"N4"_s);
    X1 = item(F1, u"X1"_s, u"退出程序(&X)"_s);

    E1 = menu(nullptr, u"E1"_s, u"编辑(&E)"_s);
    U1 = item(E1, u"U1"_s, u"撤消"_s, IconUndo, QKeySequence(Qt::CTRL | Qt::Key_Z));
    separator(E1, u"N5"_s);
    C1 = item(E1, u"C1"_s, u"复制"_s, IconCopy, QKeySequence(Qt::CTRL | Qt::Key_C));
    X2 = item(E1, u"X2"_s, u"剪切"_s, IconCut, QKeySequence(Qt::CTRL | Qt::Key_Y));
    V1 = item(E1, u"V1"_s, u"贴粘"_s, IconPaste, QKeySequence(Qt::CTRL | Qt::Key_V));
    separator(E1, u"N6"_s);
    A2 = item(E1, u"A2"_s, u"全选(&A)"_s);

    S2 = menu(nullptr, u"S2"_s, u"查找(&S)"_s);
    F2 = item(S2, u"F2"_s, u"查找...(&F)"_s, IconFind);
    N7 = item(S2, u"N7"_s, u"查找下一个"_s, -1, Qt::Key_F3);
    R1 = item(S2, u"R1"_s, u"替换...(&R)"_s, IconFindReplace);

    O2 = menu(nullptr, u"O2"_s, u"选项(&O)"_s);
    S3 = item(O2, u"S3"_s, u"皮肤设置(&S)"_s, IconSkins);
    O3 = item(O2, u"O3"_s, u"系统设置(&O)"_s, IconSystemSettings);
    M1 = item(O2, u"M1"_s, u"模板功能(&M)"_s, IconTemplates);

    H1 = menu(nullptr, u"H1"_s, u"帮助(&H)"_s);
    N8 = item(H1, u"N8"_s, u"帮助"_s, IconHelp, Qt::Key_F1);
    E2 = menu(H1, u"E2"_s, u"作者邮箱"_s);
    FeedbackMail1 = item(E2, u"FeedbackMail1"_s, u"错误改进"_s);
    QuestionMail1 = item(E2, u"QuestionMail1"_s, u"问题询问"_s);
    H2 = item(H1, u"H2"_s, u"作者主页(&H)"_s, IconBrowserPreview);
    A3 = item(H1, u"A3"_s, u"关于(&A)"_s, IconAbout);

    // Commands that later work gives their behaviour stay visible but unavailable until then.
    connect(S3, &QAction::triggered, this, &MainWindow::openSkinOptions);
    connect(O3, &QAction::triggered, this, &MainWindow::openSystemOptions);
    connect(M1, &QAction::triggered, this, &MainWindow::openTemplateOptions);
    connect(N1, &QAction::triggered, this, &MainWindow::newPage);
    connect(O1, &QAction::triggered, this, &MainWindow::openPage);
    connect(S1, &QAction::triggered, this, &MainWindow::savePage);
    connect(A1, &QAction::triggered, this, &MainWindow::savePageAs);
    connect(N3, &QAction::triggered, this, &MainWindow::previewInSystemBrowser);
    connect(X1, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(U1, &QAction::triggered, this, &MainWindow::undoEdit);
    connect(C1, &QAction::triggered, this, &MainWindow::copySelection);
    connect(X2, &QAction::triggered, this, &MainWindow::cutSelection);
    connect(V1, &QAction::triggered, this, &MainWindow::pasteText);
    connect(A2, &QAction::triggered, this, &MainWindow::selectAllText);

    connect(N8, &QAction::triggered, this, &MainWindow::openHelp);
    connect(H2, &QAction::triggered, this, &MainWindow::openHomePage);
    connect(FeedbackMail1, &QAction::triggered, this, &MainWindow::mailFeedback);
    connect(QuestionMail1, &QAction::triggered, this, &MainWindow::mailQuestion);
    connect(A3, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::buildToolBar()
{
    using namespace vellumo::artwork;
    const auto button = [&](const QString &name, const QString &hint, int icon, QAction *runs) {
        QAction *action = ToolBar1->addAction(imageListIcon(icon), hint);
        action->setObjectName(name);
        action->setToolTip(hint);
        action->setEnabled(runs->isEnabled());
        connect(action, &QAction::triggered, runs, &QAction::trigger);
        connect(runs, &QAction::changed, action, [action, runs] { action->setEnabled(runs->isEnabled()); });
    };
    const auto separator = [&](const QString &name) { ToolBar1->addSeparator()->setObjectName(name); };
    button(u"ToolButton1"_s, u"新建"_s, IconNewFile, N1);
    button(u"ToolButton2"_s, u"打开"_s, IconOpen, O1);
    button(u"ToolButton3"_s, u"保存"_s, IconSave, S1);
    button(u"ToolButton4"_s, u"用IE预览网页"_s, IconBrowserPreview, N3);
    separator(u"ToolButton5"_s);
    button(u"ToolButton10"_s, u"撤消"_s, IconUndo, U1);
    button(u"ToolButton6"_s, u"复制"_s, IconCopy, C1);
    button(u"ToolButton8"_s, u"剪切"_s, IconCut, X2);
    button(u"ToolButton7"_s, u"粘贴"_s, IconPaste2, V1);
    separator(u"ToolButton9"_s);
    button(u"ToolButton11"_s, u"皮肤功能"_s, IconSkins, S3);
    button(u"ToolButton12"_s, u"系统设置"_s, IconSystemSettings, O3);
    button(u"ToolButton13"_s, u"模板"_s, IconTemplates, M1);
    separator(u"ToolButton14"_s);
    button(u"ToolButton15"_s, u"帮助"_s, IconHelp, N8);
    button(u"ToolButton16"_s, u"关于"_s, IconAbout, A3);
}

void MainWindow::buildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(u"PopupMenu1"_s);
    const auto item = [&](const QString &name, const QString &caption, QAction *runs) {
        QAction *action = PopupMenu1->addAction(caption);
        action->setObjectName(name);
        action->setEnabled(runs->isEnabled());
        connect(action, &QAction::triggered, runs, &QAction::trigger);
        connect(runs, &QAction::changed, action, [action, runs] { action->setEnabled(runs->isEnabled()); });
        return action;
    };
    R2 = item(u"R2"_s, u"撤消(&U)"_s, U1);
    PopupMenu1->addSeparator()->setObjectName(u"N13"_s);
    N9 = item(u"N9"_s, u"复制(&C)"_s, C1);
    N10 = item(u"N10"_s, u"粘贴(&V)"_s, V1);
    N11 = item(u"N11"_s, u"剪切(&X)"_s, X2);
    PopupMenu1->addSeparator()->setObjectName(u"N14"_s);
    N12 = item(u"N12"_s, u"全选(&A)"_s, A2);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RichEdit1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(RichEdit1->mapToGlobal(pos)); });
}

void MainWindow::loadLibrary()
{
    ListBox1->setFrameShape(QFrame::Box);
    ListBox1->setFrameShadow(QFrame::Plain);
    ListBox1->setLineWidth(1);
    Label2->setText(creditLine());
    Label2->adjustSize();
    guarded([this] {
        m_applicationFolder = ApplicationFolder::fromExecutableFolder(m_executableFolder);
        Label1->setText(m_applicationFolder);
        FolderLock::clearStaleTemporaries(m_applicationFolder);
        loadSkinPictures();
        const QStringList categories = CategoryIndex(m_platform.files, m_applicationFolder).categories();
        ComboBox1->addItems(categories);
        ComboBox1->setCurrentIndex(-1);
        ComboBox1->setEditText(QString());
    });
}

void MainWindow::loadSkinPictures()
{
    // Both names are read before any picture is loaded.
    const MainIndex::SkinPictures pictures = MainIndex(m_platform.files, m_applicationFolder).skinPictures();
    if (m_platform.files.fileExists(pictures.mainImage))
        MAINIMG->setPixmap(PictureLoader::load(pictures.mainImage));
    if (m_platform.files.fileExists(pictures.statusImage))
        IMG->setPixmap(PictureLoader::load(pictures.statusImage));
}

void MainWindow::openOptions(int tab)
{
    OptionsWindow options({m_platform, applicationFolder(), MAINIMG, IMG}, this);
    options.showOn(OptionsWindow::Tab(tab));
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
        m_platform.shell.open(help);
    else
        m_platform.dialogs.message(u"帮助文件找不到,请到作者网站下载"_s + ApplicationInfo::homePage());
}

void MainWindow::openHomePage()
{
    m_platform.shell.open(ApplicationInfo::homePage());
}

void MainWindow::mailFeedback()
{
    m_platform.shell.open(u"mailto:"_s + ApplicationInfo::mailAddress() + u"?subject=错误改进"_s);
}

void MainWindow::mailQuestion()
{
    m_platform.shell.open(u"mailto:"_s + ApplicationInfo::mailAddress() + u"?subject=问题询问"_s);
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
    guarded([this, &mayClose] { mayClose = m_document->confirmClose(); });
    return mayClose;
}

void MainWindow::newPage()
{
    guarded([this] { m_document->newPage(); });
}

void MainWindow::openPage()
{
    guarded([this] { m_document->openPage(); });
}

void MainWindow::savePage()
{
    guarded([this] { m_document->savePage(); });
}

void MainWindow::savePageAs()
{
    guarded([this] { m_document->savePageAs(); });
}

void MainWindow::exitProgram()
{
    close();
}

void MainWindow::undoEdit()
{
    RichEdit1->undo();
}

void MainWindow::copySelection()
{
    if (RichEdit1->hasSelectedText())
        m_platform.clipboard.setText(RichEdit1->selectedText());
}

void MainWindow::cutSelection()
{
    if (!RichEdit1->hasSelectedText())
        return;
    m_platform.clipboard.setText(RichEdit1->selectedText());
    RichEdit1->removeSelectedText();
}

void MainWindow::pasteText()
{
    RichEdit1->replaceSelectedText(LineBreaks::toCrLf(m_platform.clipboard.text()));
}

void MainWindow::selectAllText()
{
    RichEdit1->selectAll(true);
}

void MainWindow::previewInSystemBrowser()
{
    guarded([this] {
        m_document->writePreview();
        m_platform.shell.open(m_document->previewPath());
    });
}

void MainWindow::showPreview()
{
    guarded([this] {
        m_document->writePreview();
        if (!WebBrowser1) {
            QString error;
            WebBrowser1 = BrowserView::create(BrowserArea, &error);
            if (!WebBrowser1)
                throw VellumoError(u"The browser cannot be started: "_s + error);
            WebBrowser1->widget()->setObjectName(u"WebBrowser1"_s);
            auto *layout = new QVBoxLayout(BrowserArea);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(WebBrowser1->widget());
        }
        // A page that names no charset is read in the encoding it was opened in.
        WebBrowser1->setDefaultTextEncoding(m_document->encoding() == PageEncoding::Gb18030 ? u"GB18030"_s
                                                                                            : u"UTF-8"_s);
        const QString path = m_document->previewPath();
        WebBrowser1->navigate(path);
        ADDEdit->setText(path);
    });
}

void MainWindow::goToAddress()
{
    if (!WebBrowser1)
        showPreview();
    if (WebBrowser1)
        WebBrowser1->navigate(ADDEdit->text());
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == RichEdit1->viewport() && event->type() == QEvent::MouseMove)
        focusEditorUnderMouse();
    else if (watched == Edit1 && event->type() == QEvent::MouseMove)
        focusSearchBoxUnderMouse();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::focusEditorUnderMouse()
{
    if (focusWidget() != RichEdit1)
        RichEdit1->setFocus(Qt::MouseFocusReason);
}

void MainWindow::chooseCategory()
{
    const QString category = ComboBox1->currentText();
    if (category == u"请选择..."_s)
        return;
    guarded([&] {
        const std::optional<QStringList> effects = EffectIndex(m_platform.files, applicationFolder()).effects(category);
        if (!effects) {
            ComboBox3->setEditText(QString());
            ComboBox3->clearItemsKeepingText();
            return;
        }
        ComboBox3->setItemsKeepingText(*effects);
    });
}

void MainWindow::clearEffectBox()
{
    ComboBox3->setEditText(QString());
}

void MainWindow::startEffect()
{
    const QString category = ComboBox1->currentText();
    const QString effect = ComboBox3->currentText();
    if (effect.isEmpty())
        return;
    guarded([&] {
        const QString kind = EffectIndex(m_platform.files, applicationFolder()).kind(category, effect);
        SetupContext context{m_platform, applicationFolder(), category, effect, Memo2, Memo1, RichEdit2,
                             &m_parentMenuNeeded};
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
    });
}

void MainWindow::copySimpleEffect(const QString &category, const QString &effect)
{
    if (!m_platform.dialogs.question(u"询问"_s, u"本特效不用做任何设置，直接复接便可使用，是否真的要确定"_s,
                                     MessageIcon::Question))
        return;
    const QString path = m_platform.files.resolveName(applicationFolder() + category + u'/' + effect + u".txt"_s);
    const std::optional<QByteArray> bytes =
        m_platform.files.fileExists(path) ? m_platform.files.readAll(path) : std::nullopt;
    if (!bytes) {
        m_platform.dialogs.message(u"文件不存在"_s);
        return;
    }
    Memo1->setText(LineBreaks::toCrLf(Ansi::decode(*bytes)));
    m_platform.clipboard.setText(Memo1->text());
    Memo1->clearText();
}

void MainWindow::searchEffects()
{
    ListBox1->clear();
    if (ComboBox1->count() == 0)
        return;
    QStringList categories;
    for (int i = 0; i < ComboBox1->count(); ++i)
        categories.append(ComboBox1->itemText(i));
    QStringList found;
    // Lines found before a damaged counter stay listed.
    guarded([&] {
        EffectSearch(m_platform.files, applicationFolder())
            .run(categories, Edit1->text(), [&](const QString &line) { found.append(line); });
    });
    ListBox1->addItems(found);
    ListBox1->setCurrentRow(-1);
}

void MainWindow::startFoundEffect()
{
    const QList<QListWidgetItem *> selected = ListBox1->selectedItems();
    if (selected.isEmpty())
        return;
    const ResultLine line = ResultLine::split(selected.first()->text());
    ComboBox1->setEditText(line.category);
    ComboBox3->setEditText(line.effect);
    chooseCategory();
    startEffect();
}

void MainWindow::focusSearchBoxUnderMouse()
{
    if (focusWidget() == Edit1)
        return;
    Edit1->setFocus(Qt::MouseFocusReason);
    Edit1->selectAll();
}

void MainWindow::setLargePage(bool large)
{
    // A new document needs its colouring attached again; a large one goes without.
    RichEdit1->setLexer(nullptr);
    if (!large)
        RichEdit1->setLexer(m_lexer);
    RichEdit1->setWrapMode(large ? QsciScintilla::WrapNone : QsciScintilla::WrapWord);
    RichEdit1->setHorizontalScrollBarPolicy(large ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}
