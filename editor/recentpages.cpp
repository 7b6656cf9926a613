#include "recentpages.h"

#include "library/inifile.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
const QString Section = u"recent"_s;
const QString Count = u"TOTAL"_s;
const QString Prefix = u"page"_s;
}

RecentPages::RecentPages(FileSystem &files, QString settingsFile)
    : m_files(files)
    , m_settingsFile(std::move(settingsFile))
{
}

QStringList RecentPages::pages() const
{
    const IniFile settings(m_files, m_settingsFile);
    // A count edited by hand to nonsense gives no list rather than an error at every menu.
    bool counted = false;
    const int count = qBound(0, settings.readString(Section, Count).toInt(&counted), Kept);
    QStringList pages;
    if (!counted || count == 0)
        return pages;
    for (const QString &page : settings.readNumbered(Section, Prefix, 1, count)) {
        if (!page.isEmpty() && !pages.contains(page))
            pages << page;
    }
    return pages;
}

void RecentPages::add(const QString &path)
{
    QStringList list = pages();
    list.removeAll(path);
    list.prepend(path);
    store(list.mid(0, Kept));
}

void RecentPages::remove(const QString &path)
{
    QStringList list = pages();
    if (list.removeAll(path) > 0)
        store(list);
}

void RecentPages::clear()
{
    store({});
}

void RecentPages::store(const QStringList &pages)
{
    QDir().mkpath(QFileInfo(m_settingsFile).absolutePath());
    IniFile settings(m_files, m_settingsFile);
    settings.beginBatch();
    settings.writeString(Section, Count, QString::number(pages.size()));
    // Keys past the count are emptied, so that no old path lingers in the file.
    for (int i = 0; i < Kept; ++i)
        settings.writeString(Section, Prefix + QString::number(i + 1), pages.value(i));
    settings.commit();
}
