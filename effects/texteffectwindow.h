#pragma once

#include "definitionfile.h"
#include "setupwindow.h"
#include "texteffect.h"

class ColorPickerButton;
class FlatComboBox;
class FlatLineEdit;
class QListWidget;
class QToolButton;
class SpinEdit;

// The text effect's setup window: rows of the user's text with a font and a colour, up to the
// count; "复制" copies the effect's files and puts the assembled code on the clipboard.
class TextEffectWindow : public SetupWindow
{
    Q_OBJECT
public:
    explicit TextEffectWindow(const SetupContext &context, QWidget *parent = nullptr);

    void prepareFonts();
    void firstShown() override;
    void showColour(const QColor &colour);
    void addImage();
    void addRows();
    void copyEffect();
    void closeWindow();

    const TextEffect &effect() const { return m_effect; }
    // The system's font families as the font box lists them.
    static QStringList fontList(const QStringList &families);
    // The picture dialog's filter: every image format the program reads.
    static QString pictureFilter();

private:
    TextInputs inputs() const;

    QListWidget *m_imageList;
    QListWidget *m_textFileList;
    FlatLineEdit *m_textBox;
    ColorPickerButton *m_colourButton;
    FlatLineEdit *m_colourBox;
    FlatComboBox *m_fontBox;
    SpinEdit *m_countBox;
    QToolButton *m_addImageButton;
    QToolButton *m_addRowsButton;
    QToolButton *m_copyButton;
    QToolButton *m_exitButton;
    QLabel *m_rowCounter; // hidden

    DefinitionFile m_definition;
    TextEffect m_effect;
};
