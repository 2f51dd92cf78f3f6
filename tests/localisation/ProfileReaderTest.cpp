// The profile (INI) reader: lookups, value rules, encodings and damaged files.
#include "ProfileReader.h"

#include <gtest/gtest.h>

#include <string>

using profile::ProfileData;

namespace {

ProfileData Load(const std::string &bytes)
{
    return ProfileData::FromBytes(bytes);
}

std::u16string Get(const ProfileData &data, std::u16string_view section, std::u16string_view key,
                   std::u16string_view def = u"<default>")
{
    return data.GetString(section, key, def);
}

TEST(ProfileReader, SectionsAndKeysIgnoreCase)
{
    const ProfileData data = Load("[StringTable]\nmain.NodeNameMainMenu=Main Menu\n");
    EXPECT_EQ(Get(data, u"StringTable", u"main.NodeNameMainMenu"), u"Main Menu");
    EXPECT_EQ(Get(data, u"stringtable", u"MAIN.nodenamemainmenu"), u"Main Menu");
    EXPECT_EQ(Get(data, u"STRINGTABLE", u"Main.NodeNameMainMenu"), u"Main Menu");
}

TEST(ProfileReader, NonAsciiNamesIgnoreCase)
{
    const ProfileData data = Load("[Übersicht]\nGRÖßE=1\nЯЗЫК=ru\n");
    EXPECT_EQ(Get(data, u"übersicht", u"größe"), u"1");
    EXPECT_EQ(Get(data, u"ÜBERSICHT", u"язык"), u"ru");
}

TEST(ProfileReader, EmptyValueIsNotMissing)
{
    const ProfileData data = Load("[S]\nEmpty=\nBlank=   \n");
    EXPECT_EQ(Get(data, u"S", u"Empty"), u"");
    EXPECT_EQ(Get(data, u"S", u"Blank"), u"");
    EXPECT_EQ(Get(data, u"S", u"Missing"), u"<default>");
    EXPECT_EQ(Get(data, u"Other", u"Empty"), u"<default>");
    EXPECT_NE(data.Find(u"S", u"Empty"), nullptr);
    EXPECT_EQ(data.Find(u"S", u"Missing"), nullptr);
}

TEST(ProfileReader, ValuesAreKeptWhole)
{
    const ProfileData data = Load("[S]\n"
                                  "Commas=Code Size : %d Bytes, %d Bytes, done\n"
                                  "Equals=a=b=c\n"
                                  "  Spaced  =   inner  spaces kept   \n"
                                  "Semicolon=value ; not a comment\n");
    EXPECT_EQ(Get(data, u"S", u"Commas"), u"Code Size : %d Bytes, %d Bytes, done");
    EXPECT_EQ(Get(data, u"S", u"Equals"), u"a=b=c");
    EXPECT_EQ(Get(data, u"S", u"Spaced"), u"inner  spaces kept");
    EXPECT_EQ(Get(data, u"S", u"Semicolon"), u"value ; not a comment");
}

TEST(ProfileReader, MatchingQuotesAreRemoved)
{
    const ProfileData data = Load("[S]\n"
                                  "Double=\"  padded, text  \"\n"
                                  "Single='x'\n"
                                  "EmptyQuotes=\"\"\n"
                                  "Unmatched=\"abc'\n"
                                  "Lone=\"\n"
                                  "Inner=say \"hi\" now\n");
    EXPECT_EQ(Get(data, u"S", u"Double"), u"  padded, text  ");
    EXPECT_EQ(Get(data, u"S", u"Single"), u"x");
    EXPECT_EQ(Get(data, u"S", u"EmptyQuotes"), u"");
    EXPECT_EQ(Get(data, u"S", u"Unmatched"), u"\"abc'");
    EXPECT_EQ(Get(data, u"S", u"Lone"), u"\"");
    EXPECT_EQ(Get(data, u"S", u"Inner"), u"say \"hi\" now");
}

TEST(ProfileReader, FirstOccurrenceWins)
{
    const ProfileData data = Load("[S]\nKey=first\nkey=second\n[s]\nKEY=third\nOnlyLater=later\n");
    EXPECT_EQ(Get(data, u"S", u"Key"), u"first");
    EXPECT_EQ(Get(data, u"S", u"OnlyLater"), u"later");
    EXPECT_EQ(data.SectionCount(), 1u);
}

TEST(ProfileReader, LongValuesAreCutTo999)
{
    const std::string longValue(1500, 'x');
    const ProfileData data = Load("[S]\nLong=" + longValue + "\nExact=" + std::string(999, 'y') + "\n");
    EXPECT_EQ(Get(data, u"S", u"Long"), std::u16string(999, u'x'));
    EXPECT_EQ(Get(data, u"S", u"Exact"), std::u16string(999, u'y'));
    EXPECT_EQ(data.Find(u"S", u"Long")->size(), 1500u);  // stored whole
}

TEST(ProfileReader, ValueEndsAtZeroCharacter)
{
    const ProfileData data = Load(std::string("[S]\nKey=ab\0cd\n", 14));
    EXPECT_EQ(Get(data, u"S", u"Key"), u"ab");
}

TEST(ProfileReader, CommentsAndStrayLinesAreIgnored)
{
    const ProfileData data = Load("Before=ignored\n"
                                  "; comment=yes\n"
                                  "[S]\n"
                                  ";Key=commented\n"
                                  "no equals sign here\n"
                                  "=no key\n"
                                  "Key=value\n");
    EXPECT_EQ(Get(data, u"S", u"Key"), u"value");
    EXPECT_EQ(Get(data, u"S", u";Key"), u"<default>");
    EXPECT_EQ(Get(data, u"", u"Before"), u"<default>");
}

TEST(ProfileReader, SectionHeadersTolerateBlanksAndTrailingText)
{
    const ProfileData data = Load("  [ Spaced ]  \nA=1\n[Trail] text after\nB=2\n");
    EXPECT_EQ(Get(data, u"Spaced", u"A"), u"1");
    EXPECT_EQ(Get(data, u"Trail", u"B"), u"2");
}

TEST(ProfileReader, LineEndings)
{
    const ProfileData data = Load("[S]\r\nA=1\r\nB=2\rC=3\nD=4");
    EXPECT_EQ(Get(data, u"S", u"A"), u"1");
    EXPECT_EQ(Get(data, u"S", u"B"), u"2");
    EXPECT_EQ(Get(data, u"S", u"C"), u"3");
    EXPECT_EQ(Get(data, u"S", u"D"), u"4");
}

TEST(ProfileReader, HalfWrittenFileKeepsWhatItHolds)
{
    const ProfileData data = Load("[S]\nA=complete\nB=cut off in the midd");
    EXPECT_EQ(Get(data, u"S", u"A"), u"complete");
    EXPECT_EQ(Get(data, u"S", u"B"), u"cut off in the midd");

    const ProfileData header = Load("[S]\nA=1\n[Strin");
    EXPECT_EQ(Get(header, u"S", u"A"), u"1");
    EXPECT_EQ(Get(header, u"Strin", u"A"), u"<default>");

    // Keys after a broken header do not leak into the section before it.
    const ProfileData broken = Load("[S]\nA=1\n[Broken\nB=2\n[T]\nC=3\n");
    EXPECT_EQ(Get(broken, u"S", u"B"), u"<default>");
    EXPECT_EQ(Get(broken, u"T", u"C"), u"3");
}

TEST(ProfileReader, Utf8WithAndWithoutBom)
{
    const std::string text = "[S]\nKey=Menü größer\n";
    EXPECT_EQ(Get(Load(text), u"S", u"Key"), u"Menü größer");
    EXPECT_EQ(Get(Load("\xEF\xBB\xBF" + text), u"S", u"Key"), u"Menü größer");
    // Outside the basic plane: a surrogate pair.
    EXPECT_EQ(Get(Load("[S]\nKey=\xF0\x9F\x98\x80\n"), u"S", u"Key"), u"\U0001F600");
}

TEST(ProfileReader, Utf16WithBom)
{
    const std::u16string text = u"[S]\r\nKey=Gerät, Wert\r\n";
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (const char16_t c : text) {
        le.push_back(char(c & 0xFF));
        le.push_back(char(c >> 8));
        be.push_back(char(c >> 8));
        be.push_back(char(c & 0xFF));
    }
    EXPECT_EQ(Get(Load(le), u"s", u"KEY"), u"Gerät, Wert");
    EXPECT_EQ(Get(Load(be), u"s", u"KEY"), u"Gerät, Wert");
    // An odd trailing byte (half-written file) is dropped.
    EXPECT_EQ(Get(Load(le + "\x41"), u"S", u"Key"), u"Gerät, Wert");
}

TEST(ProfileReader, NonUtf8FileIsReadAsWindows1252)
{
    EXPECT_EQ(Get(Load("[S]\nKey=Men\xFC \x80\n"), u"S", u"Key"), u"Menü €");
}

TEST(ProfileReader, Utf8CutInASequenceStaysUtf8)
{
    // "ä" then the first byte of "ö": the cut tail becomes U+FFFD.
    EXPECT_EQ(Get(Load("[S]\nKey=\xC3\xA4\xC3"), u"S", u"Key"), u"ä\uFFFD");
}

TEST(ProfileReader, IntegerLookup)
{
    const ProfileData data = Load("[1]\nLocaleID=1033\nNeg=-7\nPlus=+12\nTail=42abc\nText=abc\nEmpty=\n"
                                  "Huge=99999999999999\nTiny=-99999999999999\n");
    EXPECT_EQ(data.GetInt(u"1", u"localeid", 0), 1033);
    EXPECT_EQ(data.GetInt(u"1", u"Neg", 0), -7);
    EXPECT_EQ(data.GetInt(u"1", u"Plus", 0), 12);
    EXPECT_EQ(data.GetInt(u"1", u"Tail", 0), 42);
    EXPECT_EQ(data.GetInt(u"1", u"Text", 5), 0);
    EXPECT_EQ(data.GetInt(u"1", u"Empty", 5), 0);
    EXPECT_EQ(data.GetInt(u"1", u"Missing", 5), 5);
    EXPECT_EQ(data.GetInt(u"2", u"LocaleID", 0), 0);
    EXPECT_EQ(data.GetInt(u"1", u"Huge", 0), 2147483647);
    EXPECT_EQ(data.GetInt(u"1", u"Tiny", 0), -2147483647 - 1);
}

TEST(ProfileReader, GarbageNeverCrashes)
{
    std::string bytes;
    uint32_t seed = 7;
    for (int round = 0; round < 200; ++round) {
        bytes.clear();
        for (int i = 0; i < 400; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const char pool[] = "[]=;\"'\r\n \tab\xC3\xA4\xFF\xFE\x00";
            bytes.push_back(pool[(seed >> 24) % (sizeof pool - 1)]);
        }
        const ProfileData data = Load(bytes);
        (void)Get(data, u"a", u"b");
        (void)data.GetInt(u"a", u"b", 0);
    }
    SUCCEED();
}

}  // namespace
