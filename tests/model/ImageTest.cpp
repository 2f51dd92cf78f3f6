// Image assembly: header, bases, checksum and pad, and the two output files.
#include "MenuCompiler.h"
#include "Operands.h"
#include "ProjectBuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The laws every image keeps: id, size, bases one after the other, the sum
// of all bytes up to the checksum 0, the pad 0.
void ExpectImageLaws(const QByteArray &image, const TwRes &res, uint8_t modelByte)
{
    ASSERT_GE(image.size(), 42);
    EXPECT_EQ(image.left(3), QByteArray("ZEL"));
    EXPECT_EQ(static_cast<uint8_t>(image[3]), modelByte);
    const uint32_t size = ImageU32(image, 4);
    EXPECT_EQ(size + 2, static_cast<uint32_t>(image.size()));
    EXPECT_EQ(res.CodeSize(), static_cast<uint32_t>(image.size()));
    uint32_t base = 40;
    for (int i = 0; i < rsSectionCount; ++i) {
        EXPECT_EQ(ImageU32(image, 8 + 4 * i), base) << "section " << i;
        const std::vector<uint8_t> &bytes = res.Section(i).Bytes();
        EXPECT_EQ(
            image.mid(base, static_cast<qsizetype>(bytes.size())),
            QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size())));
        base += static_cast<uint32_t>(bytes.size());
    }
    EXPECT_EQ(base, size);
    const auto *data = reinterpret_cast<const uint8_t *>(image.constData());
    EXPECT_EQ(ByteSum(data, size + 1, 0), 0);
    EXPECT_EQ(image.at(size + 1), 0);
}

struct Built {
    PatternGlyphSource font{5, 12};
    std::unique_ptr<TwRes> res;
    QByteArray image;
};

std::unique_ptr<Built> Build(TwNode *root, const TwCompileSettings &settings = {})
{
    auto b = std::make_unique<Built>();
    b->res = std::make_unique<TwRes>(b->font, settings);
    EXPECT_TRUE(b->res->Compile(root) && b->res->BuildFont()) << b->res->ErrorText().toStdString();
    b->res->AssembleImage(b->image);
    return b;
}

TEST(ImageAssembly, MinimalProjectBasesAndSize)
{
    TestProject p = NewTestProject();
    auto b = Build(p.Root.get());
    const QByteArray &image = b->image;
    ASSERT_EQ(image.size(), 2674);
    EXPECT_EQ(ImageU32(image, 4), 2672u);
    const uint32_t bases[] = {40, 42, 814, 1330, 1330, 1330, 1338, 2634};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ImageU32(image, 8 + 4 * i), bases[i]) << "base " << i;
    // The Main Menu page, the alarm table's head, the directory's head.
    EXPECT_EQ(image.mid(40, 6), QByteArray("\x00\x00\x40\x00\x00\x00", 6));
    EXPECT_EQ(image.mid(814, 4), QByteArray("\x0C\x00\x80\x00", 4));
    ExpectImageLaws(image, *b->res, 0x01);
}

TEST(ImageAssembly, ChecksumLawAndModelByte)
{
    TestProject p = NewTestProject(1);
    TwNode *menu = AddSubMenu(p.MainMenu, QString::fromUtf8("Pumpen €"));
    AddValue(menu, "Speed", "R100", {{"Unit", "rpm"}});
    AddList(menu, "Mode", "D1", {"Auto", "Hand"});
    AddAlarm(p.Alarms, 3, {"Overheat", "Pump 1", "T"}, {"R1", "R2", "DR3"});
    AddStartupPicture(p.StartupScreen, PictureHex(1, 0x3C));
    p.ScreenSaver->SetProp("ImageData", PictureHex(1, 0xC3));
    TwCompileSettings settings;
    settings.PanelModelId = 1;
    auto b = Build(p.Root.get(), settings);
    ExpectImageLaws(b->image, *b->res, 0x21);

    TestProject q = NewTestProject();
    for (int i = 0; i < 10; ++i)
        AddAction(q.MainMenu, QString("A%1").arg(i), i % 8, QString("M%1").arg(i));
    auto c = Build(q.Root.get());
    ExpectImageLaws(c->image, *c->res, 0x01);
}

TEST(ImageFiles, MenuCodeLineLayout)
{
    // An image of 35 bytes and its pad.
    QByteArray image;
    for (int i = 0; i < 35; ++i)
        image.append(static_cast<char>(i * 8));
    image.append('\0');
    const QByteArray expected = "const char MenuCode[] = {\r\n"
                                " 0x00, 0x08, 0x10, 0x18, 0x20, 0x28, 0x30, 0x38, 0x40, 0x48, 0x50, 0x58, "
                                "0x60, 0x68, 0x70, 0x78,  //0 ~15\r\n"
                                " 0x80, 0x88, 0x90, 0x98, 0xa0, 0xa8, 0xb0, 0xb8, 0xc0, 0xc8, 0xd0, 0xd8, "
                                "0xe0, 0xe8, 0xf0, 0xf8,  //16 ~31\r\n"
                                " 0x00, 0x08, 0x10,  //32 ~34\r\n"
                                " 0x00};\r\n";
    EXPECT_EQ(MenuCodeSource(image), expected);

    // A multiple of 16 leaves no short line.
    const QByteArray seventeen(17, '\x01');
    EXPECT_TRUE(MenuCodeSource(seventeen).endsWith(",  //0 ~15\r\n 0x01};\r\n"));
}

