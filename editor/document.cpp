#include "document.h"

#include "documentview.h"
#include "pagereader.h"
#include "platform/dialogs.h"
#include "platform/filesystem.h"
#include "platform/vellumoerror.h"
#include "recoveryfolder.h"

#include <QCryptographicHash>

using namespace Qt::StringLiterals;

Document::Document(DocumentView &view, Dialogs &dialogs, FileSystem &files, const QString &applicationFolder)
    : m_view(view)
    , m_dialogs(dialogs)
    , m_files(files)
    , m_applicationFolder(applicationFolder)
    , m_outsideChanges(view, dialogs, files)
{
}

QString Document::newCaption()
{
    return u"新文件"_s;
}

QString Document::fileFilter()
{
    return u"htm file|*.htm;*.html"_s;
}

QString Document::notCleanMessage()
{
    return u"此网页中有无法识别的字符，已用替代符号显示；保存后这些字符会被改变。"_s;
}

QByteArray Document::defaultPage()
{
    return QByteArray("<html>\r\n<head>\r\n<title>TamselVellumo") + u"制作"_s.toUtf8()
        + "</title>\r\n<meta http-equiv=\"Content-Type\" \r\ncontent=\"text/html; \r\ncharset=gb2312\">\r\n"
          "</head>\r\n\r\n<body bgcolor=\"#FFFFFF\" text=\"#000000\">\r\n\r\n</body>\r\n</html>";
}

void Document::showDefaultPage()
{
    m_view.beginLoad(defaultPage().size());
    m_view.appendUtf8(defaultPage());
    m_view.endLoad();
    m_view.setCaption(newCaption());
    m_encoding = PageEncoding::Gb18030;
    m_lineEnds = LineEnds::CrLf;
}

QString Document::tooLargeMessage(const QString &path, qint64 capacity)
{
    return u"网页文件太大，编辑器容纳不下，没有打开：\n%1\n编辑器最多容纳 %2 字节的网页。"_s.arg(path).arg(capacity);
}

QString Document::readOnlyQuestion()
{
    return u"网页文件是只读文件，是否仍要覆盖"_s;
}

bool Document::mayLeavePage()
{
    if (!m_view.isModified())
        return true;
    switch (m_dialogs.ask(u"询问"_s, u"网页文件已经被修改，是否要进行存盘"_s, MessageIcon::Question)) {
    case Answer::Dismissed:
        return false;
    case Answer::No:
        if (m_changesDiscarded)
            m_changesDiscarded();
        return true;
    case Answer::Yes:
        break;
    }
    // A page with a name is offered under it, so that the save puts it back in its own file.
    const QString caption = m_view.caption();
    const QString name = caption == newCaption() ? QString() : caption.mid(caption.lastIndexOf(u'/') + 1);
    return bool(dialogSave(name));
}

namespace {
// The page's text has outgrown what the editor holds.
struct TooLarge
{
};
}

