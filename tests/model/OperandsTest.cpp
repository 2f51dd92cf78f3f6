#include "Operands.h"

#include <gtest/gtest.h>

namespace {

struct Parsed {
    uint32_t flag;
    int32_t number;
};

Parsed Parse(const char *text)
{
    int32_t number = -7777;  // marks "not written"
    const uint32_t flag = ParseOperand(QString::fromUtf8(text), number);
    return {flag, number};
}

void ExpectOperand(const char *text, uint32_t flag, int32_t number)
{
    const Parsed p = Parse(text);
    EXPECT_EQ(p.flag, flag) << text;
    EXPECT_EQ(p.number, number) << text;
}

void ExpectInvalid(const char *text)
{
    const Parsed p = Parse(text);
    EXPECT_EQ(p.flag, opNone) << text;
    EXPECT_EQ(p.number, -7777) << text << ": number written on failure";
}

TEST(ParseOperand, RegisterRangesAndHighRanges)
{
    ExpectOperand("R0", opR, 0);
    ExpectOperand("R4167", opR, 4167);
    ExpectInvalid("R4168");
    ExpectInvalid("R4999");
    ExpectOperand("R5000", opRHigh, 5000);
    ExpectOperand("R8071", opRHigh, 8071);
    ExpectInvalid("R8072");
    ExpectOperand("R0100", opR, 100);
    ExpectOperand("D3071", opD, 3071);
    ExpectInvalid("D3072");
    ExpectOperand("DR4166", opDR, 4166);
    ExpectInvalid("DR4167");
    ExpectOperand("DR5000", opDRHigh, 5000);
    ExpectOperand("DR8070", opDRHigh, 8070);
    ExpectInvalid("DR8071");
    ExpectOperand("DD3070", opDD, 3070);
    ExpectInvalid("DD3071");
}

TEST(ParseOperand, RelaysAndCounters)
{
    ExpectOperand("X255", opX, 255);
    ExpectInvalid("X256");
    ExpectOperand("Y0", opY, 0);
    ExpectOperand("M2001", opM, 2001);
    ExpectInvalid("M2002");
    ExpectOperand("S999", opS, 999);
    ExpectInvalid("S1000");
    ExpectOperand("T255", opT, 255);
    ExpectOperand("C255", opC, 255);
    ExpectInvalid("C256");
    ExpectOperand("RT255", opRT, 255);
    ExpectOperand("RC199", opRC, 199);
    ExpectInvalid("RC200");
    ExpectInvalid("DRC199");
    ExpectOperand("DRC200", opDRC, 200);
    ExpectOperand("DRC255", opDRC, 255);
    ExpectInvalid("DRC256");
}

TEST(ParseOperand, Constants)
{
    ExpectOperand("0", opConst, 0);
    ExpectOperand("-2147483648", opConst, INT32_MIN);
    ExpectOperand("2147483647", opConst, INT32_MAX);
    ExpectOperand("2147483648", opConstUnsigned, static_cast<int32_t>(0x80000000u));
    ExpectOperand("4294967295", opConstUnsigned, -1);
    ExpectInvalid("4294967296");
    ExpectInvalid("-2147483649");
    ExpectInvalid("99999999999999999999999999");
    ExpectOperand("007", opConst, 7);
}

TEST(ParseOperand, MalformedTexts)
{
    for (const char *text : {"",   "r100", " R100", "R100 ", "R1O", "R",   "DR",   "DRC", "RC",  "-",  "--1",
                             "1-", "R-1",  "X",     "Z1",    "DX1", "RX1", "DRX1", "+1",  "1.5", "R 1"})
        ExpectInvalid(text);
}

TEST(OperandCodes, TypeAndConfigCodes)
{
    EXPECT_EQ(OperandTypeCode(opConst), otConst);
    EXPECT_EQ(OperandTypeCode(opConstUnsigned), otConst);
    EXPECT_EQ(OperandTypeCode(opRHigh), otR);
    EXPECT_EQ(OperandTypeCode(opDRHigh), otDR);
    EXPECT_EQ(OperandTypeCode(opDRC), otDRC);
    EXPECT_EQ(OperandTypeCode(opDD), otDD);
    EXPECT_EQ(OperandTypeCode(opNone), otNone);
    EXPECT_EQ(OperandTypeCode(opR | opD), otNone);
    EXPECT_EQ(OperandTypeCode(0x4), otNone);

    EXPECT_EQ(ConfigTypeCode(opConst), 1);
    EXPECT_EQ(ConfigTypeCode(opConstUnsigned), 0);
    EXPECT_EQ(ConfigTypeCode(opR), 11);
    EXPECT_EQ(ConfigTypeCode(opRHigh), 11);
    EXPECT_EQ(ConfigTypeCode(opD), 12);
    EXPECT_EQ(ConfigTypeCode(opDRHigh), 13);
    EXPECT_EQ(ConfigTypeCode(opDD), 14);
    EXPECT_EQ(ConfigTypeCode(opM), 0);
}

TEST(CheckConstantRange, EveryDataType)
{
    EXPECT_TRUE(CheckConstantRange("-32768", cdtSigned16));
    EXPECT_FALSE(CheckConstantRange("32768", cdtSigned16));
    EXPECT_TRUE(CheckConstantRange("65535", cdtUnsigned16));
    EXPECT_FALSE(CheckConstantRange("-1", cdtUnsigned16));
    EXPECT_FALSE(CheckConstantRange("65536", cdtUnsigned16));
    EXPECT_TRUE(CheckConstantRange("-2147483648", cdtSigned32));
    EXPECT_FALSE(CheckConstantRange("2147483648", cdtSigned32));
    EXPECT_TRUE(CheckConstantRange("4294967295", cdtUnsigned32));
    EXPECT_TRUE(CheckConstantRange("0", cdtUnsigned32));
    EXPECT_FALSE(CheckConstantRange("-1", cdtUnsigned32));
    for (int type = 0; type < 4; ++type) {
        EXPECT_FALSE(CheckConstantRange("R100", type));
        EXPECT_FALSE(CheckConstantRange("", type));
    }
}

TEST(ByteSum, WrapsModulo256)
{
    const uint8_t bytes[] = {0xFF, 0x02, 0x10};
    EXPECT_EQ(ByteSum(bytes, 0, 0x5A), 0x5A);
    EXPECT_EQ(ByteSum(bytes, 3, 0), 0x11);
    EXPECT_EQ(ByteSum(bytes, 1, 1), 0);
}

TEST(Properties, CaseInsensitiveNamesAndEmptyRemoves)
{
    QStringList props{"Caption=A", "Max=10"};
    EXPECT_EQ(PropValue(props, "caption"), "A");
    SetPropValue(props, "MAX", "20");
    EXPECT_EQ(props, (QStringList{"Caption=A", "MAX=20"}));
    SetPropValue(props, "caption", "");
    EXPECT_EQ(props, QStringList{"MAX=20"});
    SetPropValue(props, "Unit", "a=b");
    EXPECT_EQ(PropValue(props, "Unit"), "a=b");
    EXPECT_EQ(PropInt(props, "Unit", -1), -1);
    EXPECT_EQ(PropInt(props, "Max", -1), 20);
    // A line without '=' is no property at all.
    props = QStringList{"Caption"};
    EXPECT_EQ(PropIndex(props, "Caption"), -1);
}

TEST(Properties, StringListsUpToTheCount)
{
    QStringList props;
    SaveStringsProp(props, {"one", "two", "three"}, "Description");
    SaveStringsProp(props, {"x", "y"}, "Description");
    EXPECT_EQ(PropValue(props, "Description.Count"), "2");
    EXPECT_EQ(PropValue(props, "Description.Strings[2]"), "three");  // stays, never read

    QStringList dest{"stale"};
    LoadStringsProp(dest, props, "Description");
    EXPECT_EQ(dest, (QStringList{"x", "y"}));

    // Names match without regard to case, the first line of a name wins, and
    // an index is read only as it is written ("[01]" is another name).
    props = QStringList{"description.count=3",      "DESCRIPTION.STRINGS[1]=b", "Description.Strings[01]=x",
                        "Description.Strings[1]=y", "Description.Strings[0]=a", "Description.Strings[3]=z"};
    LoadStringsProp(dest, props, "Description");
    EXPECT_EQ(dest, (QStringList{"a", "b", ""}));

    // An empty line is stored by its absence and comes back empty.
    props.clear();
    SaveStringsProp(props, {"a", "", "c"}, "Description");
    LoadStringsProp(dest, props, "Description");
    EXPECT_EQ(dest, (QStringList{"a", "", "c"}));
}

// Lists are read and written in one pass: every line must still be the one a
// lookup by its name finds (the first of that name, without regard to case,
// the index in plain decimal), and writing must leave what a SetPropValue per
// line leaves.
TEST(Properties, StringListsInOnePassMatchTheLookupByName)
{
    const QStringList props{"Caption=x",
                            "description.STRINGS[1]=first one",
                            "Description.Strings[1]=second one",
                            "Description.Strings[01]=leading zero",
                            "Description.Strings[+2]=signed",
                            "Description.Strings[2",
                            "Description.Strings[]=empty index",
                            "Description.Strings[3]=a=b",
                            "Description.Strings[4]=beyond the count",
                            "Description.Count=4"};
    QStringList byName;
    for (int i = 0; i < 4; ++i)
        byName.append(PropValue(props, QStringLiteral("Description.Strings[%1]").arg(i)));
    QStringList dest;
    LoadStringsProp(dest, props, "Description");
    EXPECT_EQ(dest, byName);
    EXPECT_EQ(dest, (QStringList{"", "first one", "", "a=b"}));

    const QStringList lines{"new 0", "", "new 2", "new 3", "new 4"};
    QStringList lineByLine = props;
    SetPropValue(lineByLine, "Description.Count", "5");
    for (int i = 0; i < lines.size(); ++i)
        SetPropValue(lineByLine, QStringLiteral("Description.Strings[%1]").arg(i), lines[i]);
    QStringList saved = props;
    SaveStringsProp(saved, lines, "Description");
    EXPECT_EQ(saved, lineByLine);
}

TEST(MatchOperand, KeepsOnlyAllowedKindsAndWritesOnlyOnAMatch)
{
    struct Case {
        const char *text;
        uint32_t mask;
        uint32_t match;  // also the flag written
        int32_t number;  // written on a match
    };
    const Case cases[] = {
        {"R100", maskValueReference, opR, 100},
        {"DR5000", maskRegister, opDRHigh, 5000},
        {"X7", maskBitAction, opX, 7},
        {"4000000000", maskAnyOperand, opConstUnsigned, int32_t(4000000000u)},
        {"-5", maskAnyOperand, opConst, -5},
        {"X7", maskValueReference, 0, 0},  // valid, but a kind outside the mask
        {"R100", maskBitAction, 0, 0},
        {"-5", maskRegister, 0, 0},
        {"T3", maskBitAction, 0, 0},  // a bit, but not one a bit action writes
        {"", maskAnyOperand, 0, 0},
        {"r100", maskAnyOperand, 0, 0},
    };
    for (const Case &c : cases) {
        uint32_t flag = 0xDEAD;
        int32_t number = -7777;
        EXPECT_EQ(MatchOperand(c.text, c.mask, &flag, &number), c.match) << c.text;
        EXPECT_EQ(flag, c.match ? c.match : 0xDEADu) << c.text;
        EXPECT_EQ(number, c.match ? c.number : -7777) << c.text;
        EXPECT_EQ(MatchOperand(c.text, c.mask), c.match) << c.text << " without out-values";
    }
}

}  // namespace
