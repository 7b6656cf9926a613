#include "librarycheck.h"

#include "categoryindex.h"
#include "effectindex.h"
#include "effectkind.h"
#include "effecttokens.h"
#include "inifile.h"
#include "ininumber.h"
#include "librarynames.h"
#include "platform/filesystem.h"
#include "platform/vellumoerror.h"

using namespace Qt::StringLiterals;

namespace {
// A count read as the windows read it: the number, or nothing with the problem noted. A negative
// count walks nothing, which is never what its writer meant.
std::optional<int> number(const QString &text, const QString &what, QStringList &notes)
{
    try {
        const int n = IniNumber::toInt(text);
        if (n < 0)
            notes << what + u" '"_s + text + u"' is negative"_s;
        return n;
    } catch (const VellumoError &) {
        notes << what + u" '"_s + text + u"' is not a number"_s;
        return std::nullopt;
    }
}

// n when token is stem + n for n in 1..count, as the windows match it.
int numbered(const QString &token, const QString &stem, int count, Qt::CaseSensitivity cs)
{
    const int n = EffectTokens::numbered(token, stem, cs);
    return n <= count ? n : 0;
}
}

LibraryCheck::LibraryCheck(FileSystem &files, const QString &applicationFolder)
    : m_files(files)
    , m_folder(applicationFolder)
{
}

QList<LibraryCheck::Problem> LibraryCheck::run() const
{
    QList<Problem> problems;
    QStringList categories;
    try {
        categories = CategoryIndex(m_files, m_folder).categories();
    } catch (const VellumoError &error) {
        problems.append({ CategoryIndex::fileName(), error.message() });
        return problems;
    }
    const QString categoryTotal
        = IniFile(m_files, m_folder + CategoryIndex::fileName()).readString(u"COMBOX"_s, u"TOTAL"_s);
    if (!categoryTotal.isEmpty() && IniNumber::toInt(categoryTotal) < 0)
        problems.append({ CategoryIndex::fileName(), u"its TOTAL '"_s + categoryTotal + u"' is negative"_s });
    if (!m_files.fileExists(m_files.resolveName(m_folder + CategoryIndex::fileName())))
        problems.append({ CategoryIndex::fileName(), u"missing"_s });
    const EffectIndex index(m_files, m_folder);
    for (const QString &category : categories) {
        if (!m_files.folderExists(m_files.resolveName(m_folder + category)))
            problems.append({ category, u"its folder is missing"_s });
        const QString total = IniFile(m_files, index.path()).readString(category, u"TOTAL"_s);
        if (total.isEmpty()) {
            problems.append({ category, u"LINK2.INI has no TOTAL for it"_s });
            continue;
        }
        std::optional<QStringList> effects;
        try {
            effects = index.effects(category);
        } catch (const VellumoError &) {
            problems.append({ category, u"its TOTAL '"_s + total + u"' in LINK2.INI is not a number"_s });
            continue;
        }
        const int counted = IniNumber::toInt(total);
        if (counted < 0)
            problems.append({ category, u"its TOTAL '"_s + total + u"' in LINK2.INI is negative"_s });
        const QStringList listed = effects.value_or(QStringList());
        for (int i = 0; i < listed.size(); ++i) {
            const QString &effect = listed[i];
            if (effect.isEmpty()) {
                // A run of empty entries is one fault (most often a TOTAL far beyond the entries, whose
                // end the list stops short of), so it is one line.
                int last = i;
                while (last + 1 < listed.size() && listed[last + 1].isEmpty())
                    ++last;
                const int to = last + 1 == listed.size() ? qMax(counted, last + 1) : last + 1;
                problems.append({ category,
                    to == i + 1 ? u"entry l%1 in LINK2.INI is empty"_s.arg(i + 1)
                                : u"entries l%1 to l%2 in LINK2.INI are empty"_s.arg(i + 1).arg(to) });
                i = last;
                continue;
            }
            if (!LibraryNames::namesOneEntry(effect)) {
                problems.append({ category + u'/' + effect, u"its name leads out of the category folder"_s });
                continue;
            }
            checkEffect(category, effect, index.kind(category, effect), problems);
        }
    }
    return problems;
}

void LibraryCheck::checkEffect(
    const QString &category, const QString &effect, const QString &kind, QList<Problem> &problems) const
{
    const QString where = category + u'/' + effect;
    switch (EffectKinds::fromText(kind)) {
    case EffectKind::Unusable:
        problems.append(
            { where, kind.isEmpty() ? u"has no kind in [system]"_s : u"kind '"_s + kind + u"' is unusable"_s });
        return;
    case EffectKind::Unknown:
        problems.append({ where, u"kind '"_s + kind + u"' is no kind the program knows"_s });
        return;
    case EffectKind::SimpleCopy:
        if (!m_files.fileExists(m_files.resolveName(m_folder + category + u'/' + effect + u".txt"_s)))
            problems.append({ where, u"its text file "_s + effect + u".txt is missing"_s });
        return;
    case EffectKind::Image:
    case EffectKind::Menu:
    case EffectKind::Text:
        checkDefinition(category, effect, EffectKinds::fromText(kind), problems);
        return;
    }
}

