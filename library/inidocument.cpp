#include "inidocument.h"

#include <algorithm>

#include "platform/ansi.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {
QString fold(const QString &name)
{
    return name.toCaseFolded();
}

// Names asked for lose surrounding spaces only; a tab stays and never matches a trimmed name.
QString trimSpaces(const QString &name)
{
    qsizetype from = 0;
    qsizetype to = name.size();
    while (from < to && name[from] == u' ')
        ++from;
    while (to > from && name[to - 1] == u' ')
        --to;
    return name.mid(from, to - from);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

const QByteArray CrLf("\r\n");
}

IniDocument::IniDocument(const QByteArray &fileBytes)
{
    if (fileBytes.startsWith("\xEF\xBB\xBF")) {
        m_encoding = Encoding::Utf8;
        m_prefix = fileBytes.left(3);
        m_text = fileBytes.mid(3);
    } else if (fileBytes.startsWith("\xFF\xFE")) {
        m_encoding = Encoding::Utf16Le;
        m_prefix = fileBytes.left(2);
        QStringDecoder decoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
        m_text = QString(decoder.decode(QByteArrayView(fileBytes).sliced(2))).toUtf8();
    } else {
        m_text = fileBytes;
    }
    parse();
}

QByteArray IniDocument::fileBytes() const
{
    if (m_encoding == Encoding::Utf16Le) {
        QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
        return m_prefix + QByteArray(encoder.encode(QString::fromUtf8(m_text)));
    }
    return m_prefix + m_text;
}

QString IniDocument::decodeText(qsizetype from, qsizetype to) const
{
    const QByteArrayView bytes = QByteArrayView(m_text).sliced(from, to - from);
    return m_encoding == Encoding::Ansi ? Ansi::decode(bytes) : QString::fromUtf8(bytes);
}

QByteArray IniDocument::encodeText(QStringView text) const
{
    return m_encoding == Encoding::Ansi ? Ansi::encode(text) : text.toUtf8();
}

qsizetype IniDocument::nextChar(qsizetype pos) const
{
    // In UTF-8 an ASCII byte never stands inside another character, so bytes are characters here.
    if (m_encoding != Encoding::Ansi)
        return pos + 1;
    return pos + Ansi::charLength(m_text, pos);
}

qsizetype IniDocument::findChar(char c, qsizetype from, qsizetype to) const
{
    for (qsizetype i = from; i < to; i = nextChar(i))
        if (m_text[i] == c)
            return i;
    return -1;
}

void IniDocument::trim(qsizetype &from, qsizetype &to) const
{
    while (from < to && isBlank(m_text[from]))
        ++from;
    while (to > from && isBlank(m_text[to - 1]))
        --to;
}

void IniDocument::parse()
{
    m_lines.clear();
    m_sections.clear();
    m_sectionIndex.clear();

    const char *data = m_text.constData();
    const qsizetype size = m_text.size();
    qsizetype pos = 0;
    int current = -1;
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        Line line;
        line.next = end;
        if (end < size) {
            line.hasBreak = true;
            line.next = (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') ? end + 2 : end + 1;
        }
        line.start = pos;
        line.end = end;
        trim(line.start, line.end);
        const int index = int(m_lines.size());
        if (line.start < line.end) {
            const char first = data[line.start];
            if (first == '[') {
                qsizetype nameFrom = line.start + 1;
                qsizetype nameTo = findChar(']', nameFrom, line.end);
                if (nameTo < 0)
                    nameTo = line.end;
                trim(nameFrom, nameTo);
                Section section;
                section.header = index;
                current = int(m_sections.size());
                m_sections.append(section);
                // Only the first section of a name is ever searched; a later one of that name is dead.
                const QString name = fold(decodeText(nameFrom, nameTo));
                if (!m_sectionIndex.contains(name))
                    m_sectionIndex.insert(name, current);
            } else if (first != ';' && current >= 0) {
                Section &section = m_sections[current];
                section.lastEntry = index;
                line.equals = findChar('=', line.start, line.end);
                if (line.equals >= 0) {
                    qsizetype keyFrom = line.start;
                    qsizetype keyTo = line.equals;
                    trim(keyFrom, keyTo);
                    const QString key = fold(decodeText(keyFrom, keyTo));
                    if (!section.keys.contains(key))
                        section.keys.insert(key, index);
                }
            }
        }
        m_lines.append(line);
        pos = line.next;
    }
}

const IniDocument::Section *IniDocument::findSection(const QString &section) const
{
    const auto it = m_sectionIndex.constFind(fold(trimSpaces(section)));
    return it == m_sectionIndex.constEnd() ? nullptr : &m_sections[it.value()];
}

bool IniDocument::findValue(const QString &section, const QString &key, qsizetype &from, qsizetype &to) const
{
    const Section *found = findSection(section);
    if (!found)
        return false;
    const auto it = found->keys.constFind(fold(trimSpaces(key)));
    if (it == found->keys.constEnd())
        return false;
    const Line &line = m_lines[it.value()];
    from = line.equals + 1;
    to = line.end;
    trim(from, to);
    if (const void *nul = std::memchr(m_text.constData() + from, 0, size_t(to - from)))
        to = static_cast<const char *>(nul) - m_text.constData();
    if (to - from >= 2) {
        const char open = m_text[from];
        if ((open == '"' || open == '\'') && m_text[to - 1] == open) {
            ++from;
            --to;
        }
    }
    return true;
}

