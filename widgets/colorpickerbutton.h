#pragma once

#include <QColor>
#include <QPalette>
#include <QToolButton>

#include <functional>
#include <optional>

class QMenu;

// A button showing the current colour; its drop-down offers a palette of basic colours, the system's
// colours (resolved to their red, green and blue values when picked) and "其它颜色", which asks a
// chooser for any colour. Every pick is reported through changed.
class ColorPickerButton : public QToolButton
{
    Q_OBJECT
public:
    explicit ColorPickerButton(QWidget *parent = nullptr);

    using CustomChooser = std::function<std::optional<QColor>(const QColor &current)>;
    void setCustomChooser(CustomChooser chooser) { m_chooser = std::move(chooser); }

    QColor colour() const { return m_colour; }
    // The entries of the drop-down, as a user picks them.
    void pick(const QColor &colour);
    void pickSystemColour(QPalette::ColorRole role);
    void pickOther();

    struct SystemColour
    {
        QString name;
        QPalette::ColorRole role;
    };
    static const QList<SystemColour> &systemColours();
    static const QList<QColor> &basicColours();

signals:
    void changed(const QColor &colour);

private:
    void buildMenu();
    void showSwatch();

    QColor m_colour = Qt::black;
    CustomChooser m_chooser;
    QMenu *m_menu;
};
