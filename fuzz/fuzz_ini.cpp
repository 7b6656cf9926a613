// The INI access service on arbitrary file bytes: every value found reads as the INI rules say, a
// write edits one line only, and a value written is read back as the rules promise, both from the
// parsed document and through a real file that another program keeps changing.
#include "fuzzcheck.h"

#include "library/inidocument.h"
#include "library/inifile.h"
#include "platform/localfilesystem.h"
#include "platform/vellumoerror.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

using Encoding = IniDocument::Encoding;
constexpr qsizetype MaxValueBytes = IniDocument::MaxValueBytes;

bool blank(char c)
{
    return c == ' ' || c == '\t';
}

QString fold(const QString &name)
{
    return name.toCaseFolded();
}

// Straight from the converter, not through the system's ANSI helpers, so that they are checked too.
QByteArray gbEncode(QStringView text)
{
    static QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

qsizetype gbLength(QStringView character)
{
    return character.size() == 1 && character[0].unicode() < 0x80 ? 1 : gbEncode(character).size();
}

// A character cut off by the end of a name or value reads as a replacement character: the bytes are
// decoded, then a line feed, which continues no character, makes the decoder give up what it kept back.
QString gbDecode(QByteArrayView bytes)
{
    QStringDecoder decoder("GB18030");
    QString text = decoder.decode(bytes);
    QString rest = decoder.decode(QByteArrayView("\n", 1));
    rest.chop(1);
    return text + rest;
}

// A GB18030 character: a lead byte 81..FE with a trail byte 40..FE but 7F, or with a digit, a lead
// byte and a digit; any other byte stands alone.
qsizetype gbCharLength(QByteArrayView bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return k < bytes.size() ? static_cast<unsigned char>(bytes[k]) : 0u; };
    const unsigned lead = at(i);
    if (lead < 0x81 || lead > 0xFE || i + 1 >= bytes.size())
        return 1;
    const unsigned second = at(i + 1);
    if (second >= 0x40 && second <= 0xFE && second != 0x7F)
        return 2;
    if (second >= 0x30 && second <= 0x39 && at(i + 2) >= 0x81 && at(i + 2) <= 0xFE && at(i + 3) >= 0x30
        && at(i + 3) <= 0x39)
        return 4;
    return 1;
}

// What the rules say a file holds, worked out here on its own: every section that can be read (the
// first of each name) with every key that can be read in it (the first of each name) and its value.
struct Model
{
    struct Key
    {
        QString name;
        QString value;
    };
    struct Section
    {
        QString name;
        QVector<Key> keys;
        QHash<QString, int> index; // -1 for a key that cannot be asked for
        QStringList allKeys;
    };

    Encoding encoding = Encoding::Ansi;
    QByteArray text;
    QVector<Section> sections; // those that can be asked for
    QHash<QString, int> index; // -1 for a section that cannot be asked for
    QStringList allSections;

