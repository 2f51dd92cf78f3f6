// Compiling a large project: the walk, glyph rendering with the real output
// font and the image assembly, as the compile command runs them. The aim is
// well under 20 ms a compile for an image near the panel's 131072 bytes.
#include "GlyphRaster.h"
#include "MenuCompiler.h"
#include "Operands.h"
#include "ProjectTree.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// 300 distinct characters beyond ASCII, from the Latin supplements on.
QChar Special(int i)
{
    return QChar(static_cast<char16_t>(0x00C0 + i % 300));
}

TwNode *Child(TwNode *parent, int32_t kind, const QString &caption)
{
    return new TwNode(parent, caption, kind);
}

void Describe(TwNode *node, int n)
{
    SaveStringsProp(node->Props, {QStringLiteral("D%1%2 .").arg(n).arg(Special(n + 7))},
                    QStringLiteral("Description"));
}

// For the 128 x 96 model: 64 alarms, 16 startup pictures and a saver, and a menu tree of 10 x 10 x 4
// menus with 3 values or lists each: 1710 items, all with descriptions.
std::unique_ptr<TwNode> LargeProject()
{
    auto root = std::make_unique<TwNode>(nullptr, QString(), nkProject);
    Child(root.get(), nkDeviceInfo, QStringLiteral("Device Infomation"))->SetProp("DeviceID", "1");
    TwNode *mainMenu = Child(root.get(), nkMainMenu, QStringLiteral("Main Menu"));
    TwNode *alarms = Child(root.get(), nkAlarms, QStringLiteral("Alarms"));
    TwNode *startup = Child(root.get(), nkStartupScreen, QStringLiteral("Startup Screen"));
    TwNode *saver = Child(root.get(), nkScreenSaver, QStringLiteral("Screen Saver"));
    TwNode *config = Child(root.get(), nkConfiguration, QStringLiteral("Configuration"));
    config->SetProp("Password", "R4000");
    config->SetProp("ScreenSaverActiveTime", "10");

    int n = 0;
    for (int a = 0; a < 10; ++a) {
        TwNode *ma = Child(mainMenu, nkSubMenu, QStringLiteral("A%1%2").arg(a).arg(Special(n)));
        Describe(ma, n++);
        for (int b = 0; b < 10; ++b) {
            TwNode *mb = Child(ma, nkSubMenu, QStringLiteral("B%1%2").arg(b).arg(Special(n)));
            Describe(mb, n++);
            for (int c = 0; c < 4; ++c) {
                TwNode *mc = Child(mb, nkSubMenu, QStringLiteral("C%1%2").arg(c).arg(Special(n)));
                Describe(mc, n++);
                for (int v = 0; v < 3; ++v) {
                    const bool list = v == 2;
                    TwNode *item =
                        Child(mc, list ? nkList : nkValue, QStringLiteral("%1%2").arg(Special(n)).arg(v));
                    item->SetProp("Reference", QStringLiteral("R%1").arg(n % 4000));
                    if (list) {
                        item->SetProp("Max", "2");
                        item->SetProp("Line0", "Off");
                        item->SetProp("Line1", "On");
                    }
                    Describe(item, n++);
                }
            }
        }
    }
    for (int i = 1; i <= 64; ++i) {
        TwNode *alarm = Child(alarms, nkAlarm, QString());
        alarm->SetProp("Index", QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
        alarm->SetProp("Line1", QStringLiteral("Alarm %1").arg(i));
        alarm->SetProp("Line2", QStringLiteral("Pump %1").arg(Special(i)));
        alarm->SetProp("Reference1", QStringLiteral("D%1").arg(i));
    }
    const QString picture = QString::fromLatin1(QByteArray(PictureBytesOfModel(1), '\x5A').toHex().toUpper());
    for (int i = 0; i < 16; ++i)
        Child(startup, nkScreen, QString())->SetProp("ImageData", picture);
    saver->SetProp("ImageData", picture);
    return root;
}

void BM_CompileLargeProject(benchmark::State &state)
{
    const std::unique_ptr<TwNode> root = LargeProject();
    QByteArray image;
    int glyphs = 0;
    uint32_t strings = 0;
    for (auto _ : state) {
        // A font and a compiler per compile, as the compile command makes them.
        TwGlyphRaster font(QStringLiteral("Tahoma"), 9);
        TwCompileSettings settings;
        settings.PanelModelId = 1;
        TwRes res(font, settings);
        if (!res.Compile(root.get()) || !res.BuildFont()) {
            state.SkipWithError(res.ErrorText().toStdString().c_str());
            return;
        }
        res.AssembleImage(image);
        glyphs = res.GlyphCount();
        strings = res.Section(rsStringPool).Size();
        benchmark::DoNotOptimize(image.data());
    }
    state.counters["image_bytes"] = static_cast<double>(image.size());
    state.counters["glyphs"] = glyphs;
    state.counters["string_pool_bytes"] = strings;
}
BENCHMARK(BM_CompileLargeProject)->Unit(benchmark::kMillisecond);

}  // namespace
