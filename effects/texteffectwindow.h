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

    QListWidget *ListBox1; // images
    QListWidget *ListBox2; // text files
    FlatLineEdit *RFlatEdit1;
    ColorPickerButton *ColorPickerButton1;
    FlatLineEdit *v11;
    FlatComboBox *RFlatComboBox2;
    SpinEdit *RxSpinEdit1;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton3;
    QToolButton *SpeedButton5;
    QToolButton *SpeedButton4;
    QLabel *Label4; // the rows counter

    void prepareFonts();
    void firstShown() override;
    void showColour(const QColor &colour);
    void focusTextUnderMouse();
    void focusCountUnderMouse();
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

    DefinitionFile m_definition;
    TextEffect m_effect;
};
