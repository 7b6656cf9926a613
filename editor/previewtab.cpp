#include "previewtab.h"

#include "artwork/artwork.h"
#include "browserview.h"
#include "document.h"
#include "platform/errorguard.h"
#include "widgets/flatlineedit.h"
#include "widgets/named.h"
#include "widgets/windowparts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PreviewTab::PreviewTab(Dialogs &dialogs, Document &document, QWidget *parent)
    : QWidget(parent)
    , m_dialogs(dialogs)
    , m_document(document)
{
    setObjectName(u"TabSheet2"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_addressBar = WindowParts::panel(this, u"Panel1"_s);
    m_addressBar->setFixedHeight(27);
    auto *addressBar = new QHBoxLayout(m_addressBar);
    addressBar->setContentsMargins(6, 2, 6, 2);
    addressBar->addWidget(WindowParts::pictureCaption(m_addressBar, u"Label8"_s, u"URL:"_s));
    m_addressBox = named<FlatLineEdit>(u"ADDEdit"_s, m_addressBar);
    m_addressBox->setFixedWidth(281);
    addressBar->addWidget(m_addressBox);
    m_goButton = named<QPushButton>(u"BitBtn1"_s, u"转到"_s, m_addressBar);
    m_goButton->setFixedHeight(22);
    // The retry arrow: "go there again".
    m_goButton->setIcon(QIcon(QPixmap::fromImage(vellumo::artwork::icon(vellumo::artwork::IconRefresh))));
    connect(m_goButton, &QPushButton::clicked, this, &PreviewTab::goToAddress);
    addressBar->addWidget(m_goButton);
    addressBar->addStretch(1);
    layout->addWidget(m_addressBar);
    m_unsavedNote = named<QLabel>(u"UnsavedPreviewNote"_s,
        u"这个网页还没有保存。特效需要的图片和脚本，要等网页保存到它们所在的文件夹后才能显示。"_s, this);
    m_unsavedNote->setWordWrap(true);
    m_unsavedNote->setContentsMargins(6, 3, 6, 3);
    m_unsavedNote->setAutoFillBackground(true);
    QPalette note = m_unsavedNote->palette();
    note.setColor(QPalette::Window, QColor(0xFF, 0xF8, 0xDC));
    note.setColor(QPalette::WindowText, Qt::black);
    m_unsavedNote->setPalette(note);
    m_unsavedNote->hide();
    layout->addWidget(m_unsavedNote);
    m_browserArea = WindowParts::panel(this, u"BrowserArea"_s);
    m_browserArea->setAutoFillBackground(true);
    QPalette white = m_browserArea->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_browserArea->setPalette(white);
    layout->addWidget(m_browserArea, 1);
}

void PreviewTab::guarded(const std::function<void()> &handler)
{
    ErrorGuard::run(m_dialogs, handler);
}

void PreviewTab::showPreview()
{
    m_unsavedNote->setVisible(m_document.pageFolder().isEmpty());
    guarded([this] {
        m_document.writePreview();
        if (!ensureBrowser())
            return;
        // A page that names no charset is read in the encoding it was opened in.
        m_browser->setDefaultTextEncoding(m_document.encoding() == PageEncoding::Gb18030 ? u"GB18030"_s : u"UTF-8"_s);
        const QString path = m_document.previewPath();
        m_browser->navigate(path);
        m_addressBox->setText(path);
    });
}

bool PreviewTab::ensureBrowser()
{
    if (m_browser)
        return true;
    const Explained<BrowserView *> made = BrowserView::create(m_browserArea);
    if (!made) {
        showPreviewProblem(made.why());
        return false;
    }
    m_browser = *made;
    m_browser->widget()->setObjectName(u"WebBrowser1"_s);
    auto *layout = new QVBoxLayout(m_browserArea);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser->widget());
    return true;
}

void PreviewTab::showPreviewProblem(const QString &reason)
{
    auto *problem = m_browserArea->findChild<QLabel *>(u"PreviewProblem"_s);
    if (!problem) {
        problem = named<QLabel>(u"PreviewProblem"_s, m_browserArea);
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

void PreviewTab::goToAddress()
{
    // Only the typed address: the preview file is written when the tab is entered, not here.
    guarded([this] {
        if (ensureBrowser())
            m_browser->navigate(m_addressBox->text());
    });
}
