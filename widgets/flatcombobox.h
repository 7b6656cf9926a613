#pragma once

#include <QComboBox>

// A combo box with free text entry; the flat style gives it a thin border that lights up under the mouse.
class FlatComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit FlatComboBox(QWidget *parent = nullptr);

    // Pixels above and below each text in the drop-down list.
    static constexpr int RowPadding = 3;

    // The item list changes; the text shown in the box stays as it was.
    void setItemsKeepingText(const QStringList &items);
    void clearItemsKeepingText();
    // Typed text never chooses an item: neither Enter nor leaving the box picks the item whose text
    // was typed (Qt's combo box does both), so activated comes from the list alone.
    void chooseFromListOnly();
};
