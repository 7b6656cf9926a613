#pragma once

#include <QString>
#include <QWebEngineUrlSchemeHandler>

// Answers an effect preview's private address from its scratch folder and from nowhere else: a name
// that leaves the folder, a link or anything but a plain file is not found. Every page gets the
// sandbox's policy before anything of its own.
class ScratchSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    // The folder answered from, with its separator; empty answers nothing.
    void setFolder(const QString &folder) { m_folder = folder; }
    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    QString m_folder;
};
