// Save and load of a large project through the node stream.
#include "NodeStream.h"

#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<TwNode> LargeProject()
{
    auto root = std::make_unique<TwNode>(nullptr, QString(), nkProject);
    new TwNode(root.get(), QStringLiteral("Device Infomation"), nkDeviceInfo);
    auto *menu = new TwNode(root.get(), QStringLiteral("Main Menu"), nkMainMenu);
    for (int i = 0; i < 10; ++i) {
        auto *sub = new TwNode(menu, QStringLiteral("Menu %1").arg(i), nkSubMenu);
        for (int j = 0; j < 10; ++j) {
            auto *leaf = new TwNode(sub, QStringLiteral("Menu %1.%2").arg(i).arg(j), nkSubMenu);
            for (int k = 0; k < 10; ++k) {
                auto *value = new TwNode(leaf, QStringLiteral("Value %1").arg(k), nkValue);
                value->SetProp(QStringLiteral("Reference"), QStringLiteral("R%1").arg(k * 10));
                value->SetProp(QStringLiteral("Unit"), QStringLiteral("rpm"));
            }
        }
    }
    return root;
}

void BM_SaveProject(benchmark::State &state)
{
    auto root = LargeProject();
    for (auto _ : state)
        benchmark::DoNotOptimize(SaveProjectFile(*root));
}
BENCHMARK(BM_SaveProject);

void BM_LoadProject(benchmark::State &state)
{
    const QByteArray bytes = SaveProjectFile(*LargeProject());
    for (auto _ : state) {
        bool truncated = false;
        benchmark::DoNotOptimize(LoadProjectFile(bytes, truncated));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_LoadProject);

}  // namespace
