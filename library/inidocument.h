#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

// One INI file's content, parsed by the system's INI rules; a write edits one line and keeps every other byte.
class IniDocument
{
public:
    enum class Encoding { Ansi, Utf8, Utf16Le };

    explicit IniDocument(const QByteArray &fileBytes = {});

    // The value as stored: trimmed, one outer pair of quotes removed, cut to 2047 ANSI bytes;
    // empty for a missing section or key.
    QString read(const QString &section, const QString &key) const;
    // The value as read() gives it but not cut, so that a value too long to be read whole is told
    // from one that fits.
    QString readUncut(const QString &section, const QString &key) const;
    void write(const QString &section, const QString &key, const QString &value);

    // The highest n for which the section holds a key made of prefix and n; 0 when none.
    int highestNumberedKey(const QString &section, const QString &prefix) const;
    // The highest n for which a section is named prefix and n; 0 when none.
    int highestNumberedSection(const QString &prefix) const;
    // How far a walk over prefix1, prefix2, ... finds keys (or sections): the highest n present that is
    // reached while no more than MaxMissingNumbers numbers in all are missing on the way; 0 when none.
    // A damaged counter or one stray huge number then never walks billions of names.
    int reachedNumberedKey(const QString &section, const QString &prefix) const;
    int reachedNumberedSection(const QString &prefix) const;
    static constexpr int MaxMissingNumbers = 100000;
    // The key is written in the section, even with an empty value.
    bool hasKey(const QString &section, const QString &key) const;
    bool hasSection(const QString &section) const { return findSection(section) != nullptr; }

    QByteArray fileBytes() const;
    Encoding encoding() const { return m_encoding; }

    static constexpr qsizetype MaxValueBytes = 2047;

private:
    struct Line
    {
        qsizetype start = 0; // first byte after trimming
        qsizetype end = 0; // one past the last byte after trimming
        qsizetype next = 0; // start of the next line (after the line break)
        qsizetype equals = -1;
        bool hasBreak = false;
    };
    struct Section
    {
        int header = -1; // line index of the header
        int lastEntry = -1;
        QHash<QString, int> keys; // folded key name -> first line with it
    };

    void parse();
    QString decodeText(qsizetype from, qsizetype to) const;
    QByteArray encodeText(QStringView text) const;
    qsizetype nextChar(qsizetype pos) const;
    qsizetype findChar(char c, qsizetype from, qsizetype to) const;
    void trim(qsizetype &from, qsizetype &to) const;
    // Where the key's value lies, trimmed and unquoted; false for a missing section or key.
    bool findValue(const QString &section, const QString &key, qsizetype &from, qsizetype &to) const;
    QString cutToAnsiLimit(qsizetype from, qsizetype to) const;
    const Section *findSection(const QString &section) const;
    static int numberAfter(const QString &foldedName, const QString &foldedPrefix);

    Encoding m_encoding = Encoding::Ansi;
    QByteArray m_prefix; // byte-order mark kept as it was
    QByteArray m_text; // ANSI or UTF-8 bytes after the mark
    QVector<Line> m_lines;
    QVector<Section> m_sections;
    QHash<QString, int> m_sectionIndex; // folded name -> first section of that name
};
