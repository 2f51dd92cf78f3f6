// Any bytes read as a project file and compiled for both panel models with
// the real output font: a refusal with a message or a sound image, never a
// crash. A sound image keeps its size, bases and checksum laws. Texts may hold
// any character, so the fallback fonts are exercised too.
#include "GlyphRaster.h"
#include "MenuCompiler.h"
#include "NodeStream.h"
#include "Operands.h"

#include <cstdlib>

namespace {

void CheckImage(const QByteArray &image, const TwRes &res)
{
    const uint32_t size = ImageU32(image, 4);
    if (size + 2 != static_cast<uint32_t>(image.size()) || res.CodeSize() != size + 2)
        abort();
    uint32_t base = kImageHeaderSize;
    for (int i = 0; i < rsSectionCount; ++i) {
        if (ImageU32(image, 8 + 4 * i) != base)
            abort();
        base += res.Section(i).Size();
    }
    if (base != size || ByteSum(reinterpret_cast<const uint8_t *>(image.constData()), size + 1, 0) != 0)
        abort();
}

}  // namespace

// Characters the output font lacks are drawn from fonts fontconfig picks; its
// one-time set-up keeps a few hundred bytes the leak checker cannot see from
// anywhere. That is the library's, not ours, and is not reported.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TwGlyphRaster font(QStringLiteral("Tahoma"), 9);
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    std::unique_ptr<TwNode> root;
    try {
        bool truncated = false;
        root = LoadProjectFile(bytes, truncated);
    } catch (const NodeStreamError &) {
        return 0;
    }
    for (uint32_t model = 0; model < 2; ++model) {
        TwCompileSettings settings;
        settings.PanelModelId = model;
        TwRes res(font, settings);
        const bool compiled = res.Compile(root.get());
        if (!compiled || !res.BuildFont()) {
            if (res.ErrorText().isEmpty())
                abort();
            continue;
        }
        QByteArray image;
        res.AssembleImage(image);
        CheckImage(image, res);
    }
    return 0;
}
