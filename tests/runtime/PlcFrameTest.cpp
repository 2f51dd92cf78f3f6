// PLC frames and link helpers. Every expected frame is written out by
// hand: STX, the characters, the two checksum characters (the 8-bit sum of STX and
// the characters, worked out on paper), ETX.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "PlcFrame.h"

using namespace runtime;

namespace {

// STX + text + ETX, where text already ends in its two checksum characters.
std::vector<std::uint8_t> Framed(const std::string &text)
{
    std::string s = "\x02" + text + "\x03";
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

std::vector<std::uint8_t> Bytes(const std::uint8_t *p, std::uint16_t n)
{
    return std::vector<std::uint8_t>(p, p + n);
}

std::string Name(std::uint8_t type, std::uint16_t address)
{
    char out[kMaxOperandNameLength + 1];
    std::uint16_t n = FormatOperandName(out, type, address);
    EXPECT_EQ(n, std::strlen(out));
    return out;
}

}  // namespace

TEST(PlcFrame, HexToValue)
{
    EXPECT_EQ(HexToByte("5A"), 0x5A);
    EXPECT_EQ(HexToByte("00"), 0);
    EXPECT_EQ(HexToByte("FF"), 255);
    EXPECT_EQ(HexToWord("1F40"), 8000);
    EXPECT_EQ(HexToDword("0001E240"), 123456u);
    EXPECT_EQ(HexToDword("FFFFFFFF"), 0xFFFFFFFFu);
}

TEST(PlcFrame, HexToValueChecksNothing)
{
    // A character above '9' counts as its code minus 55: 'G' is 16, so "1G" is 0x20.
    EXPECT_EQ(HexToByte("1G"), 0x20);
    EXPECT_FALSE(IsHexText(reinterpret_cast<const std::uint8_t *>("1G"), 2));
    EXPECT_FALSE(IsHexText(reinterpret_cast<const std::uint8_t *>("1a"), 2));
    EXPECT_TRUE(IsHexText(reinterpret_cast<const std::uint8_t *>("09AF"), 4));
}

TEST(PlcFrame, ByteToHexIsUpperCaseHighNibbleFirst)
{
    char out[3] = {};
    ByteToHex(0x5A, out);
    EXPECT_STREQ(out, "5A");
    ByteToHex(0x0F, out);
    EXPECT_STREQ(out, "0F");
    std::uint8_t hex[8];
    ValueToHex(0x1234, 4, hex);
    EXPECT_EQ(std::string(hex, hex + 4), "1234");
    ValueToHex(0x00ABCDEF, 8, hex);
    EXPECT_EQ(std::string(hex, hex + 8), "00ABCDEF");
}

TEST(PlcFrame, FinishFrameAppendsChecksumAndEtx)
{
    std::uint8_t f[32] = {0x02, '0', '1', '4', '8'};
    std::uint16_t n = FinishFrame(f, 5);
    EXPECT_EQ(n, 8);
    EXPECT_EQ(Bytes(f, n), Framed("0148CF"));
}

TEST(PlcFrame, StationQueryIsExact)
{
    std::uint8_t f[32];
    std::uint16_t n = BuildStationQuery(f);
    ASSERT_EQ(n, 17);
    EXPECT_EQ(Bytes(f, n), Framed("FF150101>0FD7E5"));
}

TEST(PlcFrame, BuildTextFrameRefusesWhatDoesNotFit)
{
    std::uint8_t f[16];
    EXPECT_EQ(BuildTextFrame("FF150101>0FD7", f, 16), 0);  // needs 17
    EXPECT_EQ(BuildTextFrame("0148", f, 8), 8);
    EXPECT_EQ(Bytes(f, 8), Framed("0148CF"));
}

TEST(PlcFrame, VerifyChecksum)
{
    std::vector<std::uint8_t> good = Framed("0148004D2D9");
    EXPECT_TRUE(VerifyChecksum(good.data(), static_cast<std::uint16_t>(good.size())));
    std::vector<std::uint8_t> bad = Framed("0148004D2DA");
    EXPECT_FALSE(VerifyChecksum(bad.data(), static_cast<std::uint16_t>(bad.size())));
    // A lower-case checksum is not the upper-case text of the sum.
    std::vector<std::uint8_t> lower = Framed("0148004D2d9");
    EXPECT_FALSE(VerifyChecksum(lower.data(), static_cast<std::uint16_t>(lower.size())));
    // Below 4 bytes it fails; with 4 bytes only the first byte is summed: STX is "02".
    const std::uint8_t three[] = {0x02, '0', '2'};
    EXPECT_FALSE(VerifyChecksum(three, 3));
    const std::uint8_t four[] = {0x02, '0', '2', 0x03};
    EXPECT_TRUE(VerifyChecksum(four, 4));
    // The ETX is not examined.
    std::vector<std::uint8_t> noEtx = good;
    noEtx.back() = 'x';
    EXPECT_TRUE(VerifyChecksum(noEtx.data(), static_cast<std::uint16_t>(noEtx.size())));
    EXPECT_FALSE(VerifyChecksum(nullptr, 10));
}

TEST(PlcFrame, CheckReplyFrameChecksTheWholeFrame)
{
    std::vector<std::uint8_t> r = Framed("0148004D2D9");
    auto n = static_cast<std::uint16_t>(r.size());
    EXPECT_EQ(CheckReplyFrame(r.data(), n, "01", "48"), ReplyOk);
    EXPECT_EQ(CheckReplyFrame(r.data(), n, nullptr, nullptr), ReplyOk);
    EXPECT_EQ(CheckReplyFrame(r.data(), n, "02", "48"), ReplyMalformed);
    EXPECT_EQ(CheckReplyFrame(r.data(), n, "01", "49"), ReplyMalformed);
    std::vector<std::uint8_t> noEtx = r;
    noEtx.back() = 0x04;
    EXPECT_EQ(CheckReplyFrame(noEtx.data(), n, "01", "48"), ReplyMalformed);
    std::vector<std::uint8_t> noStx = r;
    noStx.front() = 0x01;
    EXPECT_EQ(CheckReplyFrame(noStx.data(), n, "01", "48"), ReplyMalformed);
    std::vector<std::uint8_t> bad = Framed("0148004D2DA");
    EXPECT_EQ(CheckReplyFrame(bad.data(), n, "01", "48"), ReplyBadChecksum);
    EXPECT_EQ(CheckReplyFrame(r.data(), 8, "01", "48"), ReplyMalformed);  // shorter than a reply
    EXPECT_EQ(ReplyDataLength(n), 4);
    EXPECT_EQ(ReplyDataLength(5), 0);
}

TEST(PlcFrame, StationReply)
{
    char station[3] = "??";
    // Data "0107": the station "07" at reply bytes 8 and 9.
    std::vector<std::uint8_t> r = Framed("011500107"
                                         "C1");
    EXPECT_EQ(ParseStationReply(r.data(), static_cast<std::uint16_t>(r.size()), station), ReplyOk);
    EXPECT_STREQ(station, "07");
    // "00" becomes "01".
    r = Framed("011500100"
               "BA");
    EXPECT_EQ(ParseStationReply(r.data(), static_cast<std::uint16_t>(r.size()), station), ReplyOk);
    EXPECT_STREQ(station, "01");
}

TEST(PlcFrame, StationReplyFailuresLeaveTheStation)
{
    char station[3] = "??";
    std::vector<std::uint8_t> bad = Framed("011500107"
                                           "C2");
    EXPECT_EQ(ParseStationReply(bad.data(), static_cast<std::uint16_t>(bad.size()), station),
              ReplyBadChecksum);
    // Too short to hold bytes 8 and 9: "01150" "F9" is a complete frame, but no station.
    std::vector<std::uint8_t> shortReply = Framed("01150F9");
    EXPECT_EQ(ParseStationReply(shortReply.data(), static_cast<std::uint16_t>(shortReply.size()), station),
              ReplyMalformed);
    // A 4-byte block whose "checksum" happens to fit is not a station reply either.
    const std::uint8_t four[] = {0x02, '0', '2', 0x03};
    EXPECT_EQ(ParseStationReply(four, 4, station), ReplyMalformed);
    // A reply to another command ("48") is not a station reply.
    std::vector<std::uint8_t> other = Framed("014800107"
                                             "C7");
    EXPECT_EQ(ParseStationReply(other.data(), static_cast<std::uint16_t>(other.size()), station),
              ReplyMalformed);
    EXPECT_STREQ(station, "??");
}

TEST(PlcFrame, OperandNamesOfEveryKind)
{
    EXPECT_EQ(Name(OpNone, 12), "0012");
    EXPECT_EQ(Name(OpConst, 12), "0012");
    EXPECT_EQ(Name(OpX, 7), "X0007");
    EXPECT_EQ(Name(OpY, 255), "Y0255");
    EXPECT_EQ(Name(OpM, 100), "M0100");
    EXPECT_EQ(Name(OpS, 999), "S0999");
    EXPECT_EQ(Name(OpT, 5), "T0005");
    EXPECT_EQ(Name(OpC, 17), "C0017");
    EXPECT_EQ(Name(OpRT, 12), "RT00012");
    EXPECT_EQ(Name(OpRC, 199), "RC00199");
    EXPECT_EQ(Name(OpDRC, 200), "DRC0200");
    EXPECT_EQ(Name(OpR, 3000), "R03000");
    EXPECT_EQ(Name(OpR, 4128), "R04128");
    EXPECT_EQ(Name(OpD, 0), "D00000");
    EXPECT_EQ(Name(OpDR, 100), "DR00100");
    EXPECT_EQ(Name(OpDD, 3070), "DD03070");
    // The largest names the parser allows are 7 characters; any u16 fits in 8.
    EXPECT_EQ(Name(OpDRC, 255).size(), 7u);
    EXPECT_EQ(Name(OpDR, 8070).size(), 7u);
    EXPECT_EQ(Name(OpDRC, 65535), "DRC65535");
    EXPECT_EQ(Name(OpDD, 65535), "DD65535");
    EXPECT_EQ(Name(15, 1), "");
}

TEST(PlcFrame, ValueWidthsByType)
{
    const std::uint16_t reply[] = {0, 0, 1, 1, 1, 1, 1, 1, 4, 4, 8, 4, 4, 8, 8, 0};
    const std::uint16_t write[] = {0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 4, 4, 8, 8, 0};
    for (std::uint8_t t = 0; t < 16; ++t) {
        EXPECT_EQ(ReplyValueWidth(t), reply[t]) << int(t);
        EXPECT_EQ(WriteValueWidth(t), write[t]) << int(t);
        EXPECT_EQ(IsWritableType(t), write[t] != 0) << int(t);
    }
}

TEST(PlcFrame, CheckWriteReply)
{
    // STX "01490": 2 + 48 + 49 + 52 + 57 + 48 = 256, checksum "00".
    std::vector<std::uint8_t> ok = Framed("0149000");
    EXPECT_EQ(CheckWriteReply(ok.data(), static_cast<std::uint16_t>(ok.size())), ReplyOk);
    EXPECT_EQ(CheckWriteReply(ok.data(), static_cast<std::uint16_t>(ok.size()), "01"), ReplyOk);
    EXPECT_EQ(CheckWriteReply(ok.data(), static_cast<std::uint16_t>(ok.size()), "02"), ReplyMalformed);
    std::vector<std::uint8_t> refused = Framed("0149101");
    EXPECT_EQ(CheckWriteReply(refused.data(), static_cast<std::uint16_t>(refused.size())), ReplyErrorChar);
    // Only "1" refuses: to the runtime's link "2" (or any other character) is a success.
    std::vector<std::uint8_t> two = Framed("0149202");
    EXPECT_EQ(CheckWriteReply(two.data(), static_cast<std::uint16_t>(two.size())), ReplyOk);
    std::vector<std::uint8_t> badSum = Framed("0149001");
    EXPECT_EQ(CheckWriteReply(badSum.data(), static_cast<std::uint16_t>(badSum.size())), ReplyBadChecksum);
    // A late poll reply ("48") never confirms a write.
    std::vector<std::uint8_t> poll = Framed("0148004D2D9");
    EXPECT_EQ(CheckWriteReply(poll.data(), static_cast<std::uint16_t>(poll.size())), ReplyMalformed);
    std::vector<std::uint8_t> poll0 = Framed("01480FF");
    EXPECT_EQ(CheckWriteReply(poll0.data(), static_cast<std::uint16_t>(poll0.size())), ReplyMalformed);
    // Data after the error character: not a write reply.
    std::vector<std::uint8_t> extra = Framed("01490131");
    EXPECT_EQ(CheckWriteReply(extra.data(), static_cast<std::uint16_t>(extra.size())), ReplyMalformed);
    EXPECT_EQ(CheckWriteReply(nullptr, 0), ReplyMalformed);
}

TEST(PlcFrame, RegisterFramesForTheMailbox)
{
    std::uint8_t f[160];
    std::uint16_t n = BuildReadRegistersFrame(f, sizeof f, "01", OpR, 3000, 2);
    EXPECT_EQ(Bytes(f, n), Framed("014602R0300074"));
    n = BuildReadRegistersFrame(f, sizeof f, "01", OpR, 3000, 35);
    EXPECT_EQ(n, 16);  // the download's mailbox read is 16 bytes
    const std::uint16_t words[] = {0x1234, 0xABCD};
    n = BuildWriteRegistersFrame(f, sizeof f, "01", OpR, 3000, words, 2);
    EXPECT_EQ(Bytes(f, n), Framed("014702R030001234ABCD49"));
    std::uint16_t many[35] = {};
    n = BuildWriteRegistersFrame(f, sizeof f, "01", OpR, 3000, many, 35);
    EXPECT_EQ(n, 156);  // the largest download frame
    EXPECT_EQ(BuildWriteRegistersFrame(f, 155, "01", OpR, 3000, many, 35), 0);
    EXPECT_EQ(BuildReadRegistersFrame(f, sizeof f, "01", OpR, 3000, 0), 0);
    EXPECT_EQ(BuildReadRegistersFrame(f, sizeof f, "01", OpR, 3000, 256), 0);
    EXPECT_EQ(BuildReadRegistersFrame(f, sizeof f, "01", 15, 3000, 1), 0);
}
