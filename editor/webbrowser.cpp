#include "webbrowser.h"

#include "effectpreviewpage.h"
#include "effects/previewsandbox.h"
#include "previewrequestguard.h"
#include "rendererwatchdog.h"
#include "scratchschemehandler.h"

#include <QFileInfo>
#include <QQuickWindow>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>
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

void WebBrowser::prepareEngine()
{
    static const bool prepared = [] {
        QWebEngineUrlScheme scratch(PreviewSandbox::scheme().toLatin1());
        scratch.setSyntax(QWebEngineUrlScheme::Syntax::Host);
        // A secure context, as a local file was, so effects keep the features they had; and their
        // own files may be read by script.
        scratch.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
        QWebEngineUrlScheme::registerScheme(scratch);
        // Peer-to-peer connections go out beside every request the sandbox sees: without a proxy,
        // none at all.
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        flags += " --force-webrtc-ip-handling-policy=disable_non_proxied_udp";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
        // The browser paints as the window's other controls do. Painting through OpenGL, it would
        // make its whole window compose through OpenGL: the window is built anew under the click
        // that shows the first preview, and every keystroke after it pays for composing the whole
        // window, dearly where OpenGL is done in software.
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        return true;
    }();
    Q_UNUSED(prepared);
}

WebBrowser::WebBrowser(QWidget *parent, Purpose purpose)
    : QWidget(parent)
    , m_view(new QWebEngineView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    if (purpose == Purpose::EffectPreview)
        makeSandbox();
    else
        showProblemPages();
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

void WebBrowser::makeSandbox()
{
    // Off the record: what a stranger's effect stores (cookies, local storage) goes with the window.
    m_profile = new QWebEngineProfile(this);
    m_scratch = new ScratchSchemeHandler(m_profile);
    m_profile->installUrlSchemeHandler(PreviewSandbox::scheme().toLatin1(), m_scratch);
    const auto refused = [this](const QString &what) {
        if (m_refused)
            m_refused(what);
    };
    m_profile->setUrlRequestInterceptor(new PreviewRequestGuard(refused, m_profile));
    QWebEngineSettings *settings = m_profile->settings();
    for (const auto off :
        { QWebEngineSettings::LocalContentCanAccessFileUrls, QWebEngineSettings::LocalContentCanAccessRemoteUrls,
            QWebEngineSettings::JavascriptCanOpenWindows, QWebEngineSettings::JavascriptCanAccessClipboard,
            QWebEngineSettings::JavascriptCanPaste, QWebEngineSettings::PluginsEnabled,
            QWebEngineSettings::PdfViewerEnabled, QWebEngineSettings::HyperlinkAuditingEnabled,
            QWebEngineSettings::DnsPrefetchEnabled, QWebEngineSettings::FullScreenSupportEnabled,
            QWebEngineSettings::ScreenCaptureEnabled, QWebEngineSettings::AllowRunningInsecureContent,
            QWebEngineSettings::NavigateOnDropEnabled, QWebEngineSettings::AllowWindowActivationFromJavaScript })
        settings->setAttribute(off, false);
    settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    settings->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);

    m_sandboxedPage = new EffectPreviewPage(m_profile, m_view);
    m_sandboxedPage->refused = refused;
    m_view->setPage(m_sandboxedPage);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    // Told once the engine knows the process is gone: a page shown before that could be given to the
    // dying process and never appear.
    new RendererWatchdog(m_sandboxedPage, [this](const QString &why) { m_endedBecause = why; });
    connect(m_sandboxedPage, &QWebEnginePage::renderProcessTerminated, this,
        [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
            QString why = std::exchange(m_endedBecause, QString());
            if (why.isEmpty() && status != QWebEnginePage::NormalTerminationStatus)
                why = u"显示预览的进程意外结束"_s;
            if (!why.isEmpty() && m_ended)
                m_ended(why);
        });
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
    if (m_sandboxedPage) {
        // Nothing but a scratch page, under the private address that answers from its folder only.
        const QFileInfo page(pathOrAddress);
        m_scratch->setFolder(local ? page.absolutePath() + u'/' : QString());
        m_view->load(PreviewSandbox::address(page.fileName()));
        return;
    }
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
    if (m_sandboxedPage)
        m_sandboxedPage->scriptError = std::move(handler);
}

void WebBrowser::onRefused(std::function<void(const QString &what)> handler)
{
    m_refused = std::move(handler);
}

void WebBrowser::onEnded(std::function<void(const QString &why)> handler)
{
    m_ended = std::move(handler);
}

void WebBrowser::evaluate(const QString &script, std::function<void(const QVariant &result)> done)
{
    m_view->page()->runJavaScript(script, [done = std::move(done)](const QVariant &result) { done(result); });
}

extern "C" Q_DECL_EXPORT BrowserView *vellumo_create_browser_view(QWidget *parent, int purpose)
{
    WebBrowser::prepareEngine();
    return new WebBrowser(parent, BrowserView::Purpose(purpose));
}
