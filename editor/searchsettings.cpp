#include "searchsettings.h"

#include "library/inifile.h"
#include "platform/vellumoerror.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {
const QString Section = u"search"_s;
const QString WrapKey = u"wrap"_s;
}

SearchSettings::SearchSettings(FileSystem &files, QString settingsFile)
    : m_files(files)
    , m_settingsFile(std::move(settingsFile))
{
}

bool SearchSettings::wrapAround() const
{
    return IniFile(m_files, m_settingsFile).readString(Section, WrapKey) == u"1"_s;
}

void SearchSettings::setWrapAround(bool wrap)
{
    try {
        QDir().mkpath(QFileInfo(m_settingsFile).absolutePath());
        IniFile(m_files, m_settingsFile).writeString(Section, WrapKey, wrap ? u"1"_s : u"0"_s);
    } catch (const VellumoError &) {
    }
}
