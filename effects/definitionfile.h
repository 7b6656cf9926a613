#pragma once

#include "library/effecttokens.h"
#include "library/inifile.h"

#include <QString>
#include <QStringList>

class FileSystem;

// An effect's definition file: the category folder followed by the effect's name, no extension,
// INI syntax. Every file it names lies in the category folder; a name that would lead out of it
// names no file at all.
class DefinitionFile
{
public:
    DefinitionFile(FileSystem &files, const QString &applicationFolder, const QString &category, const QString &effect);

    bool exists() const;
    const QString &categoryFolder() const { return m_categoryFolder; }
    QString path() const { return m_ini.path(); }

    QString file(const QString &key) const;
    QString steps(const QString &key) const;
    QString rows(const QString &key) const;
    // A count of [file] where empty means "0" (imgfilet, txtfilet), as text.
    QString countText(const QString &key) const;
    // The value between the [file] keys top and bottom.
    QString wrapped(const QString &top, const QString &bottom, const QString &value) const;
    // An element's value between its rule's wrapper keys (image rules: suffixed by imageCount).
    QString wrapped(const EffectTokens::Rule &rule, const QString &value, const QString &imageCount = QString()) const
    {
        return wrapped(rule.topKey(imageCount), rule.bottomKey(imageCount), value);
    }
    // A count as a number; "'%s' is not a valid integer value" when it is none.
    static int number(const QString &text);

    // How many of the numbered keys prefix + 1 .. prefix + count to walk: all of them, unless a damaged
    // count reaches far beyond the keys the section holds; then only up to the last key present.
    int walkedCount(const QString &section, const QString &prefix, int count) const;
    static constexpr int MaxWalkedBeyondKeys = 10000;

    // The file of text piece j (the value of fno + j), in the category folder; empty when the name
    // leads out of it.
    QString piecePath(int j) const;

    static QString missingMessage();

private:
    FileSystem &m_files;
    QString m_categoryFolder;
    IniFile m_ini;
};
