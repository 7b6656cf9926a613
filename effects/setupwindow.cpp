#include "setupwindow.h"

#include "buffersink.h"
#include "definitionfile.h"
#include "effectpreviewpane.h"
#include "effectpreviews.h"
#include "platform/dialogs.h"
#include "platform/errorguard.h"
#include "platform/platform.h"
#include "previewassembly.h"
#include "setupflow.h"
#include "widgets/framelessdialog.h"
#include "widgets/named.h"
#include "widgets/titlestrip.h"
#include "widgets/windowparts.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr int TitleHeight = 24;
}

SetupWindow::SetupWindow(const SetupContext &context, QSize clientSize, QWidget *parent, const QColor &frameColour)
    : FramelessDialog(parent)
    , m_context(context)
    , m_frameColour(frameColour)
{
    setFixedSize(clientSize);
    m_clientSize = clientSize;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xc0, 0xc0, 0xc0));
    setPalette(palette);
    setAutoFillBackground(true);

    m_titleStrip = new TitleStrip(this, QRect(2, 2, clientSize.width() - 4, TitleHeight), u"特效设置窗口"_s,
        { QString(), u"Image1"_s, u"Label3"_s, u"SpeedButton1"_s }, frameColour, QColor(150, 170, 255));
    connect(m_titleStrip->closeButton(), &QToolButton::clicked, this, &QDialog::close);

    m_statusLine = named<QLabel>(u"spanle"_s, this);
    m_statusLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_statusLine->setGeometry(2, clientSize.height() - 2 - StatusLineHeight, clientSize.width() - 4, StatusLineHeight);
    m_statusLine->setIndent(4);
    m_statusLine->setWordWrap(true);
}

bool SetupWindow::guarded(const std::function<void()> &handler)
{
    return ErrorGuard::run(m_context.platform.dialogs, handler);
}

void SetupWindow::message(const QString &text)
{
    m_context.platform.dialogs.message(text);
}

void SetupWindow::setCloseHandler(const std::function<void()> &handler)
{
    disconnect(m_titleStrip->closeButton(), nullptr, this, nullptr);
    connect(m_titleStrip->closeButton(), &QToolButton::clicked, this, handler);
}

bool SetupWindow::copyToChosenFolder(const SetupFlow &flow, const SetupState &state)
{
    const auto chosen = m_context.platform.dialogs.browseFolder(u"本特效还需要别的文件支持，请选择文件夹!"_s);
    if (!chosen)
        return false;
    flow.copyFiles(state, SetupFlow::destinationFolder(*chosen));
    return true;
}

void SetupWindow::showOpened(QListWidget *images, QListWidget *textFiles, const SetupState &state)
{
    images->clear();
    images->addItems(state.images);
    textFiles->clear();
    textFiles->addItems(state.textFiles);
    m_statusLine->setText(state.status);
    m_statusLine->setToolTip(state.status);
    layoutBottom();
}

void SetupWindow::layoutBottom()
{
    // A hint longer than the window is wide takes more lines: the window grows downwards for them.
    const int width = m_clientSize.width() - 4;
    const int needed = m_statusLine->heightForWidth(width);
    // Wrapped lines keep the same room above and below as a single one.
    const int statusHeight = needed > StatusLineHeight ? needed + 6 : StatusLineHeight;
    // On a low screen the preview gives up height, down to a strip, so that the window with its
    // hint line still fits.
    int previewHeight = m_previewShown ? PreviewHeight : 0;
    if (m_previewShown) {
        const QScreen *shownOn = screen() ? screen() : QGuiApplication::primaryScreen();
        const int room = shownOn
            ? shownOn->availableGeometry().height() - (m_clientSize.height() - StatusLineHeight) - statusHeight
            : PreviewHeight;
        previewHeight = qBound(SmallestPreviewHeight, room, PreviewHeight);
    }
    const int top = m_clientSize.height() - StatusLineHeight - 2;
    if (m_previewBox) {
        m_previewBox->setGeometry(8, top, m_clientSize.width() - 16, previewHeight - 6);
        m_previewBox->setVisible(m_previewShown);
    }
    setFixedSize(m_clientSize.width(), m_clientSize.height() - StatusLineHeight + previewHeight + statusHeight);
    m_statusLine->setGeometry(2, this->height() - 2 - statusHeight, width, statusHeight);
}

SetupWindow::~SetupWindow() = default;

const PreviewAssembly &SetupWindow::previewAssembly()
{
    if (!m_previewAssembly)
        m_previewAssembly = std::make_unique<PreviewAssembly>(
            PreviewAssembly::samplePictures(m_context.platform.files, m_context.applicationFolder));
    return *m_previewAssembly;
}

