#pragma once

#include <QString>
#include <QStringList>

class IniFile;

// A list kept in an INI section as a TOTAL counter and numbered entry keys (L1.., mfile0..).
class CountedSection
{
public:
    CountedSection(IniFile &file, const QString &section, const QString &entryPrefix);

    QString totalText() const;
    // TOTAL as an integer; "'%s' is not a valid integer value" when it is none (empty included).
    int total() const;
    // The entries numbered first to last in order, an empty string for each missing key. A count far
    // beyond the keys present lists only up to the last key present, so a damaged counter cannot
    // produce millions of empty entries.
    QStringList entries(int first, int last) const;
    // TOTAL + 1 is written first, then the value under writePrefix + the new TOTAL, both in one replacement of
    // the file; returns the new TOTAL.
    int append(const QString &writePrefix, const QString &value);

    static constexpr int MaxEntriesBeyondKeys = 10000;

private:
    IniFile &m_file;
    QString m_section;
    QString m_prefix;
};