    explicit Model(const QByteArray &bytes)
    {
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            encoding = Encoding::Utf8;
            text = bytes.mid(3);
        } else if (bytes.startsWith("\xFF\xFE")) {
            encoding = Encoding::Utf16Le;
            QStringDecoder decoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
            text = QString(decoder.decode(QByteArrayView(bytes).sliced(2))).toUtf8();
        } else {
            text = bytes;
        }
        parse();
    }

    bool ansi() const { return encoding == Encoding::Ansi; }

    qsizetype charLength(qsizetype i) const { return ansi() ? gbCharLength(text, i) : 1; }

    qsizetype find(char c, qsizetype from, qsizetype to) const
    {
        for (qsizetype i = from; i < to; i += charLength(i))
            if (text[i] == c)
                return i;
        return -1;
    }

    void trim(qsizetype &from, qsizetype &to) const
    {
        while (from < to && blank(text[from]))
            ++from;
        while (to > from && blank(text[to - 1]))
            --to;
    }

    QString decode(qsizetype from, qsizetype to) const
    {
        const QByteArrayView bytes = QByteArrayView(text).sliced(from, to - from);
        return ansi() ? gbDecode(bytes) : QString::fromUtf8(bytes);
    }

    QString value(qsizetype from, qsizetype to) const
    {
        trim(from, to);
        for (qsizetype i = from; i < to; ++i)
            if (text[i] == '\0') {
                to = i;
                break;
            }
        if (to - from >= 2 && (text[from] == '"' || text[from] == '\'') && text[to - 1] == text[from]) {
            ++from;
            --to;
        }
        if (ansi()) {
            qsizetype end = from;
            while (end < to && end + charLength(end) - from <= MaxValueBytes)
                end += charLength(end);
            return decode(from, qMin(end, to));
        }
        return cutToLimit(decode(from, to));
    }

    // Keeps the whole characters that fit the limit in GB18030 bytes.
    static QString cutToLimit(const QString &value)
    {
        qsizetype bytes = 0;
        for (qsizetype i = 0; i < value.size();) {
            const qsizetype n
                = value[i].isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate() ? 2 : 1;
            bytes += gbLength(QStringView(value).mid(i, n));
            if (bytes > MaxValueBytes)
                return value.left(i);
            i += n;
        }
        return value;
    }

    // A name is trimmed as bytes, then decoded; should its decoded form still start or end with a
    // blank, no trimmed name asked for can match it: the rules promise nothing for such a name, and it
    // is left out of the checks.
    static bool askable(const QString &name)
    {
        return name.isEmpty() || (!blankChar(name.front()) && !blankChar(name.back()));
    }
    static bool blankChar(QChar c) { return c == u' ' || c == u'\t'; }

    void parse()
    {
        Section *current = nullptr;
        Section dead;
        for (qsizetype pos = 0; pos < text.size();) {
            qsizetype end = pos;
            while (end < text.size() && text[end] != '\r' && text[end] != '\n')
                ++end;
            qsizetype next = end;
            if (end < text.size())
                next = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? end + 2 : end + 1;
            qsizetype from = pos;
            qsizetype to = end;
            trim(from, to);
            pos = next;
            if (from == to || text[from] == ';')
                continue;
            if (text[from] == '[') {
                qsizetype nameFrom = from + 1;
                qsizetype nameTo = find(']', nameFrom, to);
                if (nameTo < 0)
                    nameTo = to;
                trim(nameFrom, nameTo);
                const QString name = decode(nameFrom, nameTo);
                if (index.contains(fold(name))) {
                    dead = Section();
                    current = &dead;
                } else if (!askable(name)) {
                    index.insert(fold(name), -1);
                    allSections.append(name);
                    dead = Section();
                    current = &dead;
                } else {
                    index.insert(fold(name), int(sections.size()));
                    allSections.append(name);
                    sections.append({ name, {}, {}, {} });
                    current = &sections.last();
                }
                continue;
            }
            const qsizetype equals = find('=', from, to);
            if (!current || equals < 0)
                continue;
            qsizetype keyFrom = from;
            qsizetype keyTo = equals;
            trim(keyFrom, keyTo);
            const QString key = decode(keyFrom, keyTo);
            if (current->index.contains(fold(key)))
                continue;
            current->allKeys.append(key);
            if (!askable(key)) {
                current->index.insert(fold(key), -1);
                continue;
            }
            current->index.insert(fold(key), int(current->keys.size()));
            current->keys.append({ key, value(equals + 1, to) });
        }
    }

    std::optional<QString> read(const QString &section, const QString &key) const
    {
        const auto s = index.constFind(fold(section));
        if (s == index.constEnd() || s.value() < 0)
            return std::nullopt;
        const Section &found = sections[s.value()];
        const auto k = found.index.constFind(fold(key));
        if (k == found.index.constEnd() || k.value() < 0)
            return std::nullopt;
        return found.keys[k.value()].value;
    }
};

QString swapAsciiCase(const QString &name)
{
    QString swapped = name;
    for (QChar &c : swapped)
        if (c.unicode() < 0x80 && c.isLetter())
            c = c.isUpper() ? c.toLower() : c.toUpper();
    return swapped;
}

