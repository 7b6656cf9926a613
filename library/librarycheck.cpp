#include "librarycheck.h"

#include "categoryindex.h"
#include "effectindex.h"
#include "effectkind.h"
#include "inifile.h"
#include "ininumber.h"
#include "librarynames.h"
#include "platform/filesystem.h"
#include "platform/vellumoerror.h"
#include "effects/setupflow.h"


#include <functional>

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
    const int n = SetupFlow::numberedToken(token, stem, cs);
    return n <= count ? n : 0;
}
}

LibraryCheck::LibraryCheck(FileSystem &files, const QString &applicationFolder)
    : m_files(files), m_folder(applicationFolder)
{
}

QList<LibraryCheck::Problem> LibraryCheck::run() const
{
    QList<Problem> problems;
    QStringList categories;
    try {
        categories = CategoryIndex(m_files, m_folder).categories();
    } catch (const VellumoError &error) {
        problems.append({CategoryIndex::fileName(), error.message()});
        return problems;
    }
    const QString categoryTotal = IniFile(m_files, m_folder + CategoryIndex::fileName()).readString(u"COMBOX"_s, u"TOTAL"_s);
    if (!categoryTotal.isEmpty() && IniNumber::toInt(categoryTotal) < 0)
        problems.append({CategoryIndex::fileName(), u"its TOTAL '"_s + categoryTotal + u"' is negative"_s});
    if (!m_files.fileExists(m_files.resolveName(m_folder + CategoryIndex::fileName())))
        problems.append({CategoryIndex::fileName(), u"missing"_s});
    const EffectIndex index(m_files, m_folder);
    for (const QString &category : categories) {
        if (!m_files.folderExists(m_files.resolveName(m_folder + category)))
            problems.append({category, u"its folder is missing"_s});
        const QString total = IniFile(m_files, index.path()).readString(category, u"TOTAL"_s);
        if (total.isEmpty()) {
            problems.append({category, u"LINK2.INI has no TOTAL for it"_s});
            continue;
        }
        std::optional<QStringList> effects;
        try {
            effects = index.effects(category);
        } catch (const VellumoError &) {
            problems.append({category, u"its TOTAL '"_s + total + u"' in LINK2.INI is not a number"_s});
            continue;
        }
        if (IniNumber::toInt(total) < 0)
            problems.append({category, u"its TOTAL '"_s + total + u"' in LINK2.INI is negative"_s});
        for (const QString &effect : effects.value_or(QStringList())) {
            if (!LibraryNames::namesOneEntry(effect)) {
                problems.append({category + u'/' + effect, u"its name leads out of the category folder"_s});
                continue;
            }
            checkEffect(category, effect, index.kind(category, effect), problems);
        }
    }
    return problems;
}

void LibraryCheck::checkEffect(const QString &category, const QString &effect, const QString &kind,
                               QList<Problem> &problems) const
{
    const QString where = category + u'/' + effect;
    switch (EffectKinds::fromText(kind)) {
    case EffectKind::Unusable:
        problems.append({where, kind.isEmpty() ? u"has no kind in [system]"_s : u"kind '"_s + kind + u"' is unusable"_s});
        return;
    case EffectKind::Unknown:
        problems.append({where, u"kind '"_s + kind + u"' is no kind the program knows"_s});
        return;
    case EffectKind::SimpleCopy:
        if (!m_files.fileExists(m_files.resolveName(m_folder + category + u'/' + effect + u".txt"_s)))
            problems.append({where, u"its text file "_s + effect + u".txt is missing"_s});
        return;
    case EffectKind::Image:
        checkDefinition(category, effect, 2, problems);
        return;
    case EffectKind::Menu:
        checkDefinition(category, effect, 3, problems);
        return;
    case EffectKind::Text:
        checkDefinition(category, effect, 4, problems);
        return;
    }
}

