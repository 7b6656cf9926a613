#include "menueffectwindow.h"

#include "buffersink.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/vellumoerror.h"
#include "previewassembly.h"
#include "widgets/flatlineedit.h"
#include "widgets/focusonhover.h"
#include "widgets/named.h"
#include "widgets/numericedit.h"
#include "widgets/spinedit.h"
#include "widgets/windowparts.h"

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
    : SetupWindow(context, QSize(505, 327), parent)
    , m_definition(context.platform.files, context.applicationFolder, context.category, context.effect)
    , m_effect(context.platform.files, m_definition, flagOf(context, m_ownParentMenuFlag))
{
    setObjectName(u"vc3_form"_s);
    setWindowTitle(u"特效设置"_s);

    m_imageList = groupedList(u"即被复制图像文件名"_s, QRect(8, 30, 240, 100), u"ListBox1"_s);
    m_textFileList = groupedList(u"即被复制文本文件名"_s, QRect(256, 30, 241, 100), u"ListBox2"_s);

    WindowParts::caption(
        this, u"本特效需要设置菜单的大小：长："_s, QRect(8, 140, 190, 22), Qt::AlignRight | Qt::AlignVCenter);
    m_widthBox = named<NumericEdit>(u"NumEdit1"_s, this);
    m_widthBox->setGeometry(200, 140, 80, 22);
    m_widthBox->setText(u"0"_s);
    WindowParts::caption(this, u"高："_s, QRect(284, 140, 30, 22), Qt::AlignRight | Qt::AlignVCenter);
    m_heightBox = named<NumericEdit>(u"NumEdit2"_s, this);
    m_heightBox->setGeometry(316, 140, 80, 22);
    m_heightBox->setText(u"0"_s);
    m_setSizeButton = WindowParts::speedButton(this, u"SpeedButton7"_s, u"设置"_s, QRect(405, 139, 92, 24));

    WindowParts::caption(this, u"母菜单名称："_s, QRect(8, 172, 90, 22), Qt::AlignRight | Qt::AlignVCenter);
    m_parentNameBox = named<FlatLineEdit>(u"Edit1"_s, this);
    m_parentNameBox->setGeometry(100, 172, 180, 22);
    WindowParts::caption(this, u"子菜单的项目数："_s, QRect(284, 172, 130, 22), Qt::AlignRight | Qt::AlignVCenter);
    m_submenuCountBox = named<SpinEdit>(u"RxSpinEdit1"_s, this);
    m_submenuCountBox->setGeometry(417, 172, 80, 22);

    WindowParts::caption(this, u"子菜单名称："_s, QRect(8, 204, 90, 22), Qt::AlignRight | Qt::AlignVCenter);
    m_submenuNameBox = named<FlatLineEdit>(u"Edit2"_s, this);
    m_submenuNameBox->setGeometry(100, 204, 180, 22);
    WindowParts::caption(this, u"链接地址："_s, QRect(8, 236, 90, 22), Qt::AlignRight | Qt::AlignVCenter);
    m_linkBox = named<FlatLineEdit>(u"Edit3"_s, this);
    m_linkBox->setGeometry(100, 236, 397, 22);
    m_linkBox->setText(u"http://"_s);

    m_addParentButton = WindowParts::speedButton(this, u"SpeedButton2"_s, u"增加母菜单"_s, QRect(8, 270, 92, 26));
    m_addSubmenuButton = WindowParts::speedButton(this, u"SpeedButton3"_s, u"增加子菜单"_s, QRect(106, 270, 92, 26));
    m_addImageButton = WindowParts::speedButton(this, u"SpeedButton4"_s, u"增加图像文件"_s, QRect(204, 270, 104, 26));
    m_copyButton = WindowParts::speedButton(this, u"SpeedButton5"_s, u"复制开始"_s, QRect(314, 270, 88, 26));
    m_exitButton = WindowParts::speedButton(this, u"SpeedButton6"_s, u"退出"_s, QRect(408, 270, 89, 26));
    m_submenuCounter = named<QLabel>(u"Label1"_s, u"0"_s, this);
    m_submenuCounter->hide();

    setCloseHandler([this] { closeWindow(); });
    connect(m_exitButton, &QToolButton::clicked, this, &MenuEffectWindow::closeWindow);
    connect(m_setSizeButton, &QToolButton::clicked, this, &MenuEffectWindow::setSize);
    connect(m_addParentButton, &QToolButton::clicked, this, &MenuEffectWindow::addParentMenu);
    connect(m_addSubmenuButton, &QToolButton::clicked, this, &MenuEffectWindow::addSubmenu);
    connect(m_addImageButton, &QToolButton::clicked, this, &MenuEffectWindow::addImage);
    connect(m_copyButton, &QToolButton::clicked, this, &MenuEffectWindow::copyEffect);
    connect(m_submenuCountBox, &SpinEdit::bottomClicked, this, &MenuEffectWindow::stepSubmenuCount);
    // The control under the mouse takes the focus; a size box under it is drawn sunken, the other
    // raised, and a text box raises both. The count box changes no frame.
    FocusOnHover::install(m_submenuCountBox);
    FocusOnHover::install(m_widthBox, [this](bool) { sinkSizeBox(m_widthBox); });
    FocusOnHover::install(m_heightBox, [this](bool) { sinkSizeBox(m_heightBox); });
    for (FlatLineEdit *box : { m_parentNameBox, m_submenuNameBox, m_linkBox })
        FocusOnHover::install(box, [this](bool) { sinkSizeBox(nullptr); });

    addPreview([this] {
        if (!m_effect.state.opened)
            throw VellumoError(DefinitionFile::missingMessage());
        return previewAssembly().menu(m_effect, inputs(), m_context.buffers.rows);
    });

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
    showOpened(m_imageList, m_textFileList, m_effect.state);
    if (!m_effect.state.opened) {
        message(DefinitionFile::missingMessage());
        // Without its definition file the window has nothing to count against.
        for (QToolButton *b :
            { m_setSizeButton, m_addParentButton, m_addSubmenuButton, m_addImageButton, m_copyButton })
            b->setEnabled(false);
        return;
    }
    m_addParentButton->setEnabled(m_effect.switches.parentMenuButton);
    m_submenuCountBox->setEnabled(m_effect.switches.countBox);
    m_setSizeButton->setEnabled(m_effect.switches.sizeButton);
}

