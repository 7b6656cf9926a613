#include "setupwindow.h"

#include "buffersink.h"
#include "definitionfile.h"
#include "setupflow.h"
#include "platform/dialogs.h"
#include "platform/errorguard.h"
#include "platform/platform.h"
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
    : FramelessDialog(parent), m_context(context), m_frameColour(frameColour)
{
    setFixedSize(clientSize);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xc0, 0xc0, 0xc0));
    setPalette(palette);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(u"Image1"_s);
    Image1->setGeometry(2, 2, clientSize.width() - 4, TitleHeight);
    Image1->setAutoFillBackground(false);
    (new WindowDrag(this))->addHandle(Image1);
    Label3 = new QLabel(u"特效设置窗口"_s, Image1);
    Label3->setObjectName(u"Label3"_s);
    Label3->move(8, 6);
    QPalette titleText = Label3->palette();
    titleText.setColor(QPalette::WindowText, Qt::white);
    Label3->setPalette(titleText);
    Label3->adjustSize();
    Label3->setAttribute(Qt::WA_TransparentForMouseEvents);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(u"SpeedButton1"_s);
    SpeedButton1->setText(u"✕"_s);
    SpeedButton1->setToolTip(u"关闭"_s);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setGeometry(clientSize.width() - 24, 4, 20, 20);
    connect(SpeedButton1, &QToolButton::clicked, this, &QDialog::close);

    spanle = new QLabel(this);
    spanle->setObjectName(u"spanle"_s);
    spanle->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    spanle->setGeometry(2, clientSize.height() - 22, clientSize.width() - 4, 20);
    spanle->setIndent(4);
}

bool SetupWindow::guarded(const std::function<void()> &handler)
{
    return ErrorGuard::run(m_context.platform.dialogs, handler);
}

void SetupWindow::message(const QString &text)
{
    m_context.platform.dialogs.message(text);
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
    spanle->setText(state.status);
    // A long hint runs past the panel's end; the whole line shows when the mouse rests on it.
    spanle->setToolTip(state.status);
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
