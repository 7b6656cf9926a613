#include "mainwindow.h"

#include "applicationinfo.h"
#include "artwork/artwork.h"
#include "effectpanel.h"
#include "encodingmenus.h"
#include "helpcommands.h"
#include "pagedrop.h"
#include "recentmenu.h"
#include "returnwatch.h"
#include "viewmenu.h"

#include "editor/document.h"
#include "editor/pageeditor.h"
#include "editor/previewtab.h"
#include "editor/recoveryfolder.h"
#include "editor/recoverykeeper.h"
#include "editor/scintilladocumentview.h"
#include "editor/searchcontroller.h"
#include "effects/effectpreviews.h"
#include "library/applicationfolder.h"
#include "library/mainindex.h"
#include "options/optionswindow.h"
#include "platform/errorguard.h"
#include "platform/filesystem.h"
#include "platform/platform.h"
#include "widgets/named.h"
#include "widgets/pictureloader.h"
#include "widgets/placementstore.h"
#include "widgets/readabletext.h"
#include "widgets/uistyle.h"
#include "widgets/windowparts.h"

#include <Qsci/qsciscintilla.h>

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
// Client size giving the window its 712 x 462 outer size on a frame of 4-pixel borders and a
// 19-pixel caption.
constexpr int ClientWidth = 704;
constexpr int ClientHeight = 435;
constexpr int FrameWidth = 712 - ClientWidth;
constexpr int FrameHeight = 462 - ClientHeight;
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
    // Centred; on a screen smaller than the window (a high scale, a netbook) as large as fits, its
    // frame included, so that no edge is out of reach.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize fits(qMin(ClientWidth, area.width() - FrameWidth), qMin(ClientHeight, area.height() - FrameHeight));
        resize(fits);
        move(area.center() - QPoint(fits.width() / 2, fits.height() / 2));
    }

    auto *central = WindowParts::panel(this, u"Form1Client"_s);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto *upper = new QHBoxLayout;
    upper->setContentsMargins(0, 0, 0, 0);
    upper->setSpacing(0);
    outer->addLayout(upper, 1);

    m_documentSide = WindowParts::panel(central, u"Panel3"_s);
    buildDocumentSide(m_documentSide);
    upper->addWidget(m_documentSide, 1);
    m_effectPanel = new EffectPanel(
        platform, *m_previews, m_buffers, m_parentMenuNeeded, [this] { return m_applicationFolder; }, central);
    upper->addWidget(m_effectPanel);
    // After an effect, the keyboard is back on the page, with a word on where the code is.
    connect(m_effectPanel, &EffectPanel::codeCopied, this, [this] { m_editor->takeBackKeyboard(); });
    auto *statusFrame = named<QFrame>(u"Panel2"_s, central);
    statusFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_statusStrip = statusFrame;
    m_statusStrip->setFixedHeight(20);
    buildStatusStrip(m_statusStrip);
    outer->addWidget(m_statusStrip);
    setCentralWidget(central);

    m_help = new HelpCommands(
        platform, [this] { return m_applicationFolder; }, this);
    buildMenus();
    new ViewMenu(*m_editor, platform.files, placementFile, menuBar(), m_searchMenu->menuAction(), this);
    const auto openAt = [this](const QString &path) { openPageAt(path); };
    m_recent = new RecentMenu(platform.files, platform.dialogs, placementFile, m_fileMenu, m_saveAction, openAt, this);
    new PageDrop(platform.dialogs, { this, m_editor->widget(), m_editor->widget()->viewport() }, openAt, this);
    buildToolBar();

    m_placement = std::make_unique<PlacementStore>(platform.files, placementFile, this);
    m_document->setFormatChanged([this] {
        m_formatLabel->setText(m_document->formatText());
        fitTextToSkin();
        fitStatusTexts();
    });
    m_document->showDefaultPage();
    m_caretLabel->setText(m_editor->caretPlace());
    // What another program did to the page's file is said when the user comes back to the program.
    connect(new ReturnWatch(this), &ReturnWatch::returned, this,
        [this] { pageCommand([this] { m_document->checkFileOnDisk(); }); });
    m_search = new SearchController(m_editor->widget(), platform.dialogs, platform.files, placementFile, this);
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

