#include "optionswindow.h"

#include "skinstab.h"
#include "systemtab.h"
#include "templatestab.h"
#include "app/artwork/artwork.h"
#include "widgets/framelessdialog.h"
#include "widgets/named.h"
#include "widgets/windowdrag.h"
#include "widgets/uistyle.h"

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
    : FramelessDialog(parent), m_context(context)
{
    setObjectName(u"sink_form"_s);
    setWindowTitle(u"皮肤设置"_s);
    setFixedSize(494, 346);
    setFont(UiStyle::songFont(12));

    Panel3 = named<QWidget>(u"Panel3"_s, this);
    Panel3->setGeometry(0, 0, width(), TitleHeight);
    Image1 = named<QLabel>(u"Image1"_s, Panel3);
    Image1->setGeometry(Panel3->rect());
    Image1->setScaledContents(true);
    Image1->setPixmap(titlePicture(width()));
    Label6 = named<QLabel>(u"Label6"_s, u"选项"_s, Panel3);
    QFont title = font();
    title.setPixelSize(16);
    title.setBold(true);
    Label6->setFont(title);
    QPalette white = Label6->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    Label6->setPalette(white);
    Label6->setGeometry(8, 2, 120, TitleHeight - 4);
    SpeedButton6 = named<QToolButton>(u"SpeedButton6"_s, Panel3);
    SpeedButton6->setText(u"✕"_s);
    SpeedButton6->setToolTip(u"关闭"_s);
    SpeedButton6->setAutoRaise(true);
    SpeedButton6->setGeometry(width() - 25, 1, 23, 22);
    auto *drag = new WindowDrag(this);
    drag->addHandle(Image1);
    drag->addHandle(Label6);

    PageControl1 = named<QTabWidget>(u"PageControl1"_s, this);
    PageControl1->setGeometry(1, TitleHeight, width() - 2, height() - TitleHeight - 1);
    PageControl1->setDocumentMode(true);
    TabSheet1 = named<SkinsTab>(u"TabSheet1"_s, context, PageControl1);
    TabSheet2 = named<SystemTab>(u"TabSheet2"_s, context, PageControl1);
    TabSheet3 = named<TemplatesTab>(u"TabSheet3"_s, context, PageControl1);
    TabSheet4 = named<QWidget>(u"TabSheet4"_s, PageControl1);
    PageControl1->addTab(TabSheet1, QIcon(QPixmap::fromImage(vellumo::artwork::icon(vellumo::artwork::IconSkins))), u"皮肤设置"_s);
    PageControl1->addTab(TabSheet2, QIcon(QPixmap::fromImage(vellumo::artwork::icon(vellumo::artwork::IconSystemSettings))), u"系统设置"_s);
    PageControl1->addTab(TabSheet3, QIcon(QPixmap::fromImage(vellumo::artwork::icon(vellumo::artwork::IconTemplates))), u"模板设置"_s);
    PageControl1->addTab(TabSheet4, u"退出"_s);

    connect(SpeedButton6, &QToolButton::clicked, this, &OptionsWindow::closeWindow);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == Exit)
            closeWindow();
    });

    fillLists();
}

void OptionsWindow::showOn(Tab tab)
{
    PageControl1->setCurrentIndex(tab);
    exec();
}

void OptionsWindow::fillLists()
{
    TabSheet1->fillSkinList();
}

void OptionsWindow::firstShown()
{
    TabSheet1->showCurrentSkin();
    TabSheet3->fillTemplateList();
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
