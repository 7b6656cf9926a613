#include "webbrowser.h"

#include <QFileInfo>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace {
// Chromium's code for a load that another navigation replaced: nothing went wrong.
constexpr int LoadAborted = -3;

QString problemPage(const QString &title, const QString &body)
{
    return u"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>"_s + title
        + u"</title></head><body style=\"font-family: sans-serif; margin: 2em; color: #333\"><h3>"_s + title
        + u"</h3>"_s + body + u"</body></html>"_s;
}
}

WebBrowser::WebBrowser(QWidget *parent)
    : QWidget(parent)
    , m_view(new QWebEngineView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    // The engine's own error pages are English; the preview speaks the program's language.
    connect(m_view->page(), &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus || info.errorCode() == LoadAborted)
            return;
        const QString address = info.url().toDisplayString().toHtmlEscaped();
        m_view->setHtml(problemPage(u"无法打开这个地址"_s,
            u"<p>"_s + address + u"</p><p>原因："_s + info.errorString().toHtmlEscaped()
                + u"</p><p>请检查地址是否正确，或稍后再试。</p>"_s));
    });
    connect(m_view->page(), &QWebEnginePage::renderProcessTerminated, this,
        [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
            if (status == QWebEnginePage::NormalTerminationStatus)
                return;
            m_view->setHtml(problemPage(u"预览意外结束"_s,
                u"<p>显示网页的进程已经退出，网页的源代码没有受影响。</p><p>请按“转到”重新显示。</p>"_s));
        });
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
