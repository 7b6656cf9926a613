#include "saveway.h"

SaveWay chooseSaveWay(const FileFacts &facts)
{
    // A rename would leave the other names with the old text.
    if (facts.links > 1 || !facts.folderWritable)
        return SaveWay::InPlace;
    // A new file belongs to the saver unless it may be given away.
    if (!facts.mayChown && (facts.owner != facts.user || !facts.inGroup))
        return SaveWay::InPlace;
    return SaveWay::Replace;
}
