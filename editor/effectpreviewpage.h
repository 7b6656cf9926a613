#pragma once

#include <QWebEnginePage>

#include <functional>

// An effect's scratch page: it stays where it is, opens no window, is granted no permission, and its
// script errors and refused requests are told. An effect's alert, confirm and prompt boxes would stop
// the setup window behind them at each change of a box; in the preview they stay unanswered.
class EffectPreviewPage : public QWebEnginePage
{
    Q_OBJECT
public:
    EffectPreviewPage(QWebEngineProfile *profile, QObject *parent);

    std::function<void(const QString &message, int line, const QString &source)> scriptError;
    std::function<void(const QString &what)> refused;

protected:
    void javaScriptConsoleMessage(
        JavaScriptConsoleMessageLevel level, const QString &message, int line, const QString &source) override;
    void javaScriptAlert(const QUrl &, const QString &) override { }
    bool javaScriptConfirm(const QUrl &, const QString &) override { return false; }
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override { return false; }
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    void refuse(const QString &what);
};
