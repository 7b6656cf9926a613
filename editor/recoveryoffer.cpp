#include "recoveryoffer.h"

#include "document.h"
#include "recoveryfolder.h"

#include "platform/dialogs.h"

using namespace Qt::StringLiterals;

namespace RecoveryOffer {

QString question(const QString &pageName, const QDateTime &written)
{
    return u"上次没有保存的网页可以恢复：\n%1\n恢复副本写于 %2\n是否恢复？选“否”将删除这份恢复副本。"_s.arg(
        pageName, written.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s));
}

QString unreadableMessage(const QString &copyPath)
{
    return u"恢复副本无法读取，已留在原处：\n%1"_s.arg(copyPath);
}

QString laterMessage(int count)
{
    return u"还有 %1 份恢复副本，下次启动时再提供。"_s.arg(count);
}

bool run(RecoveryFolder &folder, Dialogs &dialogs, const std::function<void(const RecoveryCopy &)> &restore)
{
    const QList<RecoveryFolder::Left> left = folder.leftBehind();
    for (qsizetype i = 0; i < left.size(); ++i) {
        const RecoveryFolder::Left &copy = left[i];
        const QString name = copy.header.pagePath.isEmpty() ? Document::newCaption() : copy.header.pagePath;
        switch (dialogs.ask(u"恢复"_s, question(name, copy.header.written), MessageIcon::Question)) {
        case Answer::Dismissed:
            continue;
        case Answer::No:
            folder.discard(copy);
            continue;
        case Answer::Yes:
            break;
        }
        const std::optional<RecoveryCopy> whole = folder.read(copy);
        if (!whole) {
            dialogs.message(unreadableMessage(copy.path));
            continue;
        }
        // The restored page has its own copy before this one goes, so a crash in between loses nothing.
        restore(*whole);
        folder.discard(copy);
        if (i + 1 < left.size())
            dialogs.message(laterMessage(int(left.size() - i - 1)));
        return true;
    }
    return false;
}

}
