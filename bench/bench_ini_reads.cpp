// ini-reads: 20,000 key reads from an unchanged 1 MB LINK2.INI through the access service,
// against parsing that file once, in one run.
#include "benchfiles.h"
#include "library/inicache.h"
#include "library/inidocument.h"
#include "library/inifile.h"
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
    const QString path = dir.filePath(u"LINK2.INI"_s);
    QString text;
    QString system = u"[system]\r\n"_s;
    int categories = 0;
    int perCategory = 200;
    while (Ansi::encode(text + system).size() < 1024 * 1024) {
        const QString category = u"特效分类%1"_s.arg(++categories);
        text += u"[%1]\r\nTOTAL=%2\r\n"_s.arg(category).arg(perCategory);
        for (int j = 1; j <= perCategory; ++j) {
            text += u"l%1=图片效果%2\r\n"_s.arg(j).arg(j);
            system += category + u"图片效果%1=2\r\n"_s.arg(j);
        }
    }
    const QByteArray bytes = Ansi::encode(text + system);
    BenchFiles::writeUnchanged(path, bytes);

    LocalFileSystem files;
    std::vector<double> parses;
    for (int i = 0; i < 7; ++i) {
        IniDocument document;
        parses.push_back(BenchFiles::timedParse(path, &document));
        if (document.read(u"特效分类1"_s, u"L1"_s).isEmpty())
            return 1;
    }
    std::sort(parses.begin(), parses.end());
    const double parse = parses[parses.size() / 2];

    // 20,000 different keys, category by category, as the effect search reads them.
    std::vector<std::pair<QString, QString>> keys;
    for (int i = 0; i < 20000; ++i)
        keys.emplace_back(u"特效分类%1"_s.arg(1 + (i / perCategory) % categories), u"L%1"_s.arg(1 + i % perCategory));

    std::vector<double> runs;
    qsizetype found = 0;
    for (int run = 0; run < 5; ++run) {
        IniCache::instance().clear();
        QElapsedTimer timer;
        timer.start();
        IniFile file(files, path);
        for (const auto &[section, key] : keys)
            found += file.readString(section, key).size();
        runs.push_back(double(timer.nsecsElapsed()));
    }
    std::sort(runs.begin(), runs.end());
    const double reads = runs[runs.size() / 2];

    // The same 20,000 keys read as the program lists them: one look at the file per counted section.
    std::vector<double> listed;
    const int sections = 20000 / perCategory;
    for (int run = 0; run < 5; ++run) {
        IniCache::instance().clear();
        QElapsedTimer timer;
        timer.start();
        IniFile file(files, path);
        for (int c = 0; c < sections; ++c)
            found += file.readNumbered(keys[size_t(c * perCategory)].first, u"L"_s, 1, perCategory).size();
        listed.push_back(double(timer.nsecsElapsed()));
    }
    std::sort(listed.begin(), listed.end());
    const double list = listed[listed.size() / 2];

    // What one look at the file costs on this machine, the floor of a read that checks the file.
    QElapsedTimer statTimer;
    statTimer.start();
    for (int i = 0; i < 20000; ++i)
        found += files.stamp(path).exists ? 1 : 0;
    const double stats = double(statTimer.nsecsElapsed());
    if (found == 0)
        return 1;
    std::printf("ini-reads: ratio %.2f (target <= 8)\n", reads / parse);
    std::printf("ini-reads-listed: ratio %.2f (target <= 8)\n", list / parse);
    std::printf("ini-20000-file-checks: ratio %.2f\n", stats / parse);
    std::printf("ini-parse: %.2f ms\n", parse / 1e6);
    std::printf("ini-20000-reads: %.2f ms\n", reads / 1e6);
    return 0;
}
