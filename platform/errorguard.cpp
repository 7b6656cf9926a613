#include "errorguard.h"

#include "dialogs.h"
#include "vellumoerror.h"

namespace ErrorGuard {

bool run(Dialogs &dialogs, const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const VellumoError &error) {
        dialogs.error(VellumoError::withFullStop(error.message()));
    } catch (const std::bad_alloc &) {
        dialogs.error(VellumoError::withFullStop(QStringLiteral("Out of memory")));
    }
    return false;
}

}
