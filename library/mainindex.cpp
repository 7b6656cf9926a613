#include "mainindex.h"

#include "countedsection.h"
#include "inifile.h"
#include "platform/folderlock.h"

using namespace Qt::StringLiterals;

namespace {
const QString MainSection = u"MAIN"_s;
const QString ModelSection = u"model"_s;
const QString TemplatePrefix = u"mfile"_s;
}

MainIndex::MainIndex(FileSystem &files, const QString &applicationFolder)
    : m_files(files)
    , m_folder(applicationFolder)
    , m_path(applicationFolder + u"MAIN.INI"_s)
{
}

MainIndex::SkinPictures MainIndex::skinPictures() const
{
    IniFile file(m_files, m_path);
    SkinPictures pictures;
    pictures.mainImage = file.readString(MainSection, u"MAINFORMIMG"_s);
    pictures.statusImage = file.readString(MainSection, u"LIMG"_s);
    return pictures;
}

QString MainIndex::skinName() const
{
    return IniFile(m_files, m_path).readString(MainSection, u"NAME"_s);
}

void MainIndex::setSkin(const QString &mainImage, const QString &statusImage, const QString &name)
{
    const FolderLock lock(m_folder);
    IniFile file(m_files, m_path);
    file.beginBatch();
    file.writeString(MainSection, u"MAINFORMIMG"_s, mainImage);
    file.writeString(MainSection, u"LIMG"_s, statusImage);
    file.writeString(MainSection, u"NAME"_s, name);
    file.commit();
}

QStringList MainIndex::templates() const
{
    IniFile file(m_files, m_path);
    CountedSection section(file, ModelSection, TemplatePrefix);
    return section.entries(0, section.total());
}

void MainIndex::addTemplate(const QString &path)
{
    const FolderLock lock(m_folder);
    IniFile file(m_files, m_path);
    CountedSection(file, ModelSection, TemplatePrefix).append(TemplatePrefix, path);
}

void MainIndex::rewriteTemplates(const QStringList &paths)
{
    const FolderLock lock(m_folder);
    IniFile file(m_files, m_path);
    file.beginBatch();
    file.writeString(ModelSection, u"TOTAL"_s, QString::number(paths.size() - 1));
    for (int i = 0; i < paths.size(); ++i)
        file.writeString(ModelSection, TemplatePrefix + QString::number(i), paths[i]);
    file.commit();
}
