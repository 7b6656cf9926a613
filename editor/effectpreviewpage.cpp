#include "effectpreviewpage.h"

#include "effects/previewsandbox.h"

#include <QWebEngineNewWindowRequest>

using namespace Qt::StringLiterals;

EffectPreviewPage::EffectPreviewPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    connect(this, &QWebEnginePage::newWindowRequested, this,
        [this](QWebEngineNewWindowRequest &request) { refuse(u"新窗口 "_s + request.requestedUrl().toString()); });
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
        [this](const QUrl &origin, Feature feature) { setFeaturePermission(origin, feature, PermissionDeniedByUser); });
}

void EffectPreviewPage::javaScriptConsoleMessage(
    JavaScriptConsoleMessageLevel level, const QString &message, int line, const QString &source)
{
    if (const std::optional<QString> refusal = PreviewSandbox::refusalInConsole(message))
        refuse(*refusal);
    else if (level == ErrorMessageLevel && scriptError)
        scriptError(message, line, source);
}

bool EffectPreviewPage::acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame)
{
    const auto kind = isMainFrame ? PreviewSandbox::Request::Page : PreviewSandbox::Request::Frame;
    if (PreviewSandbox::allows(kind, url))
        return true;
    refuse(PreviewSandbox::refusal(kind, url));
    return false;
}

void EffectPreviewPage::refuse(const QString &what)
{
    if (refused)
        refused(what);
}
