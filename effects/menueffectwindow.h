#pragma once

#include "definitionfile.h"
#include "menueffect.h"
#include "setupwindow.h"

class FlatLineEdit;
class NumericEdit;
class QListWidget;
class QToolButton;
class SpinEdit;

// The menu effect's setup window: the menu's size, then parent menus and their submenus (each with
// its image when the menu shows pictures) one by one; "复制开始" copies the effect's files and puts
// the assembled code on the clipboard.
class MenuEffectWindow : public SetupWindow
{
    Q_OBJECT
public:
    explicit MenuEffectWindow(const SetupContext &context, QWidget *parent = nullptr);

    void emptyBuffers();
    void firstShown() override;
    void setSize();
    void addParentMenu();
    void addSubmenu();
    void addImage();
    void copyEffect();
    void closeWindow();
    void stepSubmenuCount();

    const MenuEffect &effect() const { return m_effect; }

protected:
    void done(int result) override;

private:
    // The size box under the mouse drawn sunken, the other raised; none for neither.
    void sinkSizeBox(NumericEdit *box);
    void finish();
    MenuInputs inputs() const;
    void showMessageFor(MenuEffect::AddResult result);

    QListWidget *m_imageList;
    QListWidget *m_textFileList;
    NumericEdit *m_widthBox;
    NumericEdit *m_heightBox;
    QToolButton *m_setSizeButton;
    FlatLineEdit *m_parentNameBox;
    SpinEdit *m_submenuCountBox;
    FlatLineEdit *m_submenuNameBox;
    FlatLineEdit *m_linkBox;
    QToolButton *m_addParentButton;
    QToolButton *m_addSubmenuButton;
    QToolButton *m_addImageButton;
    QToolButton *m_copyButton;
    QToolButton *m_exitButton;
    QLabel *m_submenuCounter; // hidden

    DefinitionFile m_definition;
    bool m_ownParentMenuFlag = true;
    MenuEffect m_effect;
    bool m_closed = false;
};