bool Document::load(const QString &path, bool detectEncoding)
{
    const qint64 capacity = m_view.capacity();
    const std::int64_t readFromNs = m_files.nowNs();
    // Refused by its size before anything is read: the text is no smaller than the file but for a UTF-8
    // mark (a GB18030 page shrinks only by four-byte characters below U+0800, which no page is made of).
    const FileStamp before = m_files.stamp(path);
    if (before.exists && before.size - 3 > capacity) {
        m_dialogs.message(tooLargeMessage(path, capacity));
        return false;
    }
    // A first reading tells the encoding and the size; a file that cannot be read changes nothing.
    PageCodec::Detector detector;
    QCryptographicHash digest(DiskVersion::Algorithm);
    qint64 size = 0;
    if (!m_files.readPieces(path, [&detector, &digest, &size](QByteArrayView piece) {
            detector.feed(piece);
            digest.addData(piece);
            size += piece.size();
        }))
        throw VellumoError::cannotOpen(path);
    const PageEncoding encoding = detectEncoding ? detector.encoding() : PageEncoding::Gb18030;
    PageReader::Result result;
    try {
        m_view.beginLoad(qMin(detector.utf8SizeEstimate(), capacity));
        qint64 taken = 0;
        result = PageReader::read(m_files, path, encoding, [this, &taken, capacity](QByteArrayView piece) {
            taken += piece.size();
            if (taken > capacity)
                throw TooLarge {};
            m_view.appendUtf8(piece);
        });
    } catch (const TooLarge &) {
        m_view.abandonLoad();
        m_dialogs.message(tooLargeMessage(path, capacity));
        return false;
    } catch (...) {
        // No memory for the page, say: the error guard tells, the previous page stays.
        m_view.abandonLoad();
        throw;
    }
    // A file that failed, changed, moved or was cut short while it was read is not the page.
    if (!result.read || result.size != size || m_files.stamp(path) != before) {
        m_view.abandonLoad();
        throw VellumoError::cannotOpen(path);
    }
    m_view.endLoad();
    m_outsideChanges.read(path, before, digest.result(), readFromNs);
    m_encoding = encoding;
    // A new page gets CR LF whatever its template holds.
    m_lineEnds = detectEncoding ? detector.lineEnds() : LineEnds::CrLf;
    if (!result.clean)
        m_dialogs.message(notCleanMessage());
    return true;
}

QByteArray Document::write(const QString &path)
{
    const QByteArray bytes = PageCodec::fromUtf8(m_view.utf8(), m_encoding, m_lineEnds);
    if (!m_files.writeAtomically(path, bytes))
        throw VellumoError::cannotCreate(path);
    return bytes;
}

void Document::writePage(const QString &path)
{
    const std::int64_t writtenFromNs = m_files.nowNs();
    const QByteArray bytes = PageCodec::fromUtf8(m_view.utf8(), m_encoding, m_lineEnds);
    // A page keeps what its file was (links, owner, attributes), written in place where it must be.
    QString keptCopy;
    if (!m_files.writeKeeping(path, bytes, &keptCopy)) {
        if (!keptCopy.isEmpty())
            qWarning(
                "the old text of %s could not be put back; it is kept in %s", qPrintable(path), qPrintable(keptCopy));
        throw VellumoError::cannotCreate(path);
    }
    m_outsideChanges.written(path, bytes, writtenFromNs);
    // What a save that was killed left beside a page goes when a page there is next saved or opened.
    m_files.clearStaleTemporaries(path.left(path.lastIndexOf(u'/') + 1));
}

QString Document::pageFolder() const
{
    const QString caption = m_view.caption();
    if (caption == newCaption())
        return QString();
    return caption.left(caption.lastIndexOf(u'/') + 1);
}

bool Document::mayOverwrite(const QString &path)
{
    return !m_files.writableDespiteItsMode(path)
        || m_dialogs.question(u"询问"_s, readOnlyQuestion(), MessageIcon::Question);
}

Explained<QString> Document::dialogSave(const QString &suggestedName)
{
    FileDialogRequest request;
    request.filter = fileFilter();
    request.folder = pageFolder();
    request.defaultExtension = u"htm"_s;
    request.fileName = suggestedName;
    std::optional<QString> path = m_dialogs.saveFile(request);
    if (!path)
        return Explained<QString>::none();
    // A name typed without an extension is saved as a page.
    const qsizetype slash = path->lastIndexOf(u'/');
    if (!path->mid(slash + 1).contains(u'.'))
        *path += u".htm"_s;
    if (m_files.fileExists(*path)
        && !m_dialogs.question(u"询问"_s, u"网页文件已经存在，是否要覆盖"_s, MessageIcon::Question))
        return Explained<QString>::none();
    if (!m_outsideChanges.mayOverwrite(*path) || !mayOverwrite(*path))
        return Explained<QString>::none();
    writePage(*path);
    return *path;
}

