#include "flatcombobox.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

FlatComboBox::FlatComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The typed text stays as typed; completing it to an item would change what the user chose.
    setCompleter(nullptr);
    setStyleSheet(uR"(
QComboBox { border: 1px solid #9aa8bd; background: white; padding: 0px 2px; }
QComboBox:hover, QComboBox:focus { border: 1px solid #2f7fc0; }
QComboBox::drop-down { width: 14px; border-left: 1px solid #c6cfdc; background: #eef2f7; }
QComboBox::drop-down:hover { background: #d6e9f8; }
)"_s);
}
