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

    void firstShown() override;
    void addImage();
    void setSize();
    void copyEffect();
    void followWidthRow();
    void followHeightRow();

    const ImageEffect &effect() const { return m_effect; }

protected:
    void done(int result) override;

private:
    // The size box under the mouse drawn sunken, the other raised; none for neither.
    void sinkSizeBox(NumericEdit *box);
    void finish();

    QListWidget *m_imageList;
    QListWidget *m_textFileList;
    QListWidget *m_widthList;
    QListWidget *m_heightList;
    NumericEdit *m_widthBox;
    NumericEdit *m_heightBox;
    QToolButton *m_setSizeButton;
    QPushButton *m_addImageButton;
    QPushButton *m_copyButton;
    QPushButton *m_exitButton;

    DefinitionFile m_definition;
    ImageEffect m_effect;
    bool m_closed = false;
};
