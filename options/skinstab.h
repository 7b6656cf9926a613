#pragma once

#include "optionstab.h"

#include <QPixmap>

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

signals:
    // A skin was chosen: the main window shows its pictures. A null picture leaves that one as it is.
    void skinChanged(const QPixmap &mainPicture, const QPixmap &statusPicture);

private:
    void choosePicture(FlatLineEdit *field);
    // The selected skin's number, from 1; 0 when no line is selected.
    int selectedSkin() const;

    FlatLineEdit *m_nameBox;
    FlatLineEdit *m_mainPictureBox;
    QPushButton *m_mainPictureButton;
    FlatLineEdit *m_statusPictureBox;
    QPushButton *m_statusPictureButton;
    QToolButton *m_saveButton;
    QToolButton *m_clearButton;
    QListWidget *m_skinList;
    QToolButton *m_describeButton;
    QToolButton *m_changeButton;
    QToolButton *m_defaultButton;
    FlatLineEdit *m_currentSkinBox;
};
