// Makes COUNT update packages for the load test: the effects of a laid-out library packed in turn, each
// package under a name of its own (the effect's name and its number), so that every one of them
// enters a new effect.
#include "library/categoryindex.h"
#include "library/effectindex.h"
#include "library/inifile.h"
#include "library/packagemaker.h"
#include "platform/localfilesystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: makepackages LIBRARY-FOLDER OUTPUT-FOLDER COUNT\n");
        return 2;
    }
    const QString library = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + u'/';
    const QString output = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + u'/';
    const int count = QByteArray(argv[3]).toInt();
    LocalFileSystem files;
    QList<QPair<QString, QString>> effects;
    for (const QString &category : CategoryIndex(files, library).categories())
        for (const QString &effect : EffectIndex(files, library).effects(category).value_or(QStringList()))
            effects.append({ category, effect });
    if (effects.isEmpty()) {
        std::fprintf(stderr, "makepackages: no effects in %s\n", argv[1]);
        return 1;
    }
    PackageMaker maker(files, library);
    for (int i = 1; i <= count; ++i) {
        const auto &[category, effect] = effects[(i - 1) % effects.size()];
        const QString folder = output + u"p%1/"_s.arg(i);
        QDir().mkpath(folder);
        const QString package = folder + u"p%1.gx"_s.arg(i);
        if (const QStringList problems = maker.make(category, effect, package); !problems.isEmpty()) {
            std::fprintf(stderr, "makepackages: %s\n", qPrintable(problems.join(u'\n')));
            return 1;
        }
        // The first file is the effect's own (its definition file or its text); it takes the new name.
        const QString name = effect + u"之"_s + QString::number(i);
        IniFile gx(files, package);
        const QString own = gx.readString(u"files"_s, u"ftname1"_s);
        const QString renamed = own.endsWith(u".txt"_s) ? name + u".txt"_s : name;
        if (!QFile::rename(folder + own, folder + renamed)) {
            std::fprintf(stderr, "makepackages: cannot rename %s\n", qPrintable(folder + own));
            return 1;
        }
        gx.beginBatch();
        gx.writeString(u"files"_s, u"name"_s, name);
        gx.writeString(u"files"_s, u"ftname1"_s, renamed);
        gx.commit();
    }
    std::printf("makepackages: %d packages from %lld effects\n", count, qlonglong(effects.size()));
    return 0;
}
