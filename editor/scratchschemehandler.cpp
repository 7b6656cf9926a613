#include "scratchschemehandler.h"

#include "effects/previewsandbox.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QWebEngineUrlRequestJob>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// The bytes of a plain file reached without following a link; nothing otherwise.
std::optional<QByteArray> plainFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    QFile file;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// Folders on the way are the scratch folder's own: none of them may be a link leading elsewhere.
bool staysInFolder(const QString &path, const QString &folder)
{
    const QString real = QFileInfo(QFileInfo(path).path()).canonicalFilePath() + u'/';
    return real.startsWith(QFileInfo(folder).canonicalFilePath() + u'/');
}
}

void ScratchSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    const std::optional<QString> path = PreviewSandbox::fileFor(url, m_folder);
    if (job->requestMethod() != "GET" || !path || !staysInFolder(*path, m_folder)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    std::optional<QByteArray> bytes = plainFile(*path);
    if (!bytes) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QByteArray type;
    if (PreviewSandbox::isPage(url)) {
        *bytes = PreviewSandbox::withPolicy(*bytes);
        type = "text/html";
    } else {
        static const QMimeDatabase types;
        type = types.mimeTypeForFile(*path, QMimeDatabase::MatchExtension).name().toLatin1();
        // Anything a browser would take for a document of its own is plain data here; a drawing is a
        // picture, since it is never let into a frame.
        if (type != "image/svg+xml" && (type.contains("html") || type.contains("xml")))
            type = "application/octet-stream";
    }
    auto *buffer = new QBuffer(job);
    buffer->setData(*bytes);
    job->reply(type, buffer);
}
