#include "flatcombobox.h"

#include <QLineEdit>


FlatComboBox::FlatComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The typed text stays as typed; completing it to an item would change what the user chose.
    setCompleter(nullptr);
}
