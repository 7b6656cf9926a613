#include "flatcombobox.h"

#include <QLineEdit>

FlatComboBox::FlatComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The typed text stays as typed; completing it to an item would change what the user chose.
    setCompleter(nullptr);
}

void FlatComboBox::setItemsKeepingText(const QStringList &items)
{
    const QString text = currentText();
    const QSignalBlocker blocker(this);
    clear();
    addItems(items);
    setCurrentIndex(-1);
    setEditText(text);
}

void FlatComboBox::clearItemsKeepingText()
{
    setItemsKeepingText({});
}

void FlatComboBox::chooseFromListOnly()
{
    QObject::disconnect(lineEdit(), SIGNAL(returnPressed()), this, nullptr);
    QObject::disconnect(lineEdit(), SIGNAL(editingFinished()), this, nullptr);
}
