#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

class Dialogs;
class RecoveryFolder;
struct RecoveryCopy;

// At start, the copies that programs no longer running left behind, offered one at a time, newest
// first: Yes restores one (the rest wait for the next start, as the window holds one page), No removes
// it, closing the question keeps it for later.
namespace RecoveryOffer {
// Returns whether a copy was restored.
bool run(RecoveryFolder &folder, Dialogs &dialogs, const std::function<void(const RecoveryCopy &)> &restore);

QString question(const QString &pageName, const QDateTime &written);
QString unreadableMessage(const QString &copyPath);
QString laterMessage(int count);
}
