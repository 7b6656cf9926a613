#include "inifile.h"

#include "inicache.h"
#include "platform/filesystem.h"
#include "platform/vellumoerror.h"

#include <utility>

IniFile::IniFile(FileSystem &files, const QString &path)
    : m_files(files)
    , m_askedPath(path)
    , m_path(files.resolveName(path))
{
}

std::shared_ptr<const IniDocument> IniFile::current() const
{
    if (m_held)
        return m_held;
    if (auto document = IniCache::instance().document(m_files, m_path))
        return *document;
    // The file may have been deleted, or created under another spelling, since the name was resolved.
    const QString resolved = m_files.resolveName(m_askedPath);
    if (resolved == m_path)
        return IniCache::emptyDocument();
    m_path = resolved;
    return IniCache::instance().document(m_files, m_path).value_or(IniCache::emptyDocument());
}

QString IniFile::readString(const QString &section, const QString &key) const
{
    return current()->read(section, key);
}

QString IniFile::readUncutString(const QString &section, const QString &key) const
{
    return current()->readUncut(section, key);
}

int IniFile::highestNumberedKey(const QString &section, const QString &prefix) const
{
    return current()->highestNumberedKey(section, prefix);
}

int IniFile::highestNumberedSection(const QString &prefix) const
{
    return current()->highestNumberedSection(prefix);
}

int IniFile::reachedNumberedKey(const QString &section, const QString &prefix) const
{
    return current()->reachedNumberedKey(section, prefix);
}

int IniFile::reachedNumberedSection(const QString &prefix) const
{
    return current()->reachedNumberedSection(prefix);
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return current()->hasKey(section, key);
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    if (m_batchDepth > 0) {
        if (!m_held)
            m_held = std::make_shared<IniDocument>(*current());
        m_held->write(section, key, value);
        return;
    }
    auto edited = std::make_shared<IniDocument>(*current());
    edited->write(section, key, value);
    store(std::move(edited));
}

void IniFile::beginBatch()
{
    ++m_batchDepth;
}

void IniFile::commit()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0 || !m_held)
        return;
    store(std::exchange(m_held, nullptr));
}

void IniFile::store(std::shared_ptr<IniDocument> edited)
{
    const QByteArray bytes = edited->fileBytes();
    if (!m_files.writeAtomically(m_path, bytes))
        throw VellumoError::unableToWrite(m_path);
    IniCache::instance().store(m_files, m_path, std::move(edited), bytes);
}

bool IniFile::hasSection(const QString &section) const
{
    return current()->hasSection(section);
}

QStringList IniFile::readNumbered(const QString &section, const QString &prefix, int first, int last) const
{
    const auto document = current();
    QStringList values;
    if (last >= first)
        values.reserve(qsizetype(last) - first + 1);
    for (qint64 n = first; n <= last; ++n)
        values.append(document->read(section, prefix + QString::number(n)));
    return values;
}
