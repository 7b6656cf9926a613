#pragma once

#include <QStyledItemDelegate>

// Gives every row of a list the same height in pixels.
class FixedHeightDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    FixedHeightDelegate(int height, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_height(height)
    {
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), m_height);
    }

private:
    int m_height;
};
