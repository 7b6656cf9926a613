#include "optionswindow.h"

#include "app/artwork/artwork.h"
#include "skinstab.h"
#include "systemtab.h"
#include "templatestab.h"
#include "widgets/framelessdialog.h"
#include "widgets/named.h"
#include "widgets/uistyle.h"
#include "widgets/windowdrag.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
constexpr int TitleHeight = 25;

QPixmap titlePicture(int width)
{
    QPixmap picture(width, TitleHeight);
    QPainter painter(&picture);
    QLinearGradient shade(0, 0, width, 0);
    shade.setColorAt(0, QColor(40, 70, 160));
    shade.setColorAt(1, QColor(150, 180, 240));
    painter.fillRect(picture.rect(), shade);
    return picture;
}
}

OptionsWindow::OptionsWindow(const OptionsContext &context, QWidget *parent)
    : FramelessDialog(parent)
    , m_context(context)
{
    setObjectName(u"sink_form"_s);
    setWindowTitle(u"皮肤设置"_s);
    setFixedSize(494, 346);
    setFont(UiStyle::songFont(12));

    m_titleStrip = named<QWidget>(u"Panel3"_s, this);
    m_titleStrip->setGeometry(0, 0, width(), TitleHeight);
    m_titlePicture = named<QLabel>(u"Image1"_s, m_titleStrip);
    m_titlePicture->setGeometry(m_titleStrip->rect());
    m_titlePicture->setScaledContents(true);
    m_titlePicture->setPixmap(titlePicture(width()));
    m_titleCaption = named<QLabel>(u"Label6"_s, u"选项"_s, m_titleStrip);
    QFont title = font();
    title.setPixelSize(16);
    title.setBold(true);
    m_titleCaption->setFont(title);
    QPalette white = m_titleCaption->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_titleCaption->setPalette(white);
    m_titleCaption->setGeometry(8, 2, 120, TitleHeight - 4);
    m_closeButton = named<QToolButton>(u"SpeedButton6"_s, m_titleStrip);
    m_closeButton->setText(u"✕"_s);
    m_closeButton->setToolTip(u"关闭"_s);
    m_closeButton->setAutoRaise(true);
    m_closeButton->setGeometry(width() - 25, 1, 23, 22);
    auto *drag = new WindowDrag(this);
    drag->addHandle(m_titlePicture);
    drag->addHandle(m_titleCaption);

    m_tabs = named<QTabWidget>(u"PageControl1"_s, this);
    m_tabs->setGeometry(1, TitleHeight, width() - 2, height() - TitleHeight - 1);
    m_tabs->setDocumentMode(true);
    m_skinsTab = named<SkinsTab>(u"TabSheet1"_s, context, m_tabs);
    connect(m_skinsTab, &SkinsTab::skinChanged, this, &OptionsWindow::skinChanged);
    m_systemTab = named<SystemTab>(u"TabSheet2"_s, context, m_tabs);
    m_templatesTab = named<TemplatesTab>(u"TabSheet3"_s, context, m_tabs);
    m_exitTab = named<QWidget>(u"TabSheet4"_s, m_tabs);
    m_tabs->addTab(
        m_skinsTab, QIcon(QPixmap::fromImage(vellumo::artwork::icon(vellumo::artwork::IconSkins))), u"皮肤设置"_s);
    m_tabs->addTab(m_systemTab, QIcon(QPixmap::fromImage(vellumo::artwork::icon(vellumo::artwork::IconSystemSettings))),
        u"系统设置"_s);
    m_tabs->addTab(m_templatesTab, QIcon(QPixmap::fromImage(vellumo::artwork::icon(vellumo::artwork::IconTemplates))),
        u"模板设置"_s);
    m_tabs->addTab(m_exitTab, u"退出"_s);

    connect(m_closeButton, &QToolButton::clicked, this, &OptionsWindow::closeWindow);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == Exit)
            closeWindow();
    });

    fillLists();
}

void OptionsWindow::showOn(Tab tab)
{
    m_tabs->setCurrentIndex(tab);
    exec();
}

void OptionsWindow::fillLists()
{
    m_skinsTab->fillSkinList();
}

void OptionsWindow::firstShown()
{
    m_skinsTab->showCurrentSkin();
    m_templatesTab->fillTemplateList();
}

void OptionsWindow::paintEvent(QPaintEvent *event)
{
    FramelessDialog::paintEvent(event);
    // Without a system frame the window needs an edge of its own against what lies behind it.
    QPainter painter(this);
    painter.setPen(QColor(40, 70, 160));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void OptionsWindow::closeWindow()
{
    close();
}
