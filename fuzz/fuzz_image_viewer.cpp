// Fuzz target: the image viewer's reader (model/ImageTrace.h) on arbitrary
// bytes taken as a menu image file.
//
// A smaller line budget than the viewer's keeps the runs fast; the paths are
// the same.
//
// Checked: the trace ends within its line budget, its lines form a tree (the
// first at depth 0, each at most one level below the line before), and the
// stop list names exactly the stop lines. AddressSanitizer sees any read
// outside the bytes.
#include "ImageTrace.h"

#include <cstdint>
#include <cstdlib>

namespace {
constexpr int kFuzzMaxLines = 500;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray image(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const TwImageTrace trace = TraceMenuImage(image, kFuzzMaxLines);
    if (trace.Lines.empty() || trace.Lines.size() > size_t(kFuzzMaxLines) + 1 || trace.Lines[0].Depth != 0)
        abort();
    int previous = 0;
    qsizetype stops = 0;
    for (const TwTraceLine &line : trace.Lines) {
        if (line.Depth < 0 || line.Depth > previous + 1 || line.Text.isEmpty())
            abort();
        previous = line.Depth;
        if (line.Stop && trace.Stops.value(stops++) != line.Text)
            abort();
    }
    if (stops != trace.Stops.size())
        abort();
    return 0;
}