TEST(ImageFiles, SystemMenuProjectName)
{
    EXPECT_TRUE(IsSystemMenuProject("System.mze"));
    EXPECT_TRUE(IsSystemMenuProject("/any/folder/System.mze"));
    EXPECT_FALSE(IsSystemMenuProject("/any/folder/system.mze"));
    EXPECT_FALSE(IsSystemMenuProject("/any/folder/System.MZE"));
    EXPECT_FALSE(IsSystemMenuProject("/any/System.mze/Menu.zel"));
    EXPECT_FALSE(IsSystemMenuProject(QString()));
}

TEST(ImageFiles, SaveWritesImageAndSourceForTheSystemMenu)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath("program");
    const QString projects = dir.filePath("projects");
    ASSERT_TRUE(QDir().mkpath(program) && QDir().mkpath(projects));
    const QString source = QDir(program).filePath("Menu_code.c");

    for (const char *name : {"system.mze", "Menu.zel", ""}) {
        TestProject p = NewTestProject();
        TwCompileSettings settings;
        settings.ProgramFolder = program;
        settings.ProjectFileName = *name ? QDir(projects).filePath(name) : QString();
        auto b = Build(p.Root.get(), settings);
        const QString target = QDir(projects).filePath("out.mda");
        ASSERT_TRUE(b->res->SaveImage(target)) << b->res->ErrorText().toStdString();
        EXPECT_EQ(ReadFile(target), b->image);
        EXPECT_FALSE(QFile::exists(source)) << name;
    }

    TestProject p = NewTestProject();
    AddSubMenu(p.MainMenu, "Service");
    TwCompileSettings settings;
    settings.ProgramFolder = program;
    settings.ProjectFileName = QDir(projects).filePath("System.mze");
    auto b = Build(p.Root.get(), settings);
    const QString target = QDir(projects).filePath("System.mda");
    ASSERT_TRUE(b->res->SaveImage(target));
    EXPECT_EQ(ReadFile(target), b->image);
    const QByteArray text = ReadFile(source);
    EXPECT_EQ(text, MenuCodeSource(b->image));
    EXPECT_EQ(text.count('\n'), text.count("\r\n"));
    EXPECT_EQ(text.count("\r\n"), 2 + (b->image.size() - 1 + 15) / 16);
}

TEST(ImageFiles, FailedWritesAreReportedAndLeaveNoFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TestProject p = NewTestProject();
    auto b = Build(p.Root.get());
    const QString missing = dir.filePath("no/such/folder/out.mda");
    EXPECT_FALSE(b->res->SaveImage(missing));
    EXPECT_TRUE(b->res->ErrorText().contains(missing));
    EXPECT_FALSE(QFile::exists(missing));

    // An image written before stays whole when the C source cannot be written.
    TwCompileSettings settings;
    settings.ProgramFolder = dir.filePath("no/program");
    settings.ProjectFileName = "System.mze";
    auto c = Build(p.Root.get(), settings);
    const QString target = dir.filePath("System.mda");
    EXPECT_FALSE(c->res->SaveImage(target));
    EXPECT_TRUE(c->res->ErrorText().contains("Menu_code.c"));
    EXPECT_EQ(ReadFile(target), c->image);

    // A refused compile writes nothing at all.
    TestProject q = NewTestProject();
    delete q.MainMenu;
    PatternGlyphSource font;
    TwRes refused(font, {});
    EXPECT_FALSE(refused.Compile(q.Root.get()));
    EXPECT_FALSE(refused.BuildFont());
    const QString never = dir.filePath("never.mda");
    EXPECT_FALSE(refused.SaveImage(never));
    EXPECT_FALSE(QFile::exists(never));
}

TEST(ImageAssembly, IdenticalAcrossCompilesWithTheRealFont)
{
    auto compile = [] {
        TestProject p = NewTestProject();
        TwNode *menu = AddSubMenu(p.MainMenu, QString::fromUtf8("Température"));
        SetDescription(menu, {QString::fromUtf8("Ölpumpe ±5 °C"), "line two"});
        AddValue(menu, QString::fromUtf8("Druck Ω"), "DR100", {{"Signed", "1"}, {"Unit", "bar"}});
        TwGlyphRaster raster("Tahoma", 9);
        return CompileTestImage(p.Root.get(), raster, 0);
    };
    const QByteArray first = compile();
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(compile(), first);
}

}  // namespace
