// Map from locale names to Windows locale identifiers.
#include "UserLocale.h"

#include <QLocale>

namespace {

struct LocaleEntry {
    const char *name;  // language_REGION; the first entry of a language is its main one
    quint32 lcid;
};

constexpr LocaleEntry kLocales[] = {
    {"en_US", 1033}, {"en_GB", 2057},  {"en_AU", 3081}, {"en_CA", 4105}, {"en_NZ", 5129},  {"en_IE", 6153},
    {"en_ZA", 7177}, {"en_IN", 16393}, {"de_DE", 1031}, {"de_CH", 2055}, {"de_AT", 3079},  {"de_LU", 4103},
    {"de_LI", 5127}, {"fr_FR", 1036},  {"fr_BE", 2060}, {"fr_CA", 3084}, {"fr_CH", 4108},  {"fr_LU", 5132},
    {"it_IT", 1040}, {"it_CH", 2064},  {"es_ES", 3082}, {"es_MX", 2058}, {"es_AR", 11274}, {"nl_NL", 1043},
    {"nl_BE", 2067}, {"pt_BR", 1046},  {"pt_PT", 2070}, {"pl_PL", 1045}, {"cs_CZ", 1029},  {"sk_SK", 1051},
    {"hu_HU", 1038}, {"ro_RO", 1048},  {"ru_RU", 1049}, {"uk_UA", 1058}, {"bg_BG", 1026},  {"hr_HR", 1050},
    {"sl_SI", 1060}, {"sv_SE", 1053},  {"da_DK", 1030}, {"nb_NO", 1044}, {"nn_NO", 2068},  {"fi_FI", 1035},
    {"is_IS", 1039}, {"el_GR", 1032},  {"tr_TR", 1055}, {"he_IL", 1037}, {"ar_SA", 1025},  {"zh_CN", 2052},
    {"zh_TW", 1028}, {"zh_HK", 3076},  {"zh_SG", 4100}, {"ja_JP", 1041}, {"ko_KR", 1042},  {"th_TH", 1054},
    {"vi_VN", 1066}, {"id_ID", 1057},
};

}  // namespace

quint32 WindowsLocaleIdForName(const QString &localeName)
{
    // "de_DE.UTF-8@euro" and "de-DE" both become "de_DE".
    QString name = localeName.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    name.replace(QLatin1Char('-'), QLatin1Char('_'));
    const QString language = name.section(QLatin1Char('_'), 0, 0).toLower();
    const QString region = name.section(QLatin1Char('_'), 1, 1).toUpper();
    if (language.isEmpty() || language == QLatin1String("c") || language == QLatin1String("posix"))
        return 0;
    const QString full = region.isEmpty() ? QString() : language + QLatin1Char('_') + region;
    quint32 main = 0;
    for (const LocaleEntry &entry : kLocales) {
        const QLatin1String entryName(entry.name);
        if (!full.isEmpty() && entryName == full)
            return entry.lcid;
        if (main == 0 && QLatin1String(entry.name, 2) == language && entry.name[2] == '_')
            main = entry.lcid;
    }
    return main;
}

QString LocaleNameForWindowsLocaleId(quint32 lcid)
{
    // The low ten bits name the language; the first entry of a language is its main locale.
    constexpr quint32 kLanguageBits = 0x3FF;
    const LocaleEntry *main = nullptr;
    for (const LocaleEntry &entry : kLocales) {
        if (entry.lcid == lcid)
            return QLatin1String(entry.name);
        if (!main && lcid != 0 && (entry.lcid & kLanguageBits) == (lcid & kLanguageBits))
            main = &entry;
    }
    return main ? QString(QLatin1String(main->name)) : QString();
}

quint32 SystemLocaleId()
{
    const QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C)
        return 0;
    return WindowsLocaleIdForName(locale.name());
}
