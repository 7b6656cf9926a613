#include "colorpickerbutton.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidgetAction>

using namespace Qt::StringLiterals;

namespace {
constexpr int Swatch = 16;

QIcon swatchIcon(const QColor &colour)
{
    QPixmap pixmap(Swatch, Swatch);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(QColor(0x60, 0x60, 0x60));
    painter.drawRect(0, 0, Swatch - 1, Swatch - 1);
    return QIcon(pixmap);
}

QToolButton *swatchButton(const QColor &colour, const QString &tip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setIcon(swatchIcon(colour));
    button->setIconSize(QSize(Swatch, Swatch));
    button->setAutoRaise(true);
    button->setToolTip(tip);
    button->setFixedSize(Swatch + 6, Swatch + 6);
    return button;
}
}

ColorPickerButton::ColorPickerButton(QWidget *parent)
    : QToolButton(parent)
    , m_menu(new QMenu(this))
{
    setPopupMode(QToolButton::InstantPopup);
    setToolTip(u"字体颜色"_s);
    setMenu(m_menu);
    // The palette is built when it first drops down, so a window with this button opens quickly.
    connect(m_menu, &QMenu::aboutToShow, this, &ColorPickerButton::buildMenu);
    showSwatch();
}

const QList<QColor> &ColorPickerButton::basicColours()
{
    static const QList<QColor> colours = {
        QColor(0x00, 0x00, 0x00),
        QColor(0x80, 0x00, 0x00),
        QColor(0x00, 0x80, 0x00),
        QColor(0x80, 0x80, 0x00),
        QColor(0x00, 0x00, 0x80),
        QColor(0x80, 0x00, 0x80),
        QColor(0x00, 0x80, 0x80),
        QColor(0x80, 0x80, 0x80),
        QColor(0xc0, 0xc0, 0xc0),
        QColor(0xff, 0x00, 0x00),
        QColor(0x00, 0xff, 0x00),
        QColor(0xff, 0xff, 0x00),
        QColor(0x00, 0x00, 0xff),
        QColor(0xff, 0x00, 0xff),
        QColor(0x00, 0xff, 0xff),
        QColor(0xff, 0xff, 0xff),
    };
    return colours;
}

const QList<ColorPickerButton::SystemColour> &ColorPickerButton::systemColours()
{
    static const QList<SystemColour> colours = {
        { u"窗口背景"_s, QPalette::Window },
        { u"窗口文字"_s, QPalette::WindowText },
        { u"编辑区背景"_s, QPalette::Base },
        { u"编辑区文字"_s, QPalette::Text },
        { u"按钮表面"_s, QPalette::Button },
        { u"按钮文字"_s, QPalette::ButtonText },
        { u"选中背景"_s, QPalette::Highlight },
        { u"选中文字"_s, QPalette::HighlightedText },
        { u"提示背景"_s, QPalette::ToolTipBase },
        { u"提示文字"_s, QPalette::ToolTipText },
        { u"超链接"_s, QPalette::Link },
        { u"阴影"_s, QPalette::Shadow },
    };
    return colours;
}

void ColorPickerButton::pick(const QColor &colour)
{
    m_colour = colour;
    showSwatch();
    emit changed(colour);
}

void ColorPickerButton::pickSystemColour(QPalette::ColorRole role)
{
    pick(QApplication::palette().color(QPalette::Active, role));
}

void ColorPickerButton::pickOther()
{
    if (!m_chooser)
        return;
    if (const std::optional<QColor> chosen = m_chooser(m_colour); chosen && chosen->isValid())
        pick(*chosen);
}

void ColorPickerButton::showSwatch()
{
    setIcon(swatchIcon(m_colour));
}

void ColorPickerButton::buildMenu()
{
    if (!m_menu->isEmpty())
        return;
    auto *panel = new QWidget(m_menu);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    auto *basic = new QGridLayout;
    basic->setSpacing(1);
    const QList<QColor> &colours = basicColours();
    for (int i = 0; i < colours.size(); ++i) {
        QToolButton *button = swatchButton(colours[i], colours[i].name(QColor::HexRgb).toUpper(), panel);
        connect(button, &QToolButton::clicked, this, [this, colour = colours[i]] {
            m_menu->close();
            pick(colour);
        });
        basic->addWidget(button, i / 8, i % 8);
    }
    layout->addLayout(basic);

    layout->addWidget(new QLabel(u"系统颜色"_s, panel));
    auto *system = new QGridLayout;
    system->setSpacing(1);
    const QList<SystemColour> &roles = systemColours();
    for (int i = 0; i < roles.size(); ++i) {
        const QColor now = QApplication::palette().color(QPalette::Active, roles[i].role);
        QToolButton *button = swatchButton(now, roles[i].name, panel);
        connect(button, &QToolButton::clicked, this, [this, role = roles[i].role] {
            m_menu->close();
            pickSystemColour(role);
        });
        system->addWidget(button, i / 8, i % 8);
    }
    layout->addLayout(system);

    auto *other = new QPushButton(u"其它颜色"_s, panel);
    other->setObjectName(u"other"_s);
    connect(other, &QPushButton::clicked, this, [this] {
        m_menu->close();
        pickOther();
    });
    layout->addWidget(other);

    auto *action = new QWidgetAction(m_menu);
    action->setDefaultWidget(panel);
    m_menu->addAction(action);
}
