#pragma once

#include <QComboBox>

// A combo box with free text entry; the flat style gives it a thin border that lights up under the mouse.
class FlatComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit FlatComboBox(QWidget *parent = nullptr);

    // The item list changes; the text shown in the box stays as it was.
    void setItemsKeepingText(const QStringList &items);
    void clearItemsKeepingText();
};
