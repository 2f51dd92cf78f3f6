// Fuzz target: the profile (INI) reader that reads the language files.
#include "ProfileReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const profile::ProfileData profile =
        profile::ProfileData::FromBytes(std::string_view(reinterpret_cast<const char *>(data), size));
    (void)profile.GetString(u"StringTable", u"main.NodeNameMainMenu", u"Main Menu");
    (void)profile.GetString(u"_Font", u"FontName", u"");
    (void)profile.GetInt(u"1", u"LocaleID", 0);
    return 0;
}
