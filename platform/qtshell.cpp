#include "qtshell.h"

#include <QDesktopServices>
#include <QUrl>

void QtShell::open(const QString &documentOrAddress)
{
    const QUrl url = documentOrAddress.startsWith(u'/') ? QUrl::fromLocalFile(documentOrAddress)
                                                        : QUrl(documentOrAddress, QUrl::TolerantMode);
    QDesktopServices::openUrl(url);
}