void LibraryCheck::checkDefinition(
    const QString &category, const QString &effect, EffectKind kind, QList<Problem> &problems) const
{
    const QString where = category + u'/' + effect;
    const QString folder = m_files.resolveName(m_folder + category) + u'/';
    const QString path = m_files.resolveName(folder + effect);
    if (!m_files.fileExists(path)) {
        problems.append({ where, u"its definition file is missing"_s });
        return;
    }
    const IniFile file(m_files, path);
    QStringList notes;
    const auto value = [&](const QString &key) { return file.readString(u"file"_s, key); };
    const auto count = [&](const QString &section, const QString &key, bool emptyIsZero) -> std::optional<int> {
        const QString text = file.readString(section, key);
        if (text.isEmpty() && emptyIsZero)
            return 0;
        return number(text, u"["_s + section + u"] "_s + key, notes);
    };
    const auto needsFile = [&](const QString &key) {
        const QString name = value(key);
        if (!name.isEmpty() && !LibraryNames::staysInFolder(name)) {
            notes << key + u" names "_s + name + u", which leads out of the category folder"_s;
            return;
        }
        if (!m_files.fileExists(m_files.resolveName(folder + QString(name).replace(u'\\', u'/'))))
            notes << key + u" names "_s + (name.isEmpty() ? u"nothing"_s : name) + u", which is not there"_s;
    };
    const auto needsPair = [&](const QString &top, const QString &bottom, const QString &token) {
        for (const QString &key : { top, bottom })
            if (!file.hasKey(u"file"_s, key))
                notes << u"token "_s + token + u" needs "_s + key + u" in [file]"_s;
    };

    const QString images = value(u"imgfilet"_s).isEmpty() ? u"0"_s : value(u"imgfilet"_s);
    const bool noImageCheck = kind == EffectKind::Menu && images.compare(u"x"_s, Qt::CaseInsensitive) == 0;
    if (!noImageCheck)
        if (const auto n = number(images, u"[file] imgfilet"_s, notes))
            for (int k = 1; k <= qMin(*n, 1000); ++k)
                if (value(u"imgfilename"_s + QString::number(k)) != u"0"_s)
                    needsFile(u"imgfilename"_s + QString::number(k));
    if (const auto m = count(u"file"_s, u"txtfilet"_s, true))
        for (int k = 1; k <= qMin(*m, 1000); ++k)
            if (value(u"txtfilename"_s + QString::number(k)) != u"0"_s)
                needsFile(u"txtfilename"_s + QString::number(k));
    if (!value(u"szwc"_s).isEmpty())
        number(value(u"szwc"_s), u"[file] szwc"_s, notes);
    const int pieces = count(u"file"_s, u"ft"_s, false).value_or(0);
    for (int j = 1; j <= qMin(pieces, 1000); ++j)
        needsFile(EffectTokens::PieceStem + QString::number(j));
    const int links = kind == EffectKind::Menu ? count(u"file"_s, u"lt"_s, true).value_or(0) : 0;
    for (int j = 1; j <= qMin(links, 1000); ++j)
        if (!file.hasKey(u"file"_s, EffectTokens::LinkStem + QString::number(j)))
            notes << EffectTokens::LinkStem + QString::number(j) + u" is missing from [file]"_s;

    const EffectTokens::KindTokens &tokens = EffectTokens::of(kind);
    const auto isPiece
        = [&](const QString &token) { return numbered(token, EffectTokens::PieceStem, pieces, Qt::CaseSensitive) > 0; };
    const auto isLink = [&](const QString &token) {
        return tokens.fixedLinks && numbered(token, EffectTokens::LinkStem, links, Qt::CaseInsensitive) > 0;
    };
    // A token names a piece, a fixed link or an element of the list's rules, with the keys it reads.
    const auto known = [&](const QList<EffectTokens::Rule> &rules, const QString &token) -> bool {
        if (isPiece(token) || isLink(token))
            return true;
        const EffectTokens::Rule *rule = EffectTokens::find(rules, token, images);
        if (!rule)
            return false;
        if (!rule->top.isEmpty())
            needsPair(rule->topKey(images), rule->bottomKey(images), token);
        if (rule->counting == EffectTokens::Counting::ZeroOrOneOnly) {
            const QString mode = value(rule->countingKey());
            if (mode != u"0"_s && mode != u"1"_s)
                notes << u"token "_s + token + u" needs "_s + rule->countingKey() + u" to be 0 or 1"_s;
        }
        return true;
    };
    const auto walk = [&](const QString &section, const QString &prefix, const QList<EffectTokens::Rule> &rules) {
        const std::optional<int> total = count(section, u"total"_s, false);
        for (int i = 1; i <= qMin(total.value_or(0), 1000); ++i) {
            const QString token = file.readString(section, prefix + QString::number(i));
            if (!known(rules, token))
                notes << u"["_s + section + u"] "_s + prefix + QString::number(i) + u" '"_s + token
                        + u"' is no element this kind of effect knows"_s;
        }
    };
    walk(u"abcd"_s, u"open"_s, tokens.steps);
    if (!tokens.rows.isEmpty())
        walk(u"list"_s, u"list"_s, tokens.rows);
    if (kind == EffectKind::Menu && value(EffectTokens::ParentMenuStem) == u"1"_s)
        needsPair(EffectTokens::ParentMenuTop, EffectTokens::ParentMenuBottom, u"parent menus (mm=1)"_s);

    notes.removeDuplicates();
    for (const QString &note : notes)
        problems.append({ where, note });
}
