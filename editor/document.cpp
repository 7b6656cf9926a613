#include "document.h"

#include "documentview.h"
#include "pagereader.h"
#include "platform/dialogs.h"
#include "platform/filesystem.h"
#include "platform/vellumoerror.h"

using namespace Qt::StringLiterals;

Document::Document(DocumentView &view, Dialogs &dialogs, FileSystem &files, const QString &applicationFolder)
    : m_view(view)
    , m_dialogs(dialogs)
    , m_files(files)
    , m_applicationFolder(applicationFolder)
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

bool Document::askToSave()
{
    return m_dialogs.question(u"询问"_s, u"网页文件已经被修改，是否要进行存盘"_s, MessageIcon::Question);
}

void Document::load(const QString &path, bool detectEncoding)
{
    // A first reading tells the encoding and the size; a file that cannot be read changes nothing.
    PageCodec::Detector detector;
    if (!m_files.readPieces(path, [&detector](QByteArrayView piece) { detector.feed(piece); }))
        throw VellumoError::cannotOpen(path);
    const PageEncoding encoding = detectEncoding ? detector.encoding() : PageEncoding::Gb18030;
    m_view.beginLoad(detector.utf8SizeEstimate());
    const PageReader::Result result
        = PageReader::read(m_files, path, encoding, [this](QByteArrayView piece) { m_view.appendUtf8(piece); });
    m_view.endLoad();
    if (!result.read)
        throw VellumoError::cannotOpen(path);
    m_encoding = encoding;
    // A new page gets CR LF whatever its template holds.
    m_lineEnds = detectEncoding ? detector.lineEnds() : LineEnds::CrLf;
    if (!result.clean)
        m_dialogs.message(notCleanMessage());
}

void Document::write(const QString &path)
{
    if (!m_files.writeAtomically(path, PageCodec::fromUtf8(m_view.utf8(), m_encoding, m_lineEnds)))
        throw VellumoError::cannotCreate(path);
}

QString Document::pageFolder() const
{
    const QString caption = m_view.caption();
    if (caption == newCaption())
        return QString();
    return caption.left(caption.lastIndexOf(u'/') + 1);
}

bool Document::dialogSave(QString *chosen)
{
    FileDialogRequest request;
    request.filter = fileFilter();
    request.folder = pageFolder();
    request.defaultExtension = u"htm"_s;
    std::optional<QString> path = m_dialogs.saveFile(request);
    if (!path)
        return false;
    // A name typed without an extension is saved as a page.
    const qsizetype slash = path->lastIndexOf(u'/');
    if (!path->mid(slash + 1).contains(u'.'))
        *path += u".htm"_s;
    if (m_files.fileExists(*path)
        && !m_dialogs.question(u"询问"_s, u"网页文件已经存在，是否要覆盖"_s, MessageIcon::Question))
        return false;
    write(*path);
    *chosen = *path;
    return true;
}

void Document::newPage()
{
    QString saved;
    if (m_view.isModified() && askToSave() && !dialogSave(&saved))
        return;
    load(m_applicationFolder + u"lines.txt"_s, false);
    m_view.setCaption(newCaption());
}

void Document::newPageFrom(const QString &templatePath)
{
    QString saved;
    if (m_view.isModified() && askToSave() && !dialogSave(&saved))
        return;
    // The template's own encoding and line ends; the page has no name yet.
    load(templatePath, true);
    m_view.setCaption(newCaption());
}

void Document::openPage()
{
    QString saved;
    if (m_view.isModified() && askToSave() && !dialogSave(&saved))
        return;
    FileDialogRequest request;
    request.filter = fileFilter();
    request.folder = pageFolder();
    const std::optional<QString> path = m_dialogs.openFile(request);
    if (!path)
        return;
    load(*path, true);
    m_view.setCaption(*path);
}

void Document::savePage()
{
    if (m_view.caption() == newCaption()) {
        savePageAs();
        return;
    }
    write(m_view.caption());
    m_view.setUnmodified();
}

void Document::savePageAs()
{
    QString chosen;
    if (!dialogSave(&chosen))
        return;
    m_view.setCaption(chosen);
    m_view.setUnmodified();
}

bool Document::confirmClose()
{
    if (!m_view.isModified() || !askToSave())
        return true;
    QString chosen;
    // A save that does not happen (cancelled, refused, failed) keeps the window and the changes.
    return dialogSave(&chosen);
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
