#include "menueffectwindow.h"

#include "buffersink.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "widgets/flatlineedit.h"
#include "widgets/named.h"
#include "widgets/numericedit.h"
#include "widgets/spinedit.h"
#include "widgets/textbufferedit.h"

#include <QLabel>
#include <QListWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
bool &flagOf(const SetupContext &context, bool &own)
{
    return context.parentMenuNeeded ? *context.parentMenuNeeded : own;
}
}

MenuEffectWindow::MenuEffectWindow(const SetupContext &context, QWidget *parent)
    : SetupWindow(context, QSize(505, 327), parent),
      m_definition(context.platform.files, context.applicationFolder, context.category, context.effect),
      m_effect(context.platform.files, m_definition, flagOf(context, m_ownParentMenuFlag))
{
    setObjectName(u"vc3_form"_s);
    setWindowTitle(u"特效设置"_s);

    ListBox1 = groupedList(u"即被复制图像文件名"_s, QRect(8, 30, 240, 100), u"ListBox1"_s);
    ListBox2 = groupedList(u"即被复制文本文件名"_s, QRect(256, 30, 241, 100), u"ListBox2"_s);

    caption(u"本特效需要设置菜单的大小：长："_s, QRect(8, 140, 190, 22), Qt::AlignRight | Qt::AlignVCenter);
    NumEdit1 = named<NumericEdit>(u"NumEdit1"_s, this);
    NumEdit1->setGeometry(200, 140, 80, 22);
    NumEdit1->setText(u"0"_s);
    caption(u"高："_s, QRect(284, 140, 30, 22), Qt::AlignRight | Qt::AlignVCenter);
    NumEdit2 = named<NumericEdit>(u"NumEdit2"_s, this);
    NumEdit2->setGeometry(316, 140, 80, 22);
    NumEdit2->setText(u"0"_s);
    SpeedButton7 = speedButton(u"SpeedButton7"_s, u"设置"_s, QRect(405, 139, 92, 24));

    caption(u"母菜单名称："_s, QRect(8, 172, 90, 22), Qt::AlignRight | Qt::AlignVCenter);
    Edit1 = named<FlatLineEdit>(u"Edit1"_s, this);
    Edit1->setGeometry(100, 172, 180, 22);
    caption(u"子菜单的项目数："_s, QRect(284, 172, 130, 22), Qt::AlignRight | Qt::AlignVCenter);
    RxSpinEdit1 = named<SpinEdit>(u"RxSpinEdit1"_s, this);
    RxSpinEdit1->setGeometry(417, 172, 80, 22);

    caption(u"子菜单名称："_s, QRect(8, 204, 90, 22), Qt::AlignRight | Qt::AlignVCenter);
    Edit2 = named<FlatLineEdit>(u"Edit2"_s, this);
    Edit2->setGeometry(100, 204, 180, 22);
    caption(u"链接地址："_s, QRect(8, 236, 90, 22), Qt::AlignRight | Qt::AlignVCenter);
    Edit3 = named<FlatLineEdit>(u"Edit3"_s, this);
    Edit3->setGeometry(100, 236, 397, 22);
    Edit3->setText(u"http://"_s);

    SpeedButton2 = speedButton(u"SpeedButton2"_s, u"增加母菜单"_s, QRect(8, 270, 92, 26));
    SpeedButton3 = speedButton(u"SpeedButton3"_s, u"增加子菜单"_s, QRect(106, 270, 92, 26));
    SpeedButton4 = speedButton(u"SpeedButton4"_s, u"增加图像文件"_s, QRect(204, 270, 104, 26));
    SpeedButton5 = speedButton(u"SpeedButton5"_s, u"复制开始"_s, QRect(314, 270, 88, 26));
    SpeedButton6 = speedButton(u"SpeedButton6"_s, u"退出"_s, QRect(408, 270, 89, 26));
    Label1 = named<QLabel>(u"Label1"_s, u"0"_s, this);
    Label1->hide();

    disconnect(SpeedButton1, nullptr, this, nullptr);
    connect(SpeedButton1, &QToolButton::clicked, this, &MenuEffectWindow::closeWindow);
    connect(SpeedButton6, &QToolButton::clicked, this, &MenuEffectWindow::closeWindow);
    connect(SpeedButton7, &QToolButton::clicked, this, &MenuEffectWindow::setSize);
    connect(SpeedButton2, &QToolButton::clicked, this, &MenuEffectWindow::addParentMenu);
    connect(SpeedButton3, &QToolButton::clicked, this, &MenuEffectWindow::addSubmenu);
    connect(SpeedButton4, &QToolButton::clicked, this, &MenuEffectWindow::addImage);
    connect(SpeedButton5, &QToolButton::clicked, this, &MenuEffectWindow::copyEffect);
    connect(RxSpinEdit1, &SpinEdit::bottomClicked, this, &MenuEffectWindow::stepSubmenuCount);
    connect(RxSpinEdit1, &SpinEdit::mouseMoved, this, &MenuEffectWindow::focusCountUnderMouse);
    connect(NumEdit1, &NumericEdit::mouseMoved, this, &MenuEffectWindow::focusWidthUnderMouse);
    connect(NumEdit2, &NumericEdit::mouseMoved, this, &MenuEffectWindow::focusHeightUnderMouse);
    for (FlatLineEdit *box : {Edit1, Edit2, Edit3})
        connect(box, &FlatLineEdit::mouseMoved, this, [this, box] { textBoxMouseMove(box); });

    emptyBuffers();
}