void MainWindow::buildStatusStrip(QWidget *parent)
{
    auto *layout = new QGridLayout(parent);
    layout->setContentsMargins(1, 1, 1, 1);
    m_statusPicture = named<QLabel>(u"IMG"_s, parent);
    m_statusPicture->setScaledContents(true);
    m_statusPicture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_statusPicture->setPixmap(PictureLoader::builtIn(vellumo::artwork::kStatusImage));
    layout->addWidget(m_statusPicture, 0, 0);
    m_creditLabel = WindowParts::pictureCaption(parent, u"Label2"_s, QString());
    m_creditLabel->move(7, 5);
    m_creditLabel->raise();
    // The caret's place and the page's encoding and line breaks, at the strip's right end.
    auto *right = new QHBoxLayout;
    right->setContentsMargins(0, 0, 6, 0);
    right->setSpacing(14);
    m_caretLabel = WindowParts::pictureCaption(parent, u"CaretPlace"_s, QString());
    m_caretLabel->setToolTip(u"超过 8 MB 或有超长行的大网页不着色、不自动换行，这样输入、翻页和查找都不会变慢。"_s);
    m_formatLabel = WindowParts::pictureCaption(parent, u"PageFormat"_s, QString());
    m_formatLabel->setToolTip(u"网页的编码和行尾"_s);
    right->addWidget(m_caretLabel);
    right->addWidget(m_formatLabel);
    layout->addLayout(right, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
    m_caretLabel->raise();
    m_formatLabel->raise();
}

void MainWindow::buildDocumentSide(QWidget *parent)
{
    auto *layout = new QVBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_toolBand = WindowParts::panel(parent, u"CoolBar1"_s);
    m_toolBand->setFixedHeight(33);
    layout->addWidget(m_toolBand);
    auto *band = new QHBoxLayout(m_toolBand);
    band->setContentsMargins(4, 2, 4, 2);
    m_toolBar = named<QToolBar>(u"ToolBar1"_s, m_toolBand);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->setMovable(false);
    band->addWidget(m_toolBar);

    m_documentTabs = named<QTabWidget>(u"PageControl1"_s, parent);
    m_documentTabs->setTabPosition(QTabWidget::South);
    m_documentTabs->setDocumentMode(true);
    layout->addWidget(m_documentTabs, 1);

    m_editorTab = WindowParts::panel(m_documentTabs, u"TabSheet1"_s);
    auto *editorLayout = new QVBoxLayout(m_editorTab);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    m_editor = new PageEditor(m_platform.clipboard, m_editorTab);
    editorLayout->addWidget(m_editor->widget());
    m_documentTabs->addTab(m_editorTab, imageListIcon(vellumo::artwork::IconHtmlDocument), u"HTML"_s);

    connect(m_editor, &PageEditor::caretPlaceChanged, this, [this] {
        if (!m_caretLabel)
            return;
        m_caretLabel->setText(m_editor->caretPlace());
        fitStatusTexts();
    });
    m_view = std::make_unique<ScintillaDocumentView>(
        this, m_editor->widget(), [this](bool large) { m_editor->setLargePage(large); });
    m_document = std::make_unique<Document>(
        *m_view, m_platform.dialogs, m_platform.files, ApplicationFolder::fromExecutableFolder(m_executableFolder));
    m_previewTab = new PreviewTab(m_platform.dialogs, *m_document, m_documentTabs);
    m_documentTabs->addTab(m_previewTab, imageListIcon(vellumo::artwork::IconBrowserPreview), u"预览"_s);
    connect(m_documentTabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 1)
            m_previewTab->showPreview();
        else
            m_document->removePreview();
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
    // The keys every editor has, beside the menus' own letters.
    m_newAction = item(m_fileMenu, u"N1"_s, u"新建...(&N)"_s, IconNewFile, QKeySequence(Qt::CTRL | Qt::Key_N));
    // The registered templates, read afresh each time the menu opens.
    m_templateMenu = menu(m_fileMenu, u"NewFromTemplate1"_s, u"从模板新建(&T)"_s);
    m_templateMenu->setIcon(imageListIcon(IconTemplates));
    connect(m_templateMenu, &QMenu::aboutToShow, this, &MainWindow::listTemplates);
    m_openAction = item(m_fileMenu, u"O1"_s, u"打开...(&O)"_s, IconOpen, QKeySequence(Qt::CTRL | Qt::Key_O));
    m_saveAction = item(m_fileMenu, u"S1"_s, u"保存...(&S)"_s, IconSave, QKeySequence(Qt::CTRL | Qt::Key_S));
    separator(m_fileMenu, u"N2"_s);
    m_saveAsAction = item(m_fileMenu, u"A1"_s, u"另存为...(&A)"_s, -1, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m_systemPreviewAction = item(m_fileMenu, u"N3"_s, u"IE网页预览"_s, IconBrowserPreview, Qt::Key_F12);
    separator(m_fileMenu, u"N4"_s);
    m_exitAction = item(m_fileMenu, u"X1"_s, u"退出程序(&X)"_s);

    m_editMenu = menu(nullptr, u"E1"_s, u"编辑(&E)"_s);
    m_undoAction = item(m_editMenu, u"U1"_s, u"撤消"_s, IconUndo, QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction *redo = item(m_editMenu, u"Redo1"_s, u"重做"_s, -1, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    separator(m_editMenu, u"N5"_s);
    m_copyAction = item(m_editMenu, u"C1"_s, u"复制"_s, IconCopy, QKeySequence(Qt::CTRL | Qt::Key_C));
    m_cutAction = item(m_editMenu, u"X2"_s, u"剪切"_s, IconCut, QKeySequence(Qt::CTRL | Qt::Key_Y));
    m_pasteAction = item(m_editMenu, u"V1"_s, u"贴粘"_s, IconPaste, QKeySequence(Qt::CTRL | Qt::Key_V));
    separator(m_editMenu, u"N6"_s);
    m_selectAllAction = item(m_editMenu, u"A2"_s, u"全选(&A)"_s, -1, QKeySequence(Qt::CTRL | Qt::Key_A));

    m_searchMenu = menu(nullptr, u"S2"_s, u"查找(&S)"_s);
    m_findAction = item(m_searchMenu, u"F2"_s, u"查找...(&F)"_s, IconFind, QKeySequence(Qt::CTRL | Qt::Key_F));
    m_findNextAction = item(m_searchMenu, u"N7"_s, u"查找下一个"_s, -1, Qt::Key_F3);
    m_replaceAction
        = item(m_searchMenu, u"R1"_s, u"替换...(&R)"_s, IconFindReplace, QKeySequence(Qt::CTRL | Qt::Key_H));

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
    connect(m_skinsAction, &QAction::triggered, this, [this] { openOptions(OptionsWindow::Skins); });
    connect(m_systemSettingsAction, &QAction::triggered, this, [this] { openOptions(OptionsWindow::System); });
    connect(m_templatesAction, &QAction::triggered, this, [this] { openOptions(OptionsWindow::Templates); });
    connect(m_newAction, &QAction::triggered, this, &MainWindow::newPage);
    connect(m_openAction, &QAction::triggered, this, &MainWindow::openPage);
    connect(m_saveAction, &QAction::triggered, this, &MainWindow::savePage);
    connect(m_saveAsAction, &QAction::triggered, this, &MainWindow::savePageAs);
    connect(m_systemPreviewAction, &QAction::triggered, this, &MainWindow::previewInSystemBrowser);
    connect(m_exitAction, &QAction::triggered, this, &QWidget::close);
    connect(m_undoAction, &QAction::triggered, m_editor, &PageEditor::undo);
    connect(redo, &QAction::triggered, m_editor, &PageEditor::redo);
    connect(m_copyAction, &QAction::triggered, m_editor, &PageEditor::copySelection);
    connect(m_cutAction, &QAction::triggered, m_editor, &PageEditor::cutSelection);
    connect(m_pasteAction, &QAction::triggered, m_editor, &PageEditor::paste);
    connect(m_selectAllAction, &QAction::triggered, m_editor, &PageEditor::selectAll);
    m_editor->setContextMenu(m_undoAction, m_copyAction, m_pasteAction, m_cutAction, m_selectAllAction);
    new EncodingMenus(
        *m_document, m_fileMenu, m_editMenu, [this](const std::function<void()> &command) { pageCommand(command); },
        this);

    connect(m_helpAction, &QAction::triggered, m_help, &HelpCommands::openHelp);
    connect(m_homePageAction, &QAction::triggered, m_help, &HelpCommands::openHomePage);
    connect(m_feedbackMailAction, &QAction::triggered, m_help, &HelpCommands::mailFeedback);
    connect(m_questionMailAction, &QAction::triggered, m_help, &HelpCommands::mailQuestion);
    connect(m_aboutAction, &QAction::triggered, m_help, &HelpCommands::showAbout);
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

void MainWindow::loadLibrary()
{
    m_creditLabel->setText(creditLine());
    m_creditLabel->adjustSize();
    guarded([this] { m_applicationFolder = ApplicationFolder::fromExecutableFolder(m_executableFolder); });
    // A skin that cannot be shown costs only its pictures: the library stays usable.
    guarded([this] { loadSkinPictures(); });
    m_effectPanel->loadCategories();
}

void MainWindow::loadSkinPictures()
{
    // Both names are read before any picture is loaded.
    const MainIndex::SkinPictures pictures = MainIndex(m_platform.files, m_applicationFolder).skinPictures();
    if (m_platform.files.fileExists(pictures.mainImage))
        m_effectPanel->setMainPicture(PictureLoader::load(pictures.mainImage));
    if (m_platform.files.fileExists(pictures.statusImage))
        m_statusPicture->setPixmap(PictureLoader::load(pictures.statusImage));
}

void MainWindow::showSkin(const QPixmap &mainPicture, const QPixmap &statusPicture)
{
    if (!mainPicture.isNull())
        m_effectPanel->setMainPicture(mainPicture);
    if (!statusPicture.isNull())
        m_statusPicture->setPixmap(statusPicture);
}

void MainWindow::openOptions(int tab)
{
    OptionsWindow options({ m_platform, m_applicationFolder }, this);
    connect(&options, &OptionsWindow::skinChanged, this, &MainWindow::showSkin);
    options.showOn(OptionsWindow::Tab(tab));
    // The skin may have changed.
    fitTextToSkin();
}

void MainWindow::fitTextToSkin()
{
    m_effectPanel->fitTextToPicture();
    QWidget *strip = m_creditLabel->parentWidget();
    const QImage status = ReadableText::backdrop(m_statusPicture->pixmap(), m_statusPicture->size(),
        ReadableText::Fit::Stretched, strip->palette().color(QPalette::Window));
    QImage stripImage(strip->size(), QImage::Format_RGB32);
    stripImage.fill(strip->palette().color(QPalette::Window));
    QPainter(&stripImage).drawImage(m_statusPicture->pos(), status);
    ReadableText::fit(m_creditLabel, stripImage);
    ReadableText::fit(m_formatLabel, stripImage);
    ReadableText::fit(m_caretLabel, stripImage);
}

void MainWindow::fitStatusTexts()
{
    if (!m_caretLabel)
        return;
    const int creditEnd = m_creditLabel->x() + m_creditLabel->sizeHint().width();
    const int room = m_statusStrip->width() - 6 - creditEnd - 12;
    const int format = m_formatLabel->sizeHint().width();
    const bool fits = format + 14 + m_caretLabel->sizeHint().width() <= room;
    if (fits != m_caretLabel->isVisibleTo(m_statusStrip)) {
        m_caretLabel->setVisible(fits);
        QTimer::singleShot(0, this, &MainWindow::fitTextToSkin);
    }
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    fitStatusTexts();
    // The strip's texts have their places once its layout has run: their colours are chosen there.
    QTimer::singleShot(0, this, &MainWindow::fitTextToSkin);
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
    m_document->removePreview();
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
        folder, [this](QByteArray reuse) { return m_document->recoverySnapshot(std::move(reuse)); },
        [this] { return m_view->isModified(); }, [this] { return m_view->utf8Size(); });
    // The editor does not announce insertions and deletions one by one while no screen reader
    // listens; a change of content is told with the next update of the view.
    QsciScintilla *editor = m_editor->widget();
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, m_recovery.get(), [this](int updated) {
        if (updated & QsciScintillaBase::SC_UPDATE_CONTENT)
            m_recovery->pageChanged();
    });
    connect(editor, &QsciScintilla::modificationChanged, m_recovery.get(), &RecoveryKeeper::pageStateChanged);
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
    guarded([&] { templates = MainIndex(m_platform.files, m_applicationFolder).templates(); });
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

void MainWindow::namingCommand(const std::function<void()> &command)
{
    const int captions = m_view->captionsGiven();
    pageCommand(command);
    if (m_view->captionsGiven() != captions && m_view->caption() != Document::newCaption())
        m_recent->remember(m_view->caption());
}

void MainWindow::openPage()
{
    namingCommand([this] { m_document->openPage(); });
}

void MainWindow::openPageAt(const QString &path)
{
    namingCommand([this, &path] { m_document->openPageAt(path); });
}

void MainWindow::savePage()
{
    namingCommand([this] { m_document->savePage(); });
}

void MainWindow::savePageAs()
{
    namingCommand([this] { m_document->savePageAs(); });
}

void MainWindow::previewInSystemBrowser()
{
    guarded([this] {
        m_document->writePreview();
        const QString path = m_document->previewPath();
        m_help->openWithShell(path, u"无法用系统浏览器预览：系统里没有可用的浏览器。\n预览文件已写到 %1"_s.arg(path));
    });
}