void Document::newPage()
{
    if (mayLeavePage() && load(m_applicationFolder + u"lines.txt"_s, false))
        m_view.setCaption(newCaption());
}

void Document::newPageFrom(const QString &templatePath)
{
    // The template's own encoding and line ends; the page has no name yet.
    if (mayLeavePage() && load(templatePath, true))
        m_view.setCaption(newCaption());
}

void Document::openPage()
{
    if (!mayLeavePage())
        return;
    FileDialogRequest request;
    request.filter = fileFilter();
    request.folder = pageFolder();
    const std::optional<QString> path = m_dialogs.openFile(request);
    if (path)
        openChosen(*path);
}

void Document::openPageAt(const QString &path)
{
    if (mayLeavePage())
        openChosen(path);
}

void Document::openChosen(const QString &path)
{
    if (m_recovery) {
        const std::optional<RecoveryCopy> live = m_recovery->liveCopyOf(path);
        if (live
            && m_dialogs.ask(u"询问"_s, liveCopyQuestion(path, live->written), MessageIcon::Warning) != Answer::Yes)
            return;
    }
    if (load(path, true)) {
        m_view.setCaption(path);
        m_files.clearStaleTemporaries(pageFolder());
    }
}

void Document::savePage()
{
    if (m_view.caption() == newCaption()) {
        savePageAs();
        return;
    }
    if (!m_outsideChanges.mayOverwrite(m_view.caption()) || !mayOverwrite(m_view.caption()))
        return;
    writePage(m_view.caption());
    m_view.setUnmodified();
}

void Document::savePageAs()
{
    const Explained<QString> chosen = dialogSave();
    if (!chosen)
        return;
    m_view.setCaption(*chosen);
    m_view.setUnmodified();
}

bool Document::confirmClose()
{
    // A save that does not happen (cancelled, refused, failed) keeps the window and the changes.
    return mayLeavePage();
}

std::optional<RecoveryCopy> Document::recoverySnapshot()
{
    if (!m_view.isModified())
        return std::nullopt;
    RecoveryCopy copy;
    const QString caption = m_view.caption();
    copy.pagePath = caption == newCaption() ? QString() : caption;
    copy.encoding = m_encoding;
    copy.lineEnds = m_lineEnds;
    copy.utf8 = m_view.copyUtf8();
    return copy;
}

void Document::restore(const RecoveryCopy &copy)
{
    m_view.beginLoad(copy.utf8.size());
    m_view.appendUtf8(copy.utf8);
    m_view.endLoad();
    m_view.setCaption(copy.pagePath.isEmpty() ? newCaption() : copy.pagePath);
    m_encoding = copy.encoding;
    m_lineEnds = copy.lineEnds;
    m_view.markModified();
    if (!copy.pagePath.isEmpty())
        m_outsideChanges.textKeptOver(copy.pagePath);
}

QString Document::liveCopyQuestion(const QString &path, const QDateTime &written)
{
    return u"另一个正在运行的 Vellumo 中有此网页未保存的修改（恢复副本写于 %1）：\n%2\n"
           u"两边各自保存时，后保存的会覆盖先保存的。是否仍要打开？"_s.arg(
               written.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s), path);
}

void Document::checkFileOnDisk()
{
    // The same safe load as Open: a failed reload leaves the page as it was.
    if (m_view.caption() != newCaption() && m_outsideChanges.reloadWanted(m_view.caption()))
        load(m_view.caption(), true);
}

QString Document::previewPath() const
{
    const QString caption = m_view.caption();
    if (caption == newCaption())
        return m_applicationFolder + u"TEM~~CHO.HTM"_s;
    QString folder = caption.left(caption.lastIndexOf(u'/') + 1);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + u"TEM~~CHO.HTM"_s;
}

void Document::writePreview()
{
    write(previewPath());
}
