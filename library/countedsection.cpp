#include "countedsection.h"

#include "inifile.h"
#include "ininumber.h"
#include "platform/vellumoerror.h"

using namespace Qt::StringLiterals;

CountedSection::CountedSection(IniFile &file, const QString &section, const QString &entryPrefix)
    : m_file(file)
    , m_section(section)
    , m_prefix(entryPrefix)
{
}

QString CountedSection::totalText() const
{
    return m_file.readString(m_section, u"TOTAL"_s);
}

int CountedSection::total() const
{
    return IniNumber::toInt(totalText());
}

QStringList CountedSection::entries(int first, int last) const
{
    if (last < first)
        return {};
    if (qint64(last) - first >= MaxEntriesBeyondKeys)
        last = qMin(last, qMax(first + MaxEntriesBeyondKeys - 1, m_file.reachedNumberedKey(m_section, m_prefix)));
    return m_file.readNumbered(m_section, m_prefix, first, last);
}

int CountedSection::append(const QString &writePrefix, const QString &value)
{
    const int total = this->total();
    if (total == 2147483647)
        throw VellumoError::integerOverflow();
    const int next = total + 1;
    m_file.beginBatch();
    m_file.writeString(m_section, u"TOTAL"_s, QString::number(next));
    m_file.writeString(m_section, writePrefix + QString::number(next), value);
    m_file.commit();
    return next;
}
