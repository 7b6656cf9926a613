// Linked into the tests and benchmarks that show previews: they run from the build tree, where the
// preview module lies in the application folder rather than beside them or in ../lib/vellumo/. The
// installed program never holds this path.
#include "editor/browserview.h"

namespace {
const bool placed = [] {
    BrowserView::addModulePlace(QStringLiteral(VELLUMO_PREVIEW_MODULE));
    return true;
}();
}
