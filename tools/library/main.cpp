// vellumo-library: for people who maintain an effect library.
#include "library/categoryindex.h"
#include "library/effectindex.h"
#include "library/effectsearch.h"
#include "library/librarycheck.h"
#include "library/packageinstaller.h"
#include "library/packagemaker.h"
#include "platform/localfilesystem.h"
#include "platform/vellumoerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
const char *const Usage = "usage: vellumo-library [-C FOLDER] COMMAND [ARGUMENTS]\n"
                          "\n"
                          "Works on an application folder: the folder with LINK1.INI, LINK2.INI and the\n"
                          "category folders (default: the current folder; -C names another).\n"
                          "\n"
                          "commands:\n"
                          "  check [FOLDER]   check every category, effect and definition file; prints one\n"
                          "                   line 'category/effect: problem' per problem, exits 1 if any\n"
                          "  list             the categories and their effects, as the effect panel lists them\n"
                          "  search TEXT      the effects whose names contain TEXT, as 'category.effect'\n"
                          "  pack CATEGORY EFFECT -o FILE.gx\n"
                          "                   write an update package of the effect, and copy the files it\n"
                          "                   names beside FILE.gx\n"
                          "  install FILE.gx...\n"
                          "                   install update packages into the folder, as the options\n"
                          "                   window does: files are never overwritten, unsafe packages are\n"
                          "                   refused whole, the first incomplete one ends the installation\n"
                          "  help             this text\n"
                          "\n"
                          "Commands that write hold a lock on the folder (.vellumo.lock), so that several\n"
                          "installations, or the program and this tool, never lose each other's entries.\n"
                          "\n"
                          "exit status: 0 done, 1 problems found or an index file could not be read, 2 bad usage\n";

void out(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

void error(const QString &line)
{
    std::fputs((u"vellumo-library: "_s + line).toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}

QString folderPath(const QString &folder)
{
    const QString path = QDir(folder).absolutePath();
    return path.endsWith(u'/') ? path : path + u'/';
}

int check(LocalFileSystem &files, const QString &folder)
{
    if (!QDir(folder).exists()) {
        error(u"no such folder: "_s + folder);
        return 1;
    }
    const QList<LibraryCheck::Problem> problems = LibraryCheck(files, folderPath(folder)).run();
    for (const LibraryCheck::Problem &problem : problems)
        out(problem.line());
    return problems.isEmpty() ? 0 : 1;
}

int list(LocalFileSystem &files, const QString &folder)
{
    const QString app = folderPath(folder);
    int status = 0;
    for (const QString &category : CategoryIndex(files, app).categories()) {
        out(category);
        // One damaged category does not hide the others.
        try {
            for (const QString &effect : EffectIndex(files, app).effects(category).value_or(QStringList()))
                out(u"  "_s + effect);
        } catch (const VellumoError &e) {
            error(category + u": "_s + e.message());
            status = 1;
        }
    }
    return status;
}

int search(LocalFileSystem &files, const QString &folder, const QString &text)
{
    const QString app = folderPath(folder);
    EffectSearch(files, app).run(CategoryIndex(files, app).categories(), text, [](const QString &line) { out(line); });
    return 0;
}

int pack(LocalFileSystem &files, const QString &folder, const QString &category, const QString &effect,
    const QString &package)
{
    // The package's folder is made when it is not there; it holds the package and its files.
    QDir().mkpath(QFileInfo(package).absolutePath());
    const QStringList problems = PackageMaker(files, folderPath(folder)).make(category, effect, package);
    for (const QString &problem : problems)
        error(problem);
    if (problems.isEmpty())
        out(u"packed "_s + category + u'/' + effect + u" into "_s + package);
    return problems.isEmpty() ? 0 : 1;
}

QString installedBefore(const PackageInstaller::Outcome &outcome)
{
    return u"installed before it: "_s + (outcome.installed.isEmpty() ? u"none"_s : outcome.installed.join(u", "_s));
}

int install(LocalFileSystem &files, const QString &folder, const QStringList &packages)
{
    QStringList paths;
    for (const QString &package : packages)
        paths << QFileInfo(package).absoluteFilePath();
    PackageInstaller::Outcome outcome;
    try {
        PackageInstaller(files, folderPath(folder)).installAll(paths, outcome);
    } catch (const VellumoError &e) {
        error(e.message());
        error(installedBefore(outcome));
        return 1;
    }
    for (const QString &effect : outcome.installed)
        out(u"installed "_s + effect);
    for (const QString &path : outcome.alreadyInstalled)
        out(u"already installed, nothing changed: "_s + path);
    switch (outcome.end) {
    case PackageInstaller::End::Nothing:
    case PackageInstaller::End::Installed:
    case PackageInstaller::End::AlreadyInstalled:
        return 0;
    case PackageInstaller::End::Incomplete:
        error(u"a package names a file that is not beside it; "_s + installedBefore(outcome));
        return 1;
    case PackageInstaller::End::Refused:
        error(outcome.refusal);
        error(installedBefore(outcome));
        return 1;
    }
    return 1;
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString folder = QDir::currentPath();
    if (!args.isEmpty() && (args[0] == u"-C"_s || args[0] == u"--folder"_s)) {
        if (args.size() < 2 || !QFileInfo(args[1]).isDir()) {
            error(args.size() < 2 ? u"-C needs a folder"_s : u"no such folder: "_s + args[1]);
            return 2;
        }
        folder = args[1];
        args = args.mid(2);
    }
    if (args.isEmpty() || args[0] == u"help"_s || args[0] == u"-h"_s || args[0] == u"--help"_s) {
        std::fputs(Usage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    LocalFileSystem files;
    const QString command = args[0];
    try {
        if (command == u"check"_s && args.size() <= 2)
            return check(files, args.size() == 2 ? args[1] : folder);
        if (command == u"list"_s && args.size() == 1)
            return list(files, folder);
        if (command == u"search"_s && args.size() == 2)
            return search(files, folder, args[1]);
        if (command == u"pack"_s && args.size() == 5 && args[3] == u"-o"_s)
            return pack(files, folder, args[1], args[2], QFileInfo(args[4]).absoluteFilePath());
        if (command == u"install"_s && args.size() >= 2)
            return install(files, folder, args.mid(1));
    } catch (const VellumoError &e) {
        error(e.message());
        return 1;
    }
    error(u"unknown command or wrong arguments: "_s + args.join(u' '));
    std::fputs(Usage, stderr);
    return 2;
}
