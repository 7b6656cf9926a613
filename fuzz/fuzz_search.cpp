// The effect search over arbitrary index files: its result lines are exactly the effects of the
// listed categories that hold the text, as the index files say, and each line taken apart gives its
// category and effect back; taking apart any line follows the last "." "\" or ":" rule.
#include "fuzzcheck.h"

#include "library/categoryindex.h"
#include "library/countedsection.h"
#include "library/effectindex.h"
#include "library/effectsearch.h"
#include "library/inidocument.h"
#include "library/resultline.h"
#include "platform/localfilesystem.h"
#include "platform/vellumoerror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <QStringDecoder>

#include <algorithm>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QString asciiUpper(const QString &text)
{
    QString upper = text;
    for (QChar &c : upper)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return upper;
}

// A counter: decimal digits after an optional sign, within the range of an int.
std::optional<int> counter(const QString &text)
{
    qsizetype i = text.startsWith(u'-') || text.startsWith(u'+') ? 1 : 0;
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > qint64(1) << 32)
            return std::nullopt;
    }
    if (text.startsWith(u'-'))
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(value);
}

struct Expected
{
    QStringList lines;
    QVector<std::pair<QString, QString>> found; // category and effect of each line
    bool fails = false;
};

// The lines the search must give, worked out from the effect index as the INI rules read it.
Expected expectedLines(const IniDocument &index, const QStringList &categories, const QString &text)
{
    Expected expected;
    const QString upperText = asciiUpper(text);
    for (const QString &category : categories) {
        const QString total = index.read(category, u"TOTAL"_s);
        if (total.isEmpty())
            continue;
        const std::optional<int> count = counter(total);
        if (!count) {
            expected.fails = true;
            return expected;
        }
        // Entries past the keys present read empty and find nothing; a long list walks no further than
        // its keys reach across missing numbers (so a stray huge number is never reached).
        const int last
            = qMin(*count, qMax(CountedSection::MaxEntriesBeyondKeys, index.reachedNumberedKey(category, u"L"_s)));
        for (int i = 1; i <= last; ++i) {
            const QString effect = index.read(category, u"L"_s + QString::number(i));
            if (!upperText.isEmpty() && asciiUpper(effect).contains(upperText)) {
                expected.lines.append(category + u'.' + effect);
                expected.found.append({ category, effect });
            }
        }
    }
    return expected;
}

bool splitsAt(QChar c)
{
    return c == u'.' || c == u'\\' || c == u':';
}

void checkSplit(const QString &line)
{
    const ResultLine r = ResultLine::split(line);
    qsizetype at = line.size() - 1;
    while (at >= 0 && !splitsAt(line[at]))
        --at;
    if (at >= 0 && line[at] == u'.') {
        FUZZ_EQUAL(r.category, line.left(at), "category of " + FuzzCheck::shown(line));
        FUZZ_EQUAL(r.effect, line.mid(at + 1), "effect of " + FuzzCheck::shown(line));
    } else {
        FUZZ_EQUAL(r.category, line, "a line without a last \".\" is all category: " + FuzzCheck::shown(line));
        FUZZ_EQUAL(r.effect, QString(), "a line without a last \".\" has no effect: " + FuzzCheck::shown(line));
    }
}

// Section names as they stand in the file, near enough to choose categories that are there.
QStringList sectionNames(const QByteArray &bytes, const IniDocument &document)
{
    QStringList names;
    for (const QByteArray &line : bytes.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (!trimmed.startsWith('['))
            continue;
        const qsizetype end = trimmed.indexOf(']');
        const QByteArray name = trimmed.mid(1, end < 0 ? -1 : end - 1);
        names.append(document.encoding() == IniDocument::Encoding::Ansi
                ? QStringDecoder("GB18030", QStringConverter::Flag::Stateless).decode(name)
                : QString::fromUtf8(name));
        if (names.size() == 40)
            break;
    }
    return names;
}

struct Folder
{
    QTemporaryDir dir;
    LocalFileSystem files;
    QString app() const { return dir.path() + u'/'; }

    void put(const QString &name, const QString &other, const QByteArray &bytes) const
    {
        QFile::remove(app() + other);
        QFile file(app() + name);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
            "cannot write " + name.toUtf8());
    }
};

QStringList search(Folder &folder, const QStringList &categories, const QString &text, bool *failed)
{
    QStringList lines;
    *failed = false;
    try {
        EffectSearch(folder.files, folder.app()).run(categories, text, [&](const QString &line) {
            lines.append(line);
        });
    } catch (const VellumoError &) {
        *failed = true;
    }
    return lines;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Folder folder;
    FuzzInput input(data, size);
    const uint8_t flags = input.byte();
    const int link1Size = input.byte() | input.byte() << 8;
    const QByteArray asked = input.bytes(24);
    const QString text = flags & 8 ? QStringDecoder("GB18030", QStringConverter::Flag::Stateless).decode(asked)
                                   : QString::fromUtf8(asked);
    const QByteArray rest = input.rest();
    const QByteArray link1 = rest.right(qMin<qsizetype>(link1Size, rest.size()));
    const QByteArray link2 = rest.left(rest.size() - link1.size());

    // The index files may be spelt in any letter case.
    folder.put(flags & 2 ? u"link1.ini"_s : u"LINK1.INI"_s, flags & 2 ? u"LINK1.INI"_s : u"link1.ini"_s, link1);
    folder.put(flags & 4 ? u"Link2.ini"_s : u"LINK2.INI"_s, flags & 4 ? u"LINK2.INI"_s : u"Link2.ini"_s, link2);
    const IniDocument index(link2);

    QStringList categories;
    bool listed = false;
    if (flags & 1) {
        try {
            categories = CategoryIndex(folder.files, folder.app()).categories();
            listed = true;
        } catch (const VellumoError &) {
        }
    }
    if (!listed)
        categories = sectionNames(link2, index) + QStringList { text, QString() };

    const Expected expected = expectedLines(index, categories, text);
    bool failed = false;
    const QStringList lines = search(folder, categories, text, &failed);
    FUZZ_CHECK(failed == expected.fails, QByteArray("the search fails exactly when a counter is no number"));
    FUZZ_EQUAL(lines.join(u'\n'), expected.lines.join(u'\n'), "result lines for " + FuzzCheck::shown(text));
    bool failedAgain = false;
    FUZZ_EQUAL(search(folder, categories, text, &failedAgain).join(u'\n'), lines.join(u'\n'), "a second search");
    FUZZ_CHECK(failedAgain == failed, QByteArray("a second search fails the same"));

    for (const QString &line : lines)
        checkSplit(line);
    // A line whose effect holds none of the characters it is split at gives back what was found.
    int looked = 0;
    for (const auto &[category, effect] : expected.found) {
        if (std::any_of(effect.begin(), effect.end(), splitsAt))
            continue;
        const ResultLine r = ResultLine::split(category + u'.' + effect);
        FUZZ_EQUAL(r.category, category, "category taken back from a result line");
        FUZZ_EQUAL(r.effect, effect, "effect taken back from a result line");
        if (looked++ >= 4)
            continue;
        const std::optional<QStringList> effects = EffectIndex(folder.files, folder.app()).effects(category);
        FUZZ_CHECK(effects && effects->contains(effect),
            "the index has no effect " + FuzzCheck::shown(effect) + " in " + FuzzCheck::shown(category));
    }
    checkSplit(text);
    checkSplit(QString::fromUtf8(link1.left(64)));
    return 0;
}
