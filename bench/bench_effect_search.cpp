// effect-search: a search over 20,000 effects in 100 categories, against one parse of the whole
// LINK2.INI, in one run.
#include "benchfiles.h"
#include "library/effectsearch.h"
#include "library/inicache.h"
#include "library/inidocument.h"
#include "platform/ansi.h"
#include "platform/localfilesystem.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>


using namespace Qt::StringLiterals;

int main()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QStringList categories;
    QString text;
    QString system = u"[system]\r\n"_s;
    const QStringList words{u"图片"_s, u"菜单"_s, u"文字"_s, u"滚动"_s, u"Flash"_s, u"Banner"_s, u"时间"_s, u"鼠标"_s};
    for (int c = 1; c <= 100; ++c) {
        const QString category = u"特效分类%1"_s.arg(c);
        categories << category;
        text += u"[%1]\r\nTOTAL=200\r\n"_s.arg(category);
        for (int j = 1; j <= 200; ++j) {
            const QString effect = words[(c + j) % words.size()] + u"效果%1"_s.arg(j);
            text += u"l%1=%2\r\n"_s.arg(j).arg(effect);
            system += category + effect + u"=2\r\n"_s;
        }
    }
    const QString path = folder + u"LINK2.INI"_s;
    BenchFiles::writeUnchanged(path, Ansi::encode(text + system));

    std::vector<double> parses, searches;
    qsizetype found = 0;
    LocalFileSystem files;
    for (int run = 0; run < 7; ++run) {
        IniDocument document;
        parses.push_back(BenchFiles::timedParse(path, &document));
        found += document.read(categories.first(), u"L1"_s).size();
        QElapsedTimer timer;

        // A search as the user starts it: the index read afresh, the whole list searched.
        IniCache::instance().clear();
        timer.start();
        EffectSearch(files, folder).run(categories, u"banner"_s, [&](const QString &) { ++found; });
        searches.push_back(double(timer.nsecsElapsed()));
    }
    std::sort(parses.begin(), parses.end());
    std::sort(searches.begin(), searches.end());
    const double parse = parses[parses.size() / 2];
    const double search = searches[searches.size() / 2];
    if (found == 0)
        return 1;
    std::printf("effect-search: ratio %.2f (target <= 10)\n", search / parse);
    std::printf("effect-search-time: %.2f ms\n", search / 1e6);
    return 0;
}
