#include "flatstyle.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

#include <tuple>

namespace {
const QColor Border(0x9a, 0xa8, 0xbd);
const QColor HotBorder(0x2f, 0x7f, 0xc0);
const QColor Selection(0xc8, 0xec, 0xf7);
const QColor SelectionBorder(0x5f, 0xb3, 0xd6);
const QColor ColumnLeft(0xe3, 0xe9, 0xf2);
const QColor ColumnRight(0xf3, 0xf6, 0xfa);

bool hot(const QStyleOption *option)
{
    return option->state & (QStyle::State_MouseOver | QStyle::State_HasFocus);
}

void flatFrame(QPainter *painter, const QRect &rect, bool lit)
{
    painter->save();
    painter->setPen(lit ? HotBorder : Border);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->restore();
}
}

FlatStyle::FlatStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

QIcon FlatStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    // The toolbar's overflow chevron is drawn here: loading the style's picture file makes the
    // image reader try every picture plug-in, which costs the start-up several milliseconds.
    if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton) {
        QPixmap pixmap(8, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setPen(QPen(QColor(0x40, 0x48, 0x58), 1));
        for (int x : { 1, 4 })
            for (int i = 0; i < 3; ++i) {
                painter.drawPoint(x + i, 5 + i);
                painter.drawPoint(x + i, 11 - i);
            }
        painter.end();
        if (icon == SP_ToolBarVerticalExtensionButton)
            pixmap = pixmap.transformed(QTransform().rotate(90));
        return QIcon(pixmap);
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}

void FlatStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (qobject_cast<QLineEdit *>(widget) || qobject_cast<QComboBox *>(widget)
        || qobject_cast<QAbstractSpinBox *>(widget))
        widget->setAttribute(Qt::WA_Hover);
}

void FlatStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    const bool sunken = widget && widget->property("sunken").toBool();
    switch (element) {
    case PE_PanelLineEdit:
        if (sunken) {
            painter->fillRect(option->rect, option->palette.base());
            qDrawShadePanel(painter, option->rect, option->palette, true, 2);
            return;
        }
        // The edit inside a combo box or spin box is framed by its owner.
        if (widget
            && (qobject_cast<const QComboBox *>(widget->parentWidget())
                || qobject_cast<const QAbstractSpinBox *>(widget->parentWidget())))
            return;
        painter->fillRect(option->rect, option->palette.base());
        flatFrame(painter, option->rect, hot(option));
        return;
    case PE_FrameLineEdit:
        if (sunken) {
            qDrawShadePanel(painter, option->rect, option->palette, true, 2);
            return;
        }
        flatFrame(painter, option->rect, hot(option));
        return;
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void FlatStyle::drawComplexControl(
    ComplexControl control, const QStyleOptionComplex *option, QPainter *painter, const QWidget *widget) const
{
    if (const auto *spin = qstyleoption_cast<const QStyleOptionSpinBox *>(option); spin && control == CC_SpinBox) {
        drawFlatSpinBox(spin, painter, widget);
        return;
    }
    const auto *combo = qstyleoption_cast<const QStyleOptionComboBox *>(option);
    if (control != CC_ComboBox || !combo || !combo->editable) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const bool lit = hot(option);
    painter->fillRect(option->rect, option->palette.base());
    const QRect arrowArea = subControlRect(CC_ComboBox, combo, SC_ComboBoxArrow, widget);
    painter->fillRect(arrowArea, lit ? QColor(0xd6, 0xe9, 0xf8) : QColor(0xee, 0xf2, 0xf7));
    painter->save();
    painter->setPen(QColor(0xc6, 0xcf, 0xdc));
    painter->drawLine(arrowArea.topLeft(), arrowArea.bottomLeft());
    painter->restore();
    QStyleOption arrow(*option);
    arrow.rect = arrowArea.adjusted(3, 5, -3, -5);
    proxy()->drawPrimitive(PE_IndicatorArrowDown, &arrow, painter, widget);
    flatFrame(painter, option->rect, lit);
}

void FlatStyle::drawFlatSpinBox(const QStyleOptionSpinBox *spin, QPainter *painter, const QWidget *widget) const
{
    const bool lit = hot(spin);
    painter->fillRect(spin->rect, spin->palette.base());
    for (const auto &[part, arrowKind, step] :
        { std::tuple { SC_SpinBoxUp, PE_IndicatorArrowUp, QAbstractSpinBox::StepUpEnabled },
            std::tuple { SC_SpinBoxDown, PE_IndicatorArrowDown, QAbstractSpinBox::StepDownEnabled } }) {
        const QRect area = subControlRect(CC_SpinBox, spin, part, widget);
        const bool pressed = (spin->activeSubControls & part) && (spin->state & State_Sunken);
        painter->fillRect(area, pressed ? QColor(0xc8, 0xdc, 0xf0) : QColor(0xee, 0xf2, 0xf7));
        QStyleOption arrow(*spin);
        arrow.rect = area.adjusted(3, 2, -3, -2);
        if (!(spin->stepEnabled & step) || !(spin->state & State_Enabled))
            arrow.state &= ~State_Enabled;
        proxy()->drawPrimitive(arrowKind, &arrow, painter, widget);
    }
    flatFrame(painter, spin->rect, lit);
}

void FlatStyle::drawControl(
    ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    if (element == CE_MenuBarItem) {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (item && (option->state & State_Selected) && (option->state & State_Enabled)) {
            const QRect selected = option->rect.adjusted(1, 1, -2, -2);
            painter->fillRect(selected, Selection);
            painter->save();
            painter->setPen(SelectionBorder);
            painter->drawRect(selected);
            painter->setPen(Qt::black);
            painter->drawText(option->rect, Qt::AlignCenter | Qt::TextShowMnemonic, item->text);
            painter->restore();
            return;
        }
    }
    if (element == CE_MenuItem) {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (!item) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const QRect rect = option->rect;
        QLinearGradient column(rect.left(), 0, rect.left() + MenuIconColumn, 0);
        column.setColorAt(0, ColumnLeft);
        column.setColorAt(1, ColumnRight);
        painter->fillRect(QRect(rect.left(), rect.top(), MenuIconColumn, rect.height()), column);
        painter->fillRect(rect.adjusted(MenuIconColumn, 0, 0, 0), Qt::white);
        if (item->menuItemType == QStyleOptionMenuItem::Separator) {
            painter->save();
            painter->setPen(QColor(0xc9, 0xd1, 0xdd));
            const int y = rect.center().y();
            painter->drawLine(rect.left() + MenuIconColumn + 4, y, rect.right() - 2, y);
            painter->restore();
            return;
        }
        const bool enabled = option->state & State_Enabled;
        if ((option->state & State_Selected) && enabled) {
            const QRect selected = rect.adjusted(1, 0, -1, -1);
            painter->fillRect(selected, Selection);
            painter->save();
            painter->setPen(SelectionBorder);
            painter->drawRect(selected);
            painter->restore();
        }
        if (!item->icon.isNull()) {
            const QPixmap pixmap = item->icon.pixmap(16, 16, enabled ? QIcon::Normal : QIcon::Disabled);
            painter->drawPixmap(rect.left() + (MenuIconColumn - 16) / 2, rect.top() + (rect.height() - 16) / 2, pixmap);
        }
        const QPalette::ColorRole role = QPalette::Text;
        QPalette palette = option->palette;
        palette.setColor(QPalette::Text, enabled ? Qt::black : QColor(0x9a, 0xa0, 0xa8));
        QString text = item->text;
        QString shortcut;
        if (const qsizetype tab = text.indexOf(u'\t'); tab >= 0) {
            shortcut = text.mid(tab + 1);
            text.truncate(tab);
        }
        const QRect textRect = rect.adjusted(MenuIconColumn + 8, 0, -20, 0);
        painter->save();
        painter->setFont(item->font);
        painter->setPen(palette.color(role));
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic, text);
        if (!shortcut.isEmpty())
            painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignRight, shortcut);
        painter->restore();
        if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
            QStyleOption arrow(*option);
            arrow.rect = QRect(rect.right() - 14, rect.center().y() - 4, 8, 8);
            proxy()->drawPrimitive(PE_IndicatorArrowRight, &arrow, painter, widget);
        }
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

int FlatStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_MenuPanelWidth:
        return 1;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return 1;
    case PM_ToolBarSeparatorExtent:
        return 8;
    case PM_ToolBarItemSpacing:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize FlatStyle::sizeFromContents(
    ContentsType type, const QStyleOption *option, const QSize &size, const QWidget *widget) const
{
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuItem) {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (item && item->menuItemType == QStyleOptionMenuItem::Separator)
            return QSize(result.width(), 7);
        result.setHeight(qMax(result.height(), 22));
        result.setWidth(result.width() + MenuIconColumn);
    }
    if (type == CT_ToolButton && widget && widget->parentWidget() && widget->parentWidget()->inherits("QToolBar"))
        return QSize(23, 22);
    return result;
}
