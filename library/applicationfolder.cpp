#include "applicationfolder.h"

namespace ApplicationFolder {

QString fromExecutableFolder(const QString &folder)
{
    if (folder.endsWith(u'/'))
        return folder;
    return folder + u'/';
}

}
