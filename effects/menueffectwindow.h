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

    QListWidget *ListBox1; // images
    QListWidget *ListBox2; // text files
    NumericEdit *NumEdit1;
    NumericEdit *NumEdit2;
    QToolButton *SpeedButton7;
    FlatLineEdit *Edit1;
    SpinEdit *RxSpinEdit1;
    FlatLineEdit *Edit2;
    FlatLineEdit *Edit3;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton3;
    QToolButton *SpeedButton4;
    QToolButton *SpeedButton5;
    QToolButton *SpeedButton6;
    QLabel *Label1; // the submenu counter

    void emptyBuffers();
    void firstShown() override;
    void setSize();
    void addParentMenu();
    void addSubmenu();
    void addImage();
    void copyEffect();
    void closeWindow();
    void stepSubmenuCount();
    void focusWidthUnderMouse();
    void focusHeightUnderMouse();
    void textBoxMouseMove(FlatLineEdit *box);
    void focusCountUnderMouse();

    const MenuEffect &effect() const { return m_effect; }

protected:
    void done(int result) override;

private:
    void finish();
    MenuInputs inputs() const;
    void showMessageFor(MenuEffect::AddResult result);

    DefinitionFile m_definition;
    bool m_ownParentMenuFlag = true;
    MenuEffect m_effect;
    bool m_closed = false;
};