QString IniDocument::read(const QString &section, const QString &key) const
{
    qsizetype from = 0;
    qsizetype to = 0;
    return findValue(section, key, from, to) ? cutToAnsiLimit(from, to) : QString();
}

QString IniDocument::readUncut(const QString &section, const QString &key) const
{
    qsizetype from = 0;
    qsizetype to = 0;
    return findValue(section, key, from, to) ? decodeText(from, to) : QString();
}

QString IniDocument::cutToAnsiLimit(qsizetype from, qsizetype to) const
{
    if (m_encoding == Encoding::Ansi) {
        if (to - from > MaxValueBytes) {
            qsizetype end = from;
            for (qsizetype next = nextChar(end); next - from <= MaxValueBytes; next = nextChar(end))
                end = next;
            to = end;
        }
        return decodeText(from, to);
    }
    const QString value = decodeText(from, to);
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < value.size()) {
        const bool pair = value[i].isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate();
        const char32_t codePoint = pair ? QChar::surrogateToUcs4(value[i], value[i + 1]) : value[i].unicode();
        bytes += Ansi::encodedLength(codePoint);
        if (bytes > MaxValueBytes)
            return value.left(i);
        i += pair ? 2 : 1;
    }
    return value;
}

int IniDocument::numberAfter(const QString &foldedName, const QString &foldedPrefix)
{
    if (!foldedName.startsWith(foldedPrefix) || foldedName.size() == foldedPrefix.size()
        || !foldedName.at(foldedPrefix.size()).isDigit())
        return 0;
    bool ok = false;
    const int n = QStringView(foldedName).mid(foldedPrefix.size()).toInt(&ok);
    return ok ? n : 0;
}

int IniDocument::highestNumberedKey(const QString &section, const QString &prefix) const
{
    const Section *found = findSection(section);
    if (!found)
        return 0;
    const QString foldedPrefix = fold(prefix);
    int highest = 0;
    for (auto it = found->keys.constBegin(); it != found->keys.constEnd(); ++it)
        highest = qMax(highest, numberAfter(it.key(), foldedPrefix));
    return highest;
}

int IniDocument::highestNumberedSection(const QString &prefix) const
{
    const QString foldedPrefix = fold(prefix);
    int highest = 0;
    for (auto it = m_sectionIndex.constBegin(); it != m_sectionIndex.constEnd(); ++it)
        highest = qMax(highest, numberAfter(it.key(), foldedPrefix));
    return highest;
}

namespace {
int reached(QList<int> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    qint64 budget = IniDocument::MaxMissingNumbers;
    int last = 0;
    for (const int n : numbers) {
        if (n <= last)
            continue;
        const qint64 missing = qint64(n) - last - 1;
        if (missing > budget)
            break;
        budget -= missing;
        last = n;
    }
    return last;
}
}

int IniDocument::reachedNumberedKey(const QString &section, const QString &prefix) const
{
    const Section *found = findSection(section);
    if (!found)
        return 0;
    const QString foldedPrefix = fold(prefix);
    QList<int> numbers;
    for (auto it = found->keys.constBegin(); it != found->keys.constEnd(); ++it)
        if (const int n = numberAfter(it.key(), foldedPrefix); n > 0)
            numbers.append(n);
    return reached(std::move(numbers));
}

int IniDocument::reachedNumberedSection(const QString &prefix) const
{
    const QString foldedPrefix = fold(prefix);
    QList<int> numbers;
    for (auto it = m_sectionIndex.constBegin(); it != m_sectionIndex.constEnd(); ++it)
        if (const int n = numberAfter(it.key(), foldedPrefix); n > 0)
            numbers.append(n);
    return reached(std::move(numbers));
}

bool IniDocument::hasKey(const QString &section, const QString &key) const
{
    const Section *found = findSection(section);
    return found && found->keys.contains(fold(trimSpaces(key)));
}

void IniDocument::write(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = trimSpaces(section);
    const QString keyName = trimSpaces(key);
    const QByteArray entry = encodeText(keyName) + '=' + encodeText(value) + CrLf;

    const Section *found = findSection(sectionName);
    if (!found) {
        QByteArray appended;
        if (!m_text.isEmpty() && !m_text.endsWith('\r') && !m_text.endsWith('\n'))
            appended += CrLf;
        appended += '[' + encodeText(sectionName) + ']' + CrLf + entry;
        m_text += appended;
    } else if (const auto it = found->keys.constFind(fold(keyName)); it != found->keys.constEnd()) {
        const Line &line = m_lines[it.value()];
        m_text.replace(line.equals + 1, line.next - (line.equals + 1), encodeText(value) + CrLf);
    } else {
        const Line &after = m_lines[found->lastEntry >= 0 ? found->lastEntry : found->header];
        m_text.insert(after.next, after.hasBreak ? entry : CrLf + entry);
    }
    parse();
}
