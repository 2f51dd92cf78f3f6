// The user's locale as a Windows locale identifier (LCID), the numbers the
// "LocaleID" keys of the language description file hold.
#pragma once

#include <QString>
#include <QtGlobal>

// The LCID of a locale name such as "de_DE" or "en-US". A name whose region
// the table does not know gives its language's main LCID ("de_LU" is known,
// "de_BE" gives 1031); "C", "POSIX", an empty or unknown name gives 0.
quint32 WindowsLocaleIdForName(const QString &localeName);

// The locale name ("de_DE") of an LCID; an LCID the table does not know
// gives the main locale of its language (its low ten bits), and 0 or an
// unknown language an empty name.
QString LocaleNameForWindowsLocaleId(quint32 lcid);

// The LCID of the system locale (QLocale::system()).
quint32 SystemLocaleId();
