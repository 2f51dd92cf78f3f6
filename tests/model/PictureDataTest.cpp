#include "PictureData.h"

#include "ProjectBuilder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Pixel access on a picture of the given height, as bytes of its text.
bool Lit(const QString &text, int row, int column)
{
    return (PictureTextByte(text, (row / 8) * kPictureWidth + column) >> (row % 8)) & 1;
}

QString WithPixels(int height, std::initializer_list<std::pair<int, int>> pixels)
{
    QByteArray bytes(kPictureWidth * height / 8, '\0');
    for (auto [row, column] : pixels)
        bytes[(row / 8) * kPictureWidth + column] |= static_cast<char>(1 << (row % 8));
    return PictureTextFromBytes(bytes);
}

int LitCount(const QString &text, int height)
{
    int lit = 0;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < kPictureWidth; ++column)
            lit += Lit(text, row, column);
    return lit;
}

}  // namespace

TEST(PictureText, ReadsBytesOneWay)
{
    struct Case {
        const char *text;
        qsizetype index;
        int byte;
    } cases[] = {
        {"0a", 0, 0x0A},    {"Ff", 0, 0xFF},    {"1G", 0, 0x00}, {"G1", 0, 0x00},
        {"  ", 0, 0x00},    {"0aFf7", 2, 0x07},  // a lone last character is read alone
        {"0aFfG", 2, 0x00}, {"0a", 1, 0x00},    {"", 0, 0x00},   {"0a", -1, 0x00},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PictureTextByte(QString::fromLatin1(c.text), c.index), c.byte) << c.text << " @" << c.index;

    EXPECT_EQ(PictureTextByteCount("0aFf7"), 3);
    EXPECT_EQ(PictureBytesFromText("0aFf7", 5), QByteArray::fromHex("0AFF070000"));
    EXPECT_EQ(PictureBytesFromText("0aFf7", 1), QByteArray::fromHex("0A"));
    EXPECT_EQ(PictureTextFromBytes(QByteArray::fromHex("0aff00")), "0AFF00");
}

TEST(PictureConversion, WholePicturesAndMargins)
{
    const QString allLit64(2 * kPictureBytes64, 'F');
    EXPECT_EQ(ExpandPicture64To96(allLit64), QString(2 * kPictureBytes96, 'F'));
    EXPECT_EQ(ExpandPicture64To96(QString(2 * kPictureBytes64, '0')), QString(2 * kPictureBytes96, '0'));
    // Missing and empty texts are dark pictures of the new size.
    EXPECT_EQ(ExpandPicture64To96(QString()), QString(2 * kPictureBytes96, '0'));
    EXPECT_EQ(ShrinkPicture96To64(QString()), QString(2 * kPictureBytes64, '0'));

    // Exactly half lit (the top four bands): a tie leaves the margins dark.
    const QString half = QString(kPictureBytes64, 'F') + QString(kPictureBytes64, '0');
    const QString expanded = ExpandPicture64To96(half);
    EXPECT_EQ(LitCount(expanded, kPictureHeight96), 4096);
    for (int column = 0; column < kPictureWidth; ++column) {
        EXPECT_FALSE(Lit(expanded, 0, column));
        EXPECT_FALSE(Lit(expanded, 95, column));
        EXPECT_TRUE(Lit(expanded, 79, column));   // source row 0, turned
        EXPECT_FALSE(Lit(expanded, 16, column));  // source row 63, turned
    }
    // Lower-case input, upper-case output.
    EXPECT_EQ(ExpandPicture64To96(QString(2 * kPictureBytes64, 'f')), QString(2 * kPictureBytes96, 'F'));
}

TEST(PictureConversion, PixelsAreTurnedHalfARound)
{
    struct Case {
        int row, column;  // on the 128 x 64 picture
        int row96, column96;
    } cases[] = {{0, 0, 79, 127}, {63, 127, 16, 0}, {7, 3, 72, 124}, {8, 64, 71, 63}};
    for (const Case &c : cases) {
        const QString expanded = ExpandPicture64To96(WithPixels(kPictureHeight64, {{c.row, c.column}}));
        EXPECT_EQ(LitCount(expanded, kPictureHeight96), 1);
        EXPECT_TRUE(Lit(expanded, c.row96, c.column96)) << c.row << "," << c.column;
        EXPECT_EQ(ShrinkPicture96To64(expanded), WithPixels(kPictureHeight64, {{c.row, c.column}}));
    }
    // Content only in the rows the small display has no room for is dropped.
    EXPECT_EQ(ShrinkPicture96To64(WithPixels(kPictureHeight96, {{0, 0}, {15, 127}, {80, 5}, {95, 9}})),
              QString(2 * kPictureBytes64, '0'));
}

TEST(PictureConversion, ExpandThenShrinkGivesThePictureBack)
{
    std::mt19937 random(20261207);
    for (int round = 0; round < 50; ++round) {
        QByteArray bytes(kPictureBytes64, '\0');
        // Some pictures mostly lit, some mostly dark, so both margin colours occur.
        const unsigned threshold = round % 2 ? 200u : 50u;
        for (char &b : bytes) {
            uint8_t v = 0;
            for (int bit = 0; bit < 8; ++bit)
                v |= (random() % 256u < threshold ? 1u : 0u) << bit;
            b = static_cast<char>(v);
        }
        const QString picture = PictureTextFromBytes(bytes);
        EXPECT_EQ(ShrinkPicture96To64(ExpandPicture64To96(picture)), picture);
    }
}

TEST(PictureConversion, ProjectWalkConvertsEveryPictureOnce)
{
    TestProject p = NewTestProject(0);
    TwNode *first = AddStartupPicture(p.StartupScreen, WithPixels(kPictureHeight64, {{0, 0}}));
    TwNode *second = AddStartupPicture(p.StartupScreen, QString());
    p.ScreenSaver->SetProp("ImageData", QString(2 * kPictureBytes64, 'F'));
    // A picture-like node after the Configuration is not part of the walk.
    TwNode *stray = AddTestNode(p.Root.get(), nkScreenSaver, "Stray", {{"ImageData", "01"}});

    EXPECT_EQ(ConvertPicturesForModel(p.Root.get(), 1, 0), 3);
    EXPECT_EQ(first->GetProp("ImageData"), WithPixels(kPictureHeight96, {{79, 127}}));
    EXPECT_EQ(second->GetProp("ImageData"), QString(2 * kPictureBytes96, '0'));
    EXPECT_EQ(p.ScreenSaver->GetProp("ImageData"), QString(2 * kPictureBytes96, 'F'));
    EXPECT_EQ(stray->GetProp("ImageData"), "01");

    EXPECT_EQ(ConvertPicturesForModel(p.Root.get(), 0, 1), 3);
    EXPECT_EQ(first->GetProp("ImageData"), WithPixels(kPictureHeight64, {{0, 0}}));
    // No change of model converts nothing.
    EXPECT_EQ(ConvertPicturesForModel(p.Root.get(), 0, 0), 0);
}
