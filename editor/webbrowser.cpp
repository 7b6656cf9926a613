#include "webbrowser.h"

#include <QFileInfo>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineSettings>
#include <QWebEngineView>

WebBrowser::WebBrowser(QWidget *parent)
    : QWidget(parent)
    , m_view(new QWebEngineView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

void WebBrowser::navigate(const QString &pathOrAddress)
{
    if (pathOrAddress.startsWith(u'/') && QFileInfo::exists(pathOrAddress))
        m_view->load(QUrl::fromLocalFile(pathOrAddress));
    else
        m_view->load(QUrl::fromUserInput(pathOrAddress));
}

void WebBrowser::setDefaultTextEncoding(const QString &encoding)
{
    m_view->settings()->setDefaultTextEncoding(encoding);
}

extern "C" Q_DECL_EXPORT BrowserView *vellumo_create_browser_view(QWidget *parent)
{
    return new WebBrowser(parent);
}
