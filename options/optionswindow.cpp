#include "optionswindow.h"

#include "artwork/artwork.h"
#include "skinstab.h"
#include "systemtab.h"
#include "templatestab.h"
#include "widgets/framelessdialog.h"
#include "widgets/named.h"
#include "widgets/titlestrip.h"
#include "widgets/uistyle.h"

#include <QPainter>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
constexpr int TitleHeight = 25;
}

OptionsWindow::OptionsWindow(const OptionsContext &context, QWidget *parent)
    : FramelessDialog(parent)
    , m_context(context)
{
    setObjectName(u"sink_form"_s);
    setWindowTitle(u"皮肤设置"_s);
    setFixedSize(494, 346);
    setFont(UiStyle::songFont(12));

    m_titleStrip = new TitleStrip(this, QRect(0, 0, width(), TitleHeight), u"选项"_s,
        { u"Panel3"_s, u"Image1"_s, u"Label6"_s, u"SpeedButton6"_s }, QColor(40, 70, 160), QColor(150, 180, 240));
    QFont title = font();
    title.setPixelSize(16);
    title.setBold(true);
    m_titleStrip->setCaptionFont(title);

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

    connect(m_titleStrip->closeButton(), &QToolButton::clicked, this, &OptionsWindow::closeWindow);
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
