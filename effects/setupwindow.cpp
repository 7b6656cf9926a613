#include "setupwindow.h"

#include "buffersink.h"
#include "definitionfile.h"
#include "platform/dialogs.h"
#include "platform/errorguard.h"
#include "platform/platform.h"
#include "setupflow.h"
#include "widgets/framelessdialog.h"
#include "widgets/named.h"
#include "widgets/windowdrag.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
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

    m_titleStrip = new QLabel(this);
    m_titleStrip->setObjectName(u"Image1"_s);
    m_titleStrip->setGeometry(2, 2, clientSize.width() - 4, TitleHeight);
    m_titleStrip->setAutoFillBackground(false);
    (new WindowDrag(this))->addHandle(m_titleStrip);
    m_titleCaption = new QLabel(u"特效设置窗口"_s, m_titleStrip);
    m_titleCaption->setObjectName(u"Label3"_s);
    m_titleCaption->move(8, 6);
    QPalette titleText = m_titleCaption->palette();
    titleText.setColor(QPalette::WindowText, Qt::white);
    m_titleCaption->setPalette(titleText);
    m_titleCaption->adjustSize();
    m_titleCaption->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_closeButton = new QToolButton(this);
    m_closeButton->setObjectName(u"SpeedButton1"_s);
    m_closeButton->setText(u"✕"_s);
    m_closeButton->setToolTip(u"关闭"_s);
    m_closeButton->setAutoRaise(true);
    m_closeButton->setGeometry(clientSize.width() - 24, 4, 20, 20);
    connect(m_closeButton, &QToolButton::clicked, this, &QDialog::close);

    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(u"spanle"_s);
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
    disconnect(m_closeButton, nullptr, this, nullptr);
    connect(m_closeButton, &QToolButton::clicked, this, handler);
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
    // A hint longer than the window is wide takes more lines: the window grows downwards for them.
    const int width = m_clientSize.width() - 4;
    const int needed = m_statusLine->heightForWidth(width);
    // Wrapped lines keep the same room above and below as a single one.
    const int height = needed > StatusLineHeight ? needed + 6 : StatusLineHeight;
    setFixedSize(m_clientSize.width(), m_clientSize.height() - StatusLineHeight + height);
    m_statusLine->setGeometry(2, this->height() - 2 - height, width, height);
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
        BufferSink sink(*m_context.snippets, m_context.platform.clipboard);
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

QToolButton *SetupWindow::speedButton(const QString &name, const QString &caption, const QRect &place)
{
    auto *button = named<QToolButton>(name, this);
    button->setText(caption);
    button->setGeometry(place);
    return button;
}

QLabel *SetupWindow::caption(const QString &text, const QRect &place, Qt::Alignment alignment)
{
    auto *label = new QLabel(text, this);
    label->setGeometry(place);
    label->setAlignment(alignment);
    return label;
}

QListWidget *SetupWindow::groupedList(const QString &caption, const QRect &place, const QString &listName)
{
    auto *box = new QGroupBox(caption, this);
    box->setGeometry(place);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(6, 4, 6, 6);
    auto *list = new QListWidget(box);
    list->setObjectName(listName);
    layout->addWidget(list);
    return list;
}

void SetupWindow::paintEvent(QPaintEvent *event)
{
    FramelessDialog::paintEvent(event);
    QPainter painter(this);
    QLinearGradient title(0, 0, width(), 0);
    title.setColorAt(0, m_frameColour);
    title.setColorAt(1, QColor(150, 170, 255));
    painter.fillRect(QRect(2, 2, width() - 4, TitleHeight), title);
    painter.setPen(QPen(m_frameColour, 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}
