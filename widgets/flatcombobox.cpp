#include "flatcombobox.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>

#include <QLineEdit>

namespace {
// List rows with room above and below the text, in whatever font the box is given.
class RoomyRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(qMax(size.height(), QFontMetrics(option.font).height() + 2 * FlatComboBox::RowPadding));
        return size;
    }
};
}

FlatComboBox::FlatComboBox(QWidget *parent)
    : QComboBox(parent)
{
    view()->setItemDelegate(new RoomyRowDelegate(view()));
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