void MenuEffectWindow::emptyBuffers()
{
    m_context.emptyBuffers();
}

void MenuEffectWindow::firstShown()
{
    // What was listed before a count that is no number stays listed.
    guarded([this] { m_effect.open(); });
    showOpened(ListBox1, ListBox2, m_effect.state);
    if (!m_effect.state.opened) {
        message(DefinitionFile::missingMessage());
        // Without its definition file the window has nothing to count against.
        for (QToolButton *b : {SpeedButton7, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5})
            b->setEnabled(false);
        return;
    }
    SpeedButton2->setEnabled(m_effect.switches.parentMenuButton);
    RxSpinEdit1->setEnabled(m_effect.switches.countBox);
    SpeedButton7->setEnabled(m_effect.switches.sizeButton);
}

MenuInputs MenuEffectWindow::inputs() const
{
    return {NumEdit1->text(), NumEdit2->text(), Edit1->text(), Edit2->text(), Edit3->text(), RxSpinEdit1->shownText()};
}

void MenuEffectWindow::showMessageFor(MenuEffect::AddResult result)
{
    switch (result) {
    case MenuEffect::AddResult::EmptyName: message(MenuEffect::emptyParentNameMessage()); return;
    case MenuEffect::AddResult::NeedsParentMenu: message(MenuEffect::needsParentMenuMessage()); return;
    case MenuEffect::AddResult::Full: message(MenuEffect::submenusFullMessage()); return;
    case MenuEffect::AddResult::DefinitionMissing: message(DefinitionFile::missingMessage()); return;
    case MenuEffect::AddResult::WrongImages: message(MenuEffect::wrongImagesMessage()); return;
    case MenuEffect::AddResult::Added: return;
    }
}

void MenuEffectWindow::setSize()
{
    if (m_effect.setSize(NumEdit1->text(), NumEdit2->text()) == MenuEffect::SizeResult::Zero) {
        message(MenuEffect::zeroSizeMessage());
        return;
    }
    SpeedButton7->setEnabled(false);
    NumEdit1->setReadOnly(true);
    NumEdit2->setReadOnly(true);
}

void MenuEffectWindow::addParentMenu()
{
    guarded([this] {
        BufferSink rows(*m_context.rows);
        const MenuEffect::AddResult result = m_effect.addParentMenu(Edit1->text(), rows);
        showMessageFor(result);
        if (result != MenuEffect::AddResult::Added)
            return;
        Label1->setText(m_effect.submenusText());
        RxSpinEdit1->setValue(1);
        Edit1->clear();
        Edit2->setFocus(Qt::OtherFocusReason);
    });
}

void MenuEffectWindow::addSubmenu()
{
    guarded([this] {
        BufferSink rows(*m_context.rows);
        const MenuEffect::AddResult result = m_effect.addSubmenu(inputs(), rows);
        showMessageFor(result);
        if (result != MenuEffect::AddResult::Added)
            return;
        Edit2->clear();
        Edit3->setText(u"http://"_s);
        Edit2->setFocus(Qt::OtherFocusReason);
    });
    // A row stopped by a missing image has counted its submenu already.
    Label1->setText(m_effect.submenusText());
}

void MenuEffectWindow::addImage()
{
    guarded([this] {
        switch (m_effect.beforeAddingImage()) {
        case MenuEffect::ImageCheck::Full:
            message(MenuEffect::imagesFullMessage());
            return;
        case MenuEffect::ImageCheck::DefinitionMissing:
            message(DefinitionFile::missingMessage());
            return;
        case MenuEffect::ImageCheck::NoImages:
            return;
        case MenuEffect::ImageCheck::Ask:
            break;
        }
        addPicture(m_effect.state, ListBox1, SetupFlow::pictureFilter());
    });
}

void MenuEffectWindow::copyEffect()
{
    if (m_effect.sizeWanted()) {
        message(MenuEffect::sizeWantedMessage());
        return;
    }
    copyAndAssemble(m_effect.flow(), m_effect.state, m_definition, WhenMissing::StayOpen,
                    [this](SnippetSink &sink) { m_effect.assemble(inputs(), m_context.rows->text(), sink); });
}

void MenuEffectWindow::closeWindow()
{
    close();
}

void MenuEffectWindow::stepSubmenuCount()
{
    RxSpinEdit1->setValue(RxSpinEdit1->value() + 1);
}

void MenuEffectWindow::focusWidthUnderMouse()
{
    NumEdit1->setFocus(Qt::MouseFocusReason);
    NumEdit1->setSunken(true);
    NumEdit2->setSunken(false);
}

void MenuEffectWindow::focusHeightUnderMouse()
{
    NumEdit2->setFocus(Qt::MouseFocusReason);
    NumEdit2->setSunken(true);
    NumEdit1->setSunken(false);
}

void MenuEffectWindow::textBoxMouseMove(FlatLineEdit *box)
{
    box->setFocus(Qt::MouseFocusReason);
    NumEdit1->setSunken(false);
    NumEdit2->setSunken(false);
}

void MenuEffectWindow::focusCountUnderMouse()
{
    RxSpinEdit1->setFocus(Qt::MouseFocusReason);
}

void MenuEffectWindow::done(int result)
{
    finish();
    SetupWindow::done(result);
}

void MenuEffectWindow::finish()
{
    if (m_closed)
        return;
    m_closed = true;
    m_context.emptyBuffers();
}