void SetupWindow::addPreview(std::function<PreviewContent()> source)
{
    if (!m_context.previews)
        return;
    m_previewBox = named<QGroupBox>(u"PreviewBox"_s, u"效果预览"_s, this);
    auto *layout = new QVBoxLayout(m_previewBox);
    layout->setContentsMargins(6, 2, 6, 4);
    m_preview = new EffectPreviewPane(m_context.platform.files, m_context.applicationFolder, m_previewBox);
    m_preview->setSource(std::move(source));
    layout->addWidget(m_preview);

    m_previewToggle = named<QToolButton>(u"PreviewToggle"_s, this);
    m_previewToggle->setToolTip(u"显示或隐藏效果预览"_s);
    m_previewToggle->setGeometry(m_clientSize.width() - 24 - 70, 5, 66, 18);
    // Drawn on the title strip like its caption, not as a grey button over it.
    m_previewToggle->setStyleSheet(u"QToolButton { color: white; background: transparent;"
                                   " border: 1px solid rgba(255, 255, 255, 150); border-radius: 2px; }"
                                   " QToolButton:hover { background: rgba(255, 255, 255, 60); }"_s);
    connect(m_previewToggle, &QToolButton::clicked, this, [this] {
        m_context.previews->setShown(EffectPreviews::Place::SetupWindows, !m_previewShown);
        showPreview(!m_previewShown);
    });

    // Every box, list and button of the window: what the preview assembles can change with any of them.
    const auto refresh = [this] { m_preview->refresh(); };
    for (QLineEdit *box : findChildren<QLineEdit *>())
        connect(box, &QLineEdit::textChanged, m_preview, refresh);
    for (QComboBox *box : findChildren<QComboBox *>())
        connect(box, &QComboBox::currentTextChanged, m_preview, refresh);
    for (QSpinBox *box : findChildren<QSpinBox *>())
        connect(box, &QSpinBox::valueChanged, m_preview, refresh);
    for (QListWidget *list : findChildren<QListWidget *>()) {
        connect(list->model(), &QAbstractItemModel::rowsInserted, m_preview, refresh);
        connect(list->model(), &QAbstractItemModel::rowsRemoved, m_preview, refresh);
    }
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        if (button != m_previewToggle)
            connect(button, &QAbstractButton::clicked, m_preview, refresh);

    showPreview(m_context.previews->shown(EffectPreviews::Place::SetupWindows));
}

void SetupWindow::showPreview(bool shown)
{
    m_previewShown = shown;
    m_previewToggle->setText(shown ? u"隐藏预览"_s : u"显示预览"_s);
    layoutBottom();
    // The engine starts once the window is on the screen, so the window never waits for it.
    if (shown && isVisible() && !m_preview->started())
        QTimer::singleShot(30, m_preview, &EffectPreviewPane::start);
}

void SetupWindow::showEvent(QShowEvent *event)
{
    FramelessDialog::showEvent(event);
    if (m_preview && m_previewShown && !m_preview->started())
        QTimer::singleShot(30, m_preview, &EffectPreviewPane::start);
}

void SetupWindow::done(int result)
{
    if (m_preview)
        m_preview->discard();
    FramelessDialog::done(result);
}

void SetupWindow::copyAndAssemble(const SetupFlow &flow, const SetupState &state, const DefinitionFile &definition,
    WhenMissing whenMissing, const std::function<void(SnippetSink &)> &assemble)
{
    bool cancelled = false;
    guarded([&] {
        if (SetupFlow::hasFilesToCopy(state))
            cancelled = !copyToChosenFolder(flow, state);
        if (!definition.exists()) {
            message(DefinitionFile::missingMessage());
            if (whenMissing == WhenMissing::Close)
                close();
            return;
        }
        BufferSink sink(m_context.buffers.snippets, m_context.platform.clipboard);
        assemble(sink);
        close();
    });
    if (cancelled)
        close();
}

void SetupWindow::addPicture(SetupState &state, QListWidget *images, const QString &filter)
{
    FileDialogRequest request;
    request.filter = filter;
    if (const auto picture = m_context.platform.dialogs.openPicture(request)) {
        state.images.append(*picture);
        images->addItem(*picture);
    }
}

QListWidget *SetupWindow::groupedList(const QString &caption, const QRect &place, const QString &listName)
{
    QGroupBox *box = WindowParts::group(this, caption, place);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(6, 4, 6, 6);
    auto *list = named<QListWidget>(listName, box);
    layout->addWidget(list);
    return list;
}

void SetupWindow::paintEvent(QPaintEvent *event)
{
    FramelessDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(m_frameColour, 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}
