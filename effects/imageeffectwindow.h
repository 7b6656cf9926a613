#pragma once

#include "definitionfile.h"
#include "imageeffect.h"
#include "setupwindow.h"

class NumericEdit;
class QListWidget;
class QPushButton;
class QToolButton;

// The image effect's setup window: pictures for the effect's slots, one width and height pair per
// picture, then "复制" copies the files and puts the assembled code on the clipboard.
class ImageEffectWindow : public SetupWindow
{
    Q_OBJECT
public:
    explicit ImageEffectWindow(const SetupContext &context, QWidget *parent = nullptr);

    QListWidget *ListBox1; // images
    QListWidget *ListBox2; // text files
    QListWidget *ListBox4; // widths
    QListWidget *ListBox3; // heights
    NumericEdit *NumEdit1;
    NumericEdit *NumEdit2;
    QToolButton *SpeedButton2;
    QPushButton *Button4;
    QPushButton *Button5;
    QPushButton *Button6;

    void firstShown() override;
    void addImage();
    void setSize();
    void copyEffect();
    void followWidthRow();
    void followHeightRow();
    void focusWidthUnderMouse();
    void focusHeightUnderMouse();

    const ImageEffect &effect() const { return m_effect; }

protected:
    void done(int result) override;

private:
    void finish();

    DefinitionFile m_definition;
    ImageEffect m_effect;
    bool m_closed = false;
};