bool hasAny(const QString &text, QStringView characters)
{
    for (QChar c : characters)
        if (text.contains(c))
            return true;
    return false;
}

// A name that stands in the file as it was asked: one line, no tab at either end once spaces are gone.
bool plainName(const QString &name)
{
    const QString trimmed = FuzzCheck::trimSpaces(name);
    return !hasAny(name, u"\r\n\0"_s) && !trimmed.startsWith(u'\t') && !trimmed.endsWith(u'\t');
}

bool plainKey(const QString &key)
{
    const QString trimmed = FuzzCheck::trimSpaces(key);
    return plainName(key) && !key.contains(u'=') && !trimmed.startsWith(u';') && !trimmed.startsWith(u'[');
}

bool plainSection(const QString &section)
{
    return plainName(section) && !section.contains(u']');
}

// What reading a value written on one line gives back, by the rules for reading.
QString readBack(const QString &written, Encoding encoding)
{
    qsizetype from = 0;
    qsizetype to = written.size();
    while (from < to && (written[from] == u' ' || written[from] == u'\t'))
        ++from;
    while (to > from && (written[to - 1] == u' ' || written[to - 1] == u'\t'))
        --to;
    if (to - from >= 2 && (written[from] == u'"' || written[from] == u'\'') && written[to - 1] == written[from]) {
        ++from;
        --to;
    }
    const QString value = written.mid(from, to - from);
    if (encoding != Encoding::Ansi)
        return Model::cutToLimit(value);
    const QByteArray bytes = gbEncode(value);
    qsizetype end = 0;
    while (end < bytes.size() && end + gbCharLength(bytes, end) <= MaxValueBytes)
        end += gbCharLength(bytes, end);
    return gbDecode(QByteArrayView(bytes).first(end));
}

QString describe(const QString &section, const QString &key)
{
    return u"[%1] %2"_s.arg(section, key);
}

// Every readable value of the file reads as the rules say, under any spelling of its names that the
// rules match; names the file does not hold read empty.
void checkReads(const IniDocument &document, const Model &model)
{
    for (const Model::Section &section : model.sections) {
        for (const Model::Key &key : section.keys) {
            const QByteArray where = FuzzCheck::shown(describe(section.name, key.name));
            FUZZ_EQUAL(document.read(section.name, key.name), key.value, where);
            FUZZ_EQUAL(document.read(u"  "_s + swapAsciiCase(section.name) + u' ', u' ' + swapAsciiCase(key.name)),
                key.value, "names asked in other ASCII letter case, with spaces: " + where);
            FUZZ_CHECK(document.hasKey(section.name, key.name), where);
            FUZZ_EQUAL(document.read(u'\t' + section.name, key.name), QString(),
                "a section asked with a tab never matches: " + where);
        }
        QString missing = u"\x7f"_s;
        while (section.index.contains(fold(missing)))
            missing += u'#';
        FUZZ_CHECK(!document.hasKey(section.name, missing), FuzzCheck::shown(describe(section.name, missing)));
        FUZZ_EQUAL(document.read(section.name, missing), QString(), "a missing key reads empty");
    }
}

void checkNumbered(const IniDocument &document, const Model &model, const QString &section, const QString &prefix)
{
    const QString folded = fold(prefix);
    const auto numberIn = [&](const QString &name) {
        const QString f = fold(name);
        if (!f.startsWith(folded) || f.size() == folded.size() || !f.at(folded.size()).isDigit())
            return 0;
        bool ok = false;
        const int n = QStringView(f).mid(folded.size()).toInt(&ok);
        return ok ? n : 0;
    };
    const auto check = [&](int highest, const QStringList &names, const char *what) {
        bool reached = highest == 0;
        for (const QString &name : names) {
            const int n = numberIn(name);
            FUZZ_CHECK(n <= highest, what + (": " + FuzzCheck::shown(name)) + " above " + QByteArray::number(highest));
            reached = reached || n == highest;
        }
        FUZZ_CHECK(reached,
            what + (": no name gives " + QByteArray::number(highest)) + " for prefix " + FuzzCheck::shown(prefix));
    };
    check(document.highestNumberedSection(prefix), model.allSections, "highestNumberedSection");
    QStringList keys;
    if (const auto s = model.index.constFind(fold(FuzzCheck::trimSpaces(section)));
        s != model.index.constEnd() && s.value() >= 0)
        keys = model.sections[s.value()].allKeys;
    check(document.highestNumberedKey(section, prefix), keys, "highestNumberedKey");
}

