// Save and load of large projects through the node stream.
#include "NodeStream.h"
#include "Operands.h"

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

// Reading the file's bytes: what each load is measured against.
void BM_ReadBytes(benchmark::State &state, const QString &(*file)())
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadBytes(file()));
}
BENCHMARK_CAPTURE(BM_ReadBytes, WideMenu, WideMenuFile)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadBytes, LongDescription, LongDescriptionFile)->Unit(benchmark::kMillisecond);

// Steps through one record and its children's: every field and text read, no
// node made.
qsizetype ScanRecord(NodeStreamReader &in)
{
    const int32_t kind = in.ReadInt32();
    in.ReadInt32();
    const int32_t children = in.ReadInt32();
    qsizetype units = in.ReadUtf16(in.ReadInt32()).size() + kind;
    for (int32_t i = 0; i < children; ++i)
        units += ScanRecord(in);
    return units;
}

// Reading the file and stepping through its records: the least any reader of
// the node stream does.
void BM_ReadRecords(benchmark::State &state, const QString &(*file)())
{
    for (auto _ : state) {
        NodeStreamReader in(ReadBytes(file()));
        benchmark::DoNotOptimize(ScanRecord(in));
    }
}
BENCHMARK_CAPTURE(BM_ReadRecords, WideMenu, WideMenuFile)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadRecords, LongDescription, LongDescriptionFile)->Unit(benchmark::kMillisecond);

// Reading the file, loading the project (and its description, as the open
// dialog's preview does) and freeing it again.
void BM_LoadAndFree(benchmark::State &state, const QString &(*file)())
{
    for (auto _ : state) {
        bool truncated = false;
        auto root = LoadProjectFile(ReadBytes(file()), truncated);
        QStringList description;
        LoadDescription(root.get(), description);
        benchmark::DoNotOptimize(description.size());
        root.reset();
    }
}
BENCHMARK_CAPTURE(BM_LoadAndFree, WideMenu, WideMenuFile)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadAndFree, LongDescription, LongDescriptionFile)->Unit(benchmark::kMillisecond);

}  // namespace
