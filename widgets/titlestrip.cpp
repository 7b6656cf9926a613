#include "titlestrip.h"

#include "windowdrag.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
QPixmap shade(QSize size, const QColor &left, const QColor &right)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, size.width(), 0);
    gradient.setColorAt(0, left);
    gradient.setColorAt(1, right);
    painter.fillRect(picture.rect(), gradient);
    return picture;
}
}

TitleStrip::TitleStrip(QWidget *window, const QRect &place, const QString &caption, const Names &names,
    const QColor &left, const QColor &right)
    : QWidget(window)
{
    setObjectName(names.strip);
    setGeometry(place);
    m_shade = new QLabel(this);
    m_shade->setObjectName(names.shade);
    m_shade->setGeometry(rect());
    m_shade->setScaledContents(true);
    m_shade->setPixmap(shade(size(), left, right));
    m_caption = new QLabel(caption, this);
    m_caption->setObjectName(names.caption);
    QPalette white = m_caption->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_caption->setPalette(white);
    setCaptionFont(m_caption->font());
    m_closeButton = new QToolButton(this);
    m_closeButton->setObjectName(names.closeButton);
    m_closeButton->setText(u"✕"_s);
    m_closeButton->setToolTip(u"关闭"_s);
    m_closeButton->setAutoRaise(true);
    const int side = height() - 4;
    m_closeButton->setGeometry(width() - side - 2, 2, side, side);
    auto *drag = new WindowDrag(window);
    drag->addHandle(m_shade);
    drag->addHandle(m_caption);
}

void TitleStrip::setCaptionFont(const QFont &font)
{
    m_caption->setFont(font);
    m_caption->adjustSize();
    m_caption->move(8, (height() - m_caption->height()) / 2);
}
