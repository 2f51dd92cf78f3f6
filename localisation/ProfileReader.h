// Reader of profile (INI) files such as the language files.
//
// Lookups follow the Windows profile functions the language files were made
// for: section and key names match without regard to case; the first
// occurrence of a key in a section wins (a section that appears twice adds
// only keys not seen before); a value is the whole text after the first '='
// with surrounding blanks removed, commas included; a value enclosed in a
// matching pair of double or single quotes loses the quotes. Lines starting
// with ';' are comments; lines before the first section, lines without '='
// and a '[' without ']' are ignored, so a damaged file yields what it still
// holds. Files may be UTF-16 (LE or BE) or UTF-8 with a byte-order mark, UTF-8
// without one, or else Windows-1252.
//
// Plain C++, no Qt: the same code runs in the fuzz target.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace profile {

// Longest text a string lookup returns; longer values are cut.
constexpr std::size_t kMaxValueLength = 999;

// Turns the raw bytes of a profile file into UTF-16 text (see above). An odd
// trailing byte of a UTF-16 file is dropped; broken UTF-8 sequences in a file
// marked as UTF-8 become U+FFFD.
std::u16string DecodeText(std::string_view bytes);

// Folds a section or key name for comparison without regard to case (ASCII,
// Latin-1, Greek and Cyrillic letters).
std::u16string FoldCase(std::u16string_view name);

class ProfileData {
public:
    // Parses decoded text.
    static ProfileData Parse(std::u16string_view text);
    // Decodes and parses the raw bytes of a file.
    static ProfileData FromBytes(std::string_view bytes);

    // The stored value of key in section, or null when the section or the key
    // is missing. The value is kept whole (no length cut).
    const std::u16string *Find(std::u16string_view section, std::u16string_view key) const;

    // String lookup: the value cut at its first zero character and at
    // kMaxValueLength characters, or the default when missing.
    std::u16string GetString(std::u16string_view section, std::u16string_view key,
                             std::u16string_view defaultValue) const;

    // Integer lookup: the leading decimal number of the value (optional sign;
    // 0 when the value does not start with one, clamped to the int range), or
    // the default when missing.
    int32_t GetInt(std::u16string_view section, std::u16string_view key, int32_t defaultValue) const;

    std::size_t SectionCount() const { return sections_.size(); }

private:
    using Section = std::unordered_map<std::u16string, std::u16string>;
    std::unordered_map<std::u16string, Section> sections_;  // keyed by folded names
};

}  // namespace profile
