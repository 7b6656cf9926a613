#pragma once

#include "optionstab.h"

class FlatLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

// The skins page: defining a skin from two pictures, and choosing the current one.
class SkinsTab : public OptionsTab
{
    Q_OBJECT
public:
    SkinsTab(const OptionsContext &context, QWidget *parent);

    FlatLineEdit *Edit1; // skin name
    FlatLineEdit *Edit2; // main-window picture
    QPushButton *Button1;
    FlatLineEdit *Edit3; // status-bar picture
    QPushButton *Button2;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QListWidget *ListBox1;
    QToolButton *SpeedButton3;
    QToolButton *SpeedButton4;
    QToolButton *SpeedButton5;
    FlatLineEdit *Edit4; // current skin

    void fillSkinList();
    void showCurrentSkin();
    void chooseMainPicture();
    void chooseStatusPicture();
    void saveSkin();
    void clearFields();
    void describeSkin();
    void changeSkin();
    void defaultSkin();

    static QString pictureFilter();

private:
    void choosePicture(FlatLineEdit *field);
    // The selected skin's number, from 1; 0 when no line is selected.
    int selectedSkin() const;
};
