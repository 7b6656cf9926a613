#include "splashwindow.h"

#include "artwork/artwork.h"
#include "widgets/named.h"
#include "widgets/pictureloader.h"
#include "widgets/uistyle.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {
// The picture reports a click; the label lying on it does not pass clicks on to it.
class ClickablePicture : public QLabel
{
public:
    std::function<void()> clicked;
    using QLabel::QLabel;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && clicked)
            clicked();
    }
    void mousePressEvent(QMouseEvent *event) override { event->accept(); }
};
}

SplashWindow::SplashWindow(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(u"Form2"_s);
    setWindowTitle(u"关于..."_s);
    setFixedSize(348, 262);
    const QFont font = UiStyle::songFont(12);
    setFont(font);

    auto *picture = named<ClickablePicture>(u"Image1"_s, this);
    m_picture = picture;
    m_picture->setGeometry(rect());
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setPixmap(PictureLoader::builtIn(vellumo::artwork::kSplashImage));
    picture->clicked = [this] { closeWindow(); };

    m_sourceNote = named<QLabel>(u"Label1"_s, u"本程序所有特效来自互联网"_s, this);
    m_sourceNote->setGeometry(192, 67, 144, 12);
    QPalette palette = m_sourceNote->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    m_sourceNote->setPalette(palette);
    m_sourceNote->setFont(font);
}

void SplashWindow::closeWindow()
{
    close();
}

void SplashWindow::keyPressEvent(QKeyEvent *event)
{
    // No key closes the window; only a click on the picture does.
    event->accept();
}

void SplashWindow::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}
