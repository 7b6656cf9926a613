#include "effectsearch.h"

#include "countedsection.h"
#include "inifile.h"
#include "ininumber.h"
#include "platform/ansi.h"

using namespace Qt::StringLiterals;

EffectSearch::EffectSearch(FileSystem &files, const QString &applicationFolder)
    : m_files(files)
    , m_path(applicationFolder + u"LINK2.INI"_s)
{
}

bool EffectSearch::matches(const QString &upperText, const QString &effect)
{
    return !upperText.isEmpty() && Ansi::upper(effect).contains(upperText);
}

void EffectSearch::run(
    const QStringList &categories, const QString &text, const std::function<void(const QString &)> &found) const
{
    IniFile file(m_files, m_path);
    const QString upperText = Ansi::upper(text);
    for (const QString &category : categories) {
        CountedSection section(file, category, u"L"_s);
        const QString total = section.totalText();
        const int count = total.isEmpty() ? 0 : IniNumber::toInt(total);
        if (count < 1)
            continue;
        for (const QString &effect : section.entries(1, count))
            if (matches(upperText, effect))
                found(category + u'.' + effect);
    }
}
