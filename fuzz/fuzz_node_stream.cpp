// Any bytes read as a project file and as a menu file: a clear error or a tree,
// never a crash; a tree read back writes what it read.
#include "NodeStream.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    try {
        bool truncated = false;
        auto root = LoadProjectFile(bytes, truncated);
        const QByteArray written = SaveProjectFile(*root);
        bool again = false;
        auto reloaded = LoadProjectFile(written, again);
        if (SaveProjectFile(*reloaded) != written)
            abort();
    } catch (const NodeStreamError &) {
    }
    try {
        TwNode root(nullptr, QString(), nkProject);
        auto *menu = new TwNode(&root, QStringLiteral("Main Menu"), nkMainMenu);
        bool truncated = false;
        LoadMenuExportFile(bytes, menu, truncated);
    } catch (const NodeStreamError &) {
    }
    return 0;
}
