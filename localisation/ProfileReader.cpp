// Profile (INI) reader: decoding, parsing and lookups.
#include "ProfileReader.h"

#include <limits>

namespace profile {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Windows-1252 characters of the bytes 0x80..0x9F; the five bytes the code
// page leaves undefined map to the control character of the same value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Length of the UTF-8 sequence at bytes[i] and its code point; 0 when the
// sequence is broken. truncated reports a valid start cut by the end of input.
std::size_t Utf8Sequence(std::string_view bytes, std::size_t i, char32_t &cp, bool &truncated)
{
    truncated = false;
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    std::size_t len;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if (i + k >= bytes.size()) {
            truncated = true;
            return 0;
        }
        const auto b = static_cast<unsigned char>(bytes[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

void AppendCodePoint(std::u16string &out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// True when the bytes are UTF-8 throughout, a sequence cut by the end of the
// input (a half-written file) included.
bool IsUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp;
        bool truncated;
        const std::size_t len = Utf8Sequence(bytes, i, cp, truncated);
        if (len == 0)
            return truncated;
        i += len;
    }
    return true;
}

std::u16string DecodeUtf8(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp;
        bool truncated;
        const std::size_t len = Utf8Sequence(bytes, i, cp, truncated);
        if (len == 0) {
            out.push_back(kReplacement);
            ++i;
        } else {
            AppendCodePoint(out, cp);
            i += len;
        }
    }
    return out;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
        const auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
        out.push_back(static_cast<char16_t>(lo | (hi << 8)));
    }
    return out;
}

std::u16string DecodeCp1252(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.push_back(b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return out;
}

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

std::u16string_view Trim(std::u16string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char16_t FoldChar(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return c + 0x20;
    if (c < 0xC0)
        return c;
    if (c <= 0xDE && c != 0xD7)  // Latin-1 capitals
        return c + 0x20;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)  // Greek capitals
        return c + 0x20;
    if (c >= 0x410 && c <= 0x42F)  // Cyrillic capitals
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    return c;
}

}  // namespace

std::u16string DecodeText(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF
        && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return DecodeUtf16(bytes.substr(2), false);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE
        && static_cast<unsigned char>(bytes[1]) == 0xFF)
        return DecodeUtf16(bytes.substr(2), true);
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF
        && static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
        return DecodeUtf8(bytes.substr(3));
    if (IsUtf8(bytes))
        return DecodeUtf8(bytes);
    return DecodeCp1252(bytes);
}

std::u16string FoldCase(std::u16string_view name)
{
    std::u16string out(name);
    for (char16_t &c : out)
        c = FoldChar(c);
    return out;
}

ProfileData ProfileData::Parse(std::u16string_view text)
{
    ProfileData data;
    Section *current = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        const std::u16string_view line = Trim(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == u'\r')
            ++pos;
        if (pos < text.size() && text[pos] == u'\n')
            ++pos;

        if (line.empty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            const std::size_t close = line.rfind(u']');
            if (close == std::u16string_view::npos) {
                current = nullptr;  // damaged header: ignore what follows it
                continue;
            }
            current = &data.sections_[FoldCase(Trim(line.substr(1, close - 1)))];
            continue;
        }
        if (!current)
            continue;
        const std::size_t eq = line.find(u'=');
        if (eq == std::u16string_view::npos)
            continue;
        const std::u16string_view key = Trim(line.substr(0, eq));
        if (key.empty())
            continue;
        std::u16string_view value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
            && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        current->emplace(FoldCase(key), std::u16string(value));  // first occurrence wins
    }
    return data;
}

ProfileData ProfileData::FromBytes(std::string_view bytes)
{
    return Parse(DecodeText(bytes));
}

const std::u16string *ProfileData::Find(std::u16string_view section, std::u16string_view key) const
{
    const auto s = sections_.find(FoldCase(Trim(section)));
    if (s == sections_.end())
        return nullptr;
    const auto k = s->second.find(FoldCase(Trim(key)));
    if (k == s->second.end())
        return nullptr;
    return &k->second;
}

std::u16string ProfileData::GetString(std::u16string_view section, std::u16string_view key,
                                      std::u16string_view defaultValue) const
{
    const std::u16string *value = Find(section, key);
    if (!value)
        return std::u16string(defaultValue);
    std::u16string_view text = *value;
    const std::size_t zero = text.find(u'\0');
    if (zero != std::u16string_view::npos)
        text = text.substr(0, zero);
    if (text.size() > kMaxValueLength)
        text = text.substr(0, kMaxValueLength);
    return std::u16string(text);
}

int32_t ProfileData::GetInt(std::u16string_view section, std::u16string_view key, int32_t defaultValue) const
{
    const std::u16string *value = Find(section, key);
    if (!value)
        return defaultValue;
    std::u16string_view text = *value;
    bool negative = false;
    if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }
    int64_t number = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9')
            break;
        number = number * 10 + (c - u'0');
        if (number > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            break;
    }
    if (negative)
        number = -number;
    if (number > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (number < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(number);
}

}  // namespace profile