// The bytes of before that a write left out or changed hold one line at most.
void checkOneLineEdited(const QByteArray &before, const QByteArray &after)
{
    qsizetype same = 0;
    while (same < before.size() && same < after.size() && before[same] == after[same])
        ++same;
    qsizetype tail = 0;
    while (tail < before.size() - same && tail < after.size() - same
        && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const QByteArray changed = before.mid(same, before.size() - same - tail);
    const qsizetype breaks
        = changed.count("\r\n") + changed.count('\r') + changed.count('\n') - 2 * changed.count("\r\n");
    FUZZ_CHECK(breaks <= 1, "a write changed more than one line: " + FuzzCheck::shown(changed));
}

struct Write
{
    QString section;
    QString key;
    QString value;
    bool plain = false;
};

// What steers one run, taken off the back of the input before the file.
struct Choices
{
    uint8_t flags = 0;
    uint8_t picks[3] = {};
    QString prefix;
    QString section;
    QString key;
    QString value;

    explicit Choices(FuzzInput &input)
    {
        flags = input.byte();
        for (uint8_t &pick : picks)
            pick = input.byte();
        prefix = input.utf8(8);
        section = input.utf8(16);
        key = input.utf8(16);
        value = input.utf8(64);
    }
};

// Either names the file holds, in their own or another spelling, or names of the input's own.
Write chooseWrite(const Choices &c, const Model &model)
{
    Write w { c.section, c.key, c.value };
    if ((c.flags & 3) != 0 && !model.sections.isEmpty()) {
        const Model::Section &s = model.sections[c.picks[0] % model.sections.size()];
        w.section = s.name;
        if (!s.keys.isEmpty() && !(c.flags & 4))
            w.key = s.keys[c.picks[1] % s.keys.size()].name;
        if (c.flags & 8)
            w.section = u' ' + swapAsciiCase(w.section);
        if (c.flags & 16)
            w.key = swapAsciiCase(w.key) + u"  "_s;
    }
    // A long value of two-byte characters after a few ASCII ones: where the read limit cuts.
    if (c.flags & 32)
        w.value = QString(c.picks[2] % 8, u'a') + QString(c.picks[2] / 8 * 128 + c.picks[1], QChar(0x4E2D));
    w.plain = plainSection(w.section) && plainKey(w.key) && !hasAny(w.value, u"\r\n\0"_s);
    return w;
}

void checkWrite(const IniDocument &before, const Model &model, const Write &w, IniDocument &after)
{
    after.write(w.section, w.key, w.value);
    const QByteArray bytes = after.fileBytes();
    const Model edited(bytes);
    checkReads(after, edited);
    FUZZ_CHECK(after.encoding() == before.encoding(), "a write changed the file's encoding");
    if (before.encoding() != Encoding::Utf16Le) {
        FUZZ_EQUAL(IniDocument(bytes).fileBytes(), bytes, "parsing the written bytes keeps them");
        checkOneLineEdited(before.fileBytes(), bytes);
    }
    if (!w.plain)
        return;
    const QByteArray where = FuzzCheck::shown(describe(w.section, w.key));
    FUZZ_EQUAL(after.read(w.section, w.key), readBack(w.value, before.encoding()), "write then read: " + where);
    FUZZ_EQUAL(IniDocument(bytes).read(w.section, w.key), readBack(w.value, before.encoding()),
        "write, parse the bytes again, read: " + where);
    FUZZ_CHECK(after.hasKey(w.section, w.key), where);
    const QString writtenSection = fold(FuzzCheck::trimSpaces(w.section));
    const QString writtenKey = fold(FuzzCheck::trimSpaces(w.key));
    for (const Model::Section &s : model.sections)
        for (const Model::Key &k : s.keys)
            if (fold(s.name) != writtenSection || fold(k.name) != writtenKey)
                FUZZ_EQUAL(after.read(s.name, k.name), k.value,
                    "a write to " + where + " changed " + FuzzCheck::shown(describe(s.name, k.name)));
}

// The same file through the access object: another program writes it, the service reads and writes it.
void checkFile(const QByteArray &bytes, const Model &model, const Write &w, const IniDocument &edited, bool replace)
{
    static QTemporaryDir dir;
    static LocalFileSystem files;
    FUZZ_CHECK(dir.isValid(), "no temporary folder");
    const QString path = dir.path() + u"/Fuzz.ini"_s;
    if (replace)
        QFile::remove(path);
    {
        QFile out(path);
        FUZZ_CHECK(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size(),
            "cannot write the file");
    }
    IniFile file(files, dir.path() + u"/FUZZ.INI"_s);
    FUZZ_EQUAL(file.path(), path, "the name resolves without regard to letter case");
    int checked = 0;
    for (const Model::Section &s : model.sections)
        for (const Model::Key &k : s.keys)
            if (checked++ < 64)
                FUZZ_EQUAL(file.readString(s.name, k.name), k.value,
                    "read through the file: " + FuzzCheck::shown(describe(s.name, k.name)));
    if (!model.sections.isEmpty() && !model.sections.first().keys.isEmpty()) {
        const Model::Section &s = model.sections.first();
        QStringList expected;
        for (int n = 0; n <= 3; ++n)
            expected.append(model.read(s.name, s.keys.first().name + QString::number(n)).value_or(QString()));
        FUZZ_EQUAL(file.readNumbered(s.name, s.keys.first().name, 0, 3).join(u'\x1f'), expected.join(u'\x1f'),
            "readNumbered reads what each read gives");
    }
    try {
        file.writeString(w.section, w.key, w.value);
    } catch (const VellumoError &e) {
        FuzzCheck::fail(__FILE__, __LINE__, "writeString in a writable folder", e.message().toUtf8());
    }
    QFile in(path);
    FUZZ_CHECK(in.open(QIODevice::ReadOnly), "the written file is gone");
    FUZZ_EQUAL(in.readAll(), edited.fileBytes(), "the file holds what the document write gives");
    FUZZ_EQUAL(file.readString(w.section, w.key), edited.read(w.section, w.key), "read after writeString");
    FUZZ_EQUAL(IniFile(files, path).readString(w.section, w.key), edited.read(w.section, w.key),
        "read after writeString by a new access object");
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const Choices choices(input);
    const QByteArray bytes = input.rest();

    const IniDocument document(bytes);
    const Model model(bytes);
    FUZZ_CHECK(document.encoding() == model.encoding, "encoding told by the byte-order mark");
    if (model.encoding != Encoding::Utf16Le)
        FUZZ_EQUAL(document.fileBytes(), bytes, "an unwritten document gives back its bytes");
    else
        checkReads(IniDocument(document.fileBytes()), model);
    checkReads(document, model);

    QString section = choices.section;
    QString prefix = choices.prefix;
    if (!model.sections.isEmpty() && (choices.flags & 64)) {
        const Model::Section &s = model.sections[choices.picks[0] % model.sections.size()];
        section = s.name;
        if (!s.keys.isEmpty()) {
            prefix = s.keys[choices.picks[1] % s.keys.size()].name;
            while (!prefix.isEmpty() && prefix.back().isDigit())
                prefix.chop(1);
        }
    }
    checkNumbered(document, model, section, prefix);

    const Write w = chooseWrite(choices, model);
    IniDocument edited = document;
    checkWrite(document, model, w, edited);
    checkFile(bytes, model, w, edited, choices.flags & 128);
    return 0;
}
