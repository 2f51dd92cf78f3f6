// Save and load of large projects through the node stream.
#include "NodeStream.h"
#include "Wutil.h"

#include <QFile>
#include <QTemporaryDir>

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

// Readers in bounded time: a menu of 100,000 children and a description of
// 32,000 lines, each loaded and freed, against reading the same bytes from
// their file. The loads are linear, so each stays a small multiple of the read.

QString BenchFile(const QString &name, const QByteArray &bytes)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString &WideMenuFile()
{
    static const QString path = [] {
        TwNode root(nullptr, QString(), nkProject);
        auto *menu = new TwNode(&root, QStringLiteral("Main Menu"), nkMainMenu);
        for (int i = 0; i < 100000; ++i)
            new TwNode(menu, QString(), nkSubMenu);
        return BenchFile(QStringLiteral("wide.zel"), SaveProjectFile(root));
    }();
    return path;
}

const QString &LongDescriptionFile()
{
    static const QString path = [] {
        TwNode root(nullptr, QString(), nkProject);
        auto *device = new TwNode(&root, QString(), nkDeviceInfo);
        QStringList lines;
        for (int i = 0; i < 32000; ++i)
            lines.append(QStringLiteral("Line %1 of the project description").arg(i));
        SaveStringsProp(device->Props, lines, QStringLiteral("Description"));
        return BenchFile(QStringLiteral("described.zel"), SaveProjectFile(root));
    }();
    return path;
}

void BM_ReadWideMenuBytes(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadBytes(WideMenuFile()));
}
BENCHMARK(BM_ReadWideMenuBytes)->Unit(benchmark::kMillisecond);

void BM_LoadAndFreeWideMenu(benchmark::State &state)
{
    for (auto _ : state) {
        bool truncated = false;
        auto root = LoadProjectFile(ReadBytes(WideMenuFile()), truncated);
        benchmark::DoNotOptimize(root->GetChild(0)->GetChildCount());
        root.reset();
    }
}
BENCHMARK(BM_LoadAndFreeWideMenu)->Unit(benchmark::kMillisecond);

void BM_ReadLongDescriptionBytes(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadBytes(LongDescriptionFile()));
}
BENCHMARK(BM_ReadLongDescriptionBytes)->Unit(benchmark::kMillisecond);

void BM_LoadLongDescription(benchmark::State &state)
{
    for (auto _ : state) {
        bool truncated = false;
        auto root = LoadProjectFile(ReadBytes(LongDescriptionFile()), truncated);
        QStringList description;
        LoadDescription(root.get(), description);
        benchmark::DoNotOptimize(description.size());
        root.reset();
    }
}
BENCHMARK(BM_LoadLongDescription)->Unit(benchmark::kMillisecond);

}  // namespace