void LibraryCheck::checkDefinition(const QString &category, const QString &effect, int kind,
                                   QList<Problem> &problems) const
{
    const QString where = category + u'/' + effect;
    const QString folder = m_files.resolveName(m_folder + category) + u'/';
    const QString path = m_files.resolveName(folder + effect);
    if (!m_files.fileExists(path)) {
        problems.append({where, u"its definition file is missing"_s});
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
        for (const QString &key : {top, bottom})
            if (!file.hasKey(u"file"_s, key))
                notes << u"token "_s + token + u" needs "_s + key + u" in [file]"_s;
    };

    const QString images = value(u"imgfilet"_s).isEmpty() ? u"0"_s : value(u"imgfilet"_s);
    const bool noImageCheck = kind == 3 && images.compare(u"x"_s, Qt::CaseInsensitive) == 0;
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
        needsFile(u"fno"_s + QString::number(j));
    const int links = kind == 3 ? count(u"file"_s, u"lt"_s, true).value_or(0) : 0;
    for (int j = 1; j <= qMin(links, 1000); ++j)
        if (!file.hasKey(u"file"_s, u"links"_s + QString::number(j)))
            notes << u"links"_s + QString::number(j) + u" is missing from [file]"_s;

    const auto isPiece = [&](const QString &token) { return numbered(token, u"fno"_s, pieces, Qt::CaseSensitive) > 0; };
    const auto isLink = [&](const QString &token) { return numbered(token, u"links"_s, links, Qt::CaseInsensitive) > 0; };
    constexpr auto is = &SetupFlow::isToken;
    const auto counted = [&](const QString &stem, const QString &token) {
        needsPair(stem + u"top"_s, stem + u"bu"_s, token);
        if (value(stem) != u"0"_s && value(stem) != u"1"_s)
            notes << u"token "_s + token + u" needs "_s + stem + u" to be 0 or 1"_s;
    };

    // Each window's step tokens, with the pairs they use.
    const auto stepKnown = [&](const QString &token) -> bool {
        if (isPiece(token))
            return true;
        switch (kind) {
        case 2:
            if (token == u"inname"_s + images) {
                needsPair(u"intop"_s + images, u"inbu"_s + images, token);
                return true;
            }
            if (token == u"imain"_s + images) {
                needsPair(u"immtop"_s + images, u"immbu"_s + images, token);
                return true;
            }
            return false;
        case 3:
            if (isLink(token) || is(token, u"list"_s))
                return true;
            if (is(token, u"txtm"_s)) {
                needsPair(u"txtmto"_s, u"txtmbu"_s, token);
                return true;
            }
            return false;
        default:
            if (is(token, u"list"_s))
                return true;
            if (is(token, u"font"_s) || is(token, u"color"_s)) {
                needsPair(token.toLower() + u"top"_s, token.toLower() + u"bu"_s, token);
                return true;
            }
            if (is(token, u"ttt"_s) || is(token, u"iii"_s)) {
                counted(token.toLower(), token);
                return true;
            }
            return false;
        }
    };
    const auto rowKnown = [&](const QString &token) -> bool {
        if (isPiece(token))
            return true;
        if (kind == 3) {
            static const QList<std::pair<QString, QString>> pairs = {
                {u"txtca"_s, u"ca"_s}, {u"txtli"_s, u"li"_s}, {u"img"_s, u"img"_s}};
            for (const auto &[name, stem] : pairs)
                if (is(token, name)) {
                    needsPair(stem + u"top"_s, stem + u"bu"_s, token);
                    return true;
                }
            if (is(token, u"iii"_s)) {
                needsPair(u"iiitop"_s, u"iiibu"_s, token);
                return true;
            }
            return is(token, u"nils"_s) || isLink(token);
        }
        for (const QString &name : {u"txt"_s, u"font"_s, u"color"_s})
            if (is(token, name)) {
                needsPair(name + u"top"_s, name + u"bu"_s, token);
                return true;
            }
        if (is(token, u"iii"_s)) {
            counted(u"iii"_s, token);
            return true;
        }
        return false;
    };
    const auto walk = [&](const QString &section, const QString &prefix, const std::function<bool(const QString &)> &known) {
        const std::optional<int> total = count(section, u"total"_s, false);
        for (int i = 1; i <= qMin(total.value_or(0), 1000); ++i) {
            const QString token = file.readString(section, prefix + QString::number(i));
            if (!known(token))
                notes << u"["_s + section + u"] "_s + prefix + QString::number(i) + u" '"_s + token
                             + u"' is no element this kind of effect knows"_s;
        }
    };
    walk(u"abcd"_s, u"open"_s, stepKnown);
    if (kind != 2)
        walk(u"list"_s, u"list"_s, rowKnown);
    if (kind == 3 && value(u"mm"_s) == u"1"_s)
        needsPair(u"mmtop"_s, u"mmbu"_s, u"parent menus (mm=1)"_s);

    notes.removeDuplicates();
    for (const QString &note : notes)
        problems.append({where, note});
}
