// Any bytes taken as a clipboard block and pasted under a menu.
#include "NodeStream.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray block(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QByteArray body;
    if (!ClipboardBlockBody(block, body))
        return 0;
    if (body.size() + 4 > block.size())
        abort();
    TwNode root(nullptr, QString(), nkProject);
    auto *menu = new TwNode(&root, QStringLiteral("Main Menu"), nkMainMenu);
    try {
        NodeStreamReader in(body);
        bool truncated = false;
        ReadNodeUnder(menu, in, truncated);
    } catch (const NodeStreamError &) {
        if (menu->GetChildCount() != 0)
            abort();
    }
    return 0;
}