MenuInputs MenuEffectWindow::inputs() const
{
    return { m_widthBox->text(), m_heightBox->text(), m_parentNameBox->text(), m_submenuNameBox->text(),
        m_linkBox->text(), m_submenuCountBox->shownText() };
}

void MenuEffectWindow::showMessageFor(MenuEffect::AddResult result)
{
    switch (result) {
    case MenuEffect::AddResult::EmptyName:
        message(MenuEffect::emptyParentNameMessage());
        return;
    case MenuEffect::AddResult::NeedsParentMenu:
        message(MenuEffect::needsParentMenuMessage());
        return;
    case MenuEffect::AddResult::Full:
        message(MenuEffect::submenusFullMessage());
        return;
    case MenuEffect::AddResult::DefinitionMissing:
        message(DefinitionFile::missingMessage());
        return;
    case MenuEffect::AddResult::WrongImages:
        message(MenuEffect::wrongImagesMessage());
        return;
    case MenuEffect::AddResult::Added:
        return;
    }
}

void MenuEffectWindow::setSize()
{
    if (m_effect.setSize(m_widthBox->text(), m_heightBox->text()) == MenuEffect::SizeResult::Zero) {
        message(MenuEffect::zeroSizeMessage());
        return;
    }
    m_setSizeButton->setEnabled(false);
    m_widthBox->setReadOnly(true);
    m_heightBox->setReadOnly(true);
}

void MenuEffectWindow::addParentMenu()
{
    guarded([this] {
        BufferSink rows(m_context.buffers.rows);
        const MenuEffect::AddResult result = m_effect.addParentMenu(m_parentNameBox->text(), rows);
        showMessageFor(result);
        if (result != MenuEffect::AddResult::Added)
            return;
        m_submenuCounter->setText(m_effect.submenusText());
        m_submenuCountBox->setValue(1);
        m_parentNameBox->clear();
        m_submenuNameBox->setFocus(Qt::OtherFocusReason);
    });
}

void MenuEffectWindow::addSubmenu()
{
    guarded([this] {
        BufferSink rows(m_context.buffers.rows);
        const MenuEffect::AddResult result = m_effect.addSubmenu(inputs(), rows);
        showMessageFor(result);
        if (result != MenuEffect::AddResult::Added)
            return;
        m_submenuNameBox->clear();
        m_linkBox->setText(u"http://"_s);
        m_submenuNameBox->setFocus(Qt::OtherFocusReason);
    });
    // A row stopped by a missing image has counted its submenu already.
    m_submenuCounter->setText(m_effect.submenusText());
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
        addPicture(m_effect.state, m_imageList, SetupFlow::pictureFilter());
    });
}

void MenuEffectWindow::copyEffect()
{
    if (m_effect.sizeWanted()) {
        message(MenuEffect::sizeWantedMessage());
        return;
    }
    copyAndAssemble(m_effect.flow(), m_effect.state, m_definition, WhenMissing::StayOpen,
        [this](SnippetSink &sink) { m_effect.assemble(inputs(), m_context.buffers.rows, sink); });
}

void MenuEffectWindow::closeWindow()
{
    close();
}

void MenuEffectWindow::stepSubmenuCount()
{
    m_submenuCountBox->setValue(m_submenuCountBox->value() + 1);
}

void MenuEffectWindow::sinkSizeBox(NumericEdit *box)
{
    m_widthBox->setSunken(box == m_widthBox);
    m_heightBox->setSunken(box == m_heightBox);
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
