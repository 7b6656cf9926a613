#include "webbrowser.h"

#include <QFileInfo>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
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

// An effect's scratch page: its script errors are reported, and it stays where it is. A link or a
// script that would lead the page elsewhere (another site, another file) is not followed, so the
// preview never shows anything but the effect.
class EffectPreviewPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

    QString folder; // the scratch folder, with its separator
    std::function<void(const QString &, int, const QString &)> scriptError;

protected:
    void javaScriptConsoleMessage(
        JavaScriptConsoleMessageLevel level, const QString &message, int line, const QString &source) override
    {
        if (level == ErrorMessageLevel && scriptError)
            scriptError(message, line, source);
    }

    // An effect's alert, confirm and prompt boxes would stop the setup window behind them at each
    // change of a box; in the preview they stay unanswered.
    void javaScriptAlert(const QUrl &, const QString &) override { }
    bool javaScriptConfirm(const QUrl &, const QString &) override { return false; }
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override { return false; }

    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override
    {
        if (!isMainFrame)
            return true;
        return url.isLocalFile() && !folder.isEmpty() && url.toLocalFile().startsWith(folder);
    }
};
}

WebBrowser::WebBrowser(QWidget *parent, Purpose purpose)
    : QWidget(parent)
    , m_view(new QWebEngineView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    if (purpose == Purpose::EffectPreview) {
        // Off the record: what a stranger's effect stores (cookies, local storage) goes with the window.
        m_profile = new QWebEngineProfile(this);
        m_view->setPage(new EffectPreviewPage(m_profile, m_view));
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
    } else {
        showProblemPages();
    }
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool loaded) {
        if (m_loadFinished)
            m_loadFinished(loaded);
    });
}

WebBrowser::~WebBrowser()
{
    // A page must go before the profile it was made in.
    if (m_profile)
        delete m_view;
}

void WebBrowser::showProblemPages()
{
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
    const bool local = pathOrAddress.startsWith(u'/') && QFileInfo::exists(pathOrAddress);
    if (auto *page = dynamic_cast<EffectPreviewPage *>(m_view->page()))
        page->folder = local ? QFileInfo(pathOrAddress).absolutePath() + u'/' : QString();
    if (local)
        m_view->load(QUrl::fromLocalFile(pathOrAddress));
    else
        m_view->load(QUrl::fromUserInput(pathOrAddress));
}

void WebBrowser::setDefaultTextEncoding(const QString &encoding)
{
    m_view->settings()->setDefaultTextEncoding(encoding);
}

void WebBrowser::setZoomFactor(qreal zoom)
{
    m_view->setZoomFactor(zoom);
}

void WebBrowser::onLoadFinished(std::function<void(bool loaded)> handler)
{
    m_loadFinished = std::move(handler);
}

void WebBrowser::onScriptError(std::function<void(const QString &message, int line, const QString &source)> handler)
{
    if (auto *page = dynamic_cast<EffectPreviewPage *>(m_view->page()))
        page->scriptError = std::move(handler);
}

void WebBrowser::evaluate(const QString &script, std::function<void(const QVariant &result)> done)
{
    m_view->page()->runJavaScript(script, [done = std::move(done)](const QVariant &result) { done(result); });
}

extern "C" Q_DECL_EXPORT BrowserView *vellumo_create_browser_view(QWidget *parent, int purpose)
{
    return new WebBrowser(parent, BrowserView::Purpose(purpose));
}
