// effect-search: a search over 20,000 effects in 100 categories, against one parse of the whole
// LINK2.INI, in one run; with an application folder as argument, the same for that folder's library.
#include "benchfiles.h"
#include "library/categoryindex.h"
#include "library/effectsearch.h"
#include "library/inicache.h"
#include "library/inidocument.h"
#include "platform/ansi.h"
#include "platform/localfilesystem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
constexpr int Runs = 7;

struct Measured
{
    double parse = 0; // one parse of LINK2.INI, median
    double search = 0; // one search, median
    qsizetype found = 0;
};

Measured measure(const QString &folder, const QStringList &categories, const QString &text)
{
    const QString path = LocalFileSystem().resolveName(folder + u"LINK2.INI"_s);
    std::vector<double> parses, searches;
    Measured measured;
    LocalFileSystem files;
    for (int run = 0; run < Runs; ++run) {
        IniDocument document;
        parses.push_back(BenchFiles::timedParse(path, &document));
        // The parse is used, so that it cannot be left out.
        const volatile qsizetype used = document.read(categories.value(0), u"L1"_s).size();
        (void)used;
        QElapsedTimer timer;

        // A search as the user starts it: the index read afresh, the whole list searched.
        IniCache::instance().clear();
        timer.start();
        EffectSearch(files, folder).run(categories, text, [&](const QString &) { ++measured.found; });
        searches.push_back(double(timer.nsecsElapsed()));
    }
    std::sort(parses.begin(), parses.end());
    std::sort(searches.begin(), searches.end());
    measured.parse = parses[parses.size() / 2];
    measured.search = searches[searches.size() / 2];
    return measured;
}
}

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QStringList categories;
    QString text;
    QString system = u"[system]\r\n"_s;
    const QStringList words { u"图片"_s, u"菜单"_s, u"文字"_s, u"滚动"_s, u"Flash"_s, u"Banner"_s, u"时间"_s,
        u"鼠标"_s };
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

    const Measured generated = measure(folder, categories, u"banner"_s);
    if (generated.found == 0)
        return 1;
    std::printf("effect-search: ratio %.2f (target <= 10)\n", generated.search / generated.parse);
    std::printf("effect-search-time: %.2f ms\n", generated.search / 1e6);

    // An application folder given on the command line (the one the load test fills with 2,000
    // installed packages): its own categories searched, against one parse of its LINK2.INI.
    if (argc > 1) {
        const QString loaded = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + u'/';
        LocalFileSystem files;
        const QStringList loadedCategories = CategoryIndex(files, loaded).categories();
        const Measured measured = measure(loaded, loadedCategories, u"之"_s);
        std::printf("effect-search-loaded: ratio %.2f (target <= 10), %lld result lines, %.2f ms\n",
            measured.search / measured.parse, qlonglong(measured.found / Runs), measured.search / 1e6);
    }
    return 0;
}
