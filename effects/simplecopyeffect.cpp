#include "simplecopyeffect.h"

#include "library/linebreaks.h"
#include "platform/ansi.h"
#include "platform/clipboard.h"
#include "platform/filesystem.h"

using namespace Qt::StringLiterals;

SimpleCopyEffect::SimpleCopyEffect(
    FileSystem &files, const QString &applicationFolder, const QString &category, const QString &effect)
    : m_files(files)
    , m_path(applicationFolder + category + u'/' + effect + u".txt"_s)
{
}

std::optional<QString> SimpleCopyEffect::text() const
{
    const QString path = m_files.resolveName(m_path);
    const std::optional<QByteArray> bytes = m_files.fileExists(path) ? m_files.readAll(path) : std::nullopt;
    if (!bytes)
        return std::nullopt;
    return LineBreaks::toCrLf(Ansi::decode(*bytes));
}

bool SimpleCopyEffect::copyTo(Clipboard &clipboard) const
{
    const std::optional<QString> copied = text();
    if (!copied)
        return false;
    clipboard.setText(*copied);
    return true;
}
