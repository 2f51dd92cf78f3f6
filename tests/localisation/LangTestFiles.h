// Helpers of the localisation tests: a temporary program directory with
// language files written from text, and a localiser pointed at it.
#pragma once

#include "Localizer.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class LangTestDir {
public:
    LangTestDir() { EXPECT_TRUE(dir_.isValid()); }

    QString Path() const { return dir_.path(); }
    QString FilePath(const QString &name) const { return dir_.filePath(name); }
    QString SettingsFile() const { return dir_.filePath(QStringLiteral("settings.ini")); }

    void Write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(FilePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    void Write(const QString &name, const char *utf8) const { Write(name, QByteArray(utf8)); }

    // A "Language.mnu" with the given locale ids, language i named "L<i>in<s>"
    // in section s.
    void WriteLanguageList(const QList<int> &localeIds) const
    {
        QByteArray text;
        for (int s = 1; s <= localeIds.size(); ++s) {
            text +=
                "[" + QByteArray::number(s) + "]\nLocaleID=" + QByteArray::number(localeIds[s - 1]) + "\n";
            for (int i = 1; i <= localeIds.size(); ++i)
                text += QByteArray::number(i) + "=L" + QByteArray::number(i) + "in" + QByteArray::number(s)
                    + "\n";
        }
        Write(QStringLiteral("Language.mnu"), text);
    }

    void StoreLanguageNumber(const QByteArray &value, const QByteArray &appKey = "ZELDesigner") const
    {
        Write(QStringLiteral("settings.ini"), "[" + appKey + "]\nLanguageNumber=" + value + "\n");
    }

    // Points loc at this directory with a fixed user locale and no message box.
    void Prepare(LumorUnicode &loc, quint32 userLocale = 0, int *messages = nullptr) const
    {
        loc.Reset();
        loc.SetProgramDirectory(Path());
        loc.SetSettingsFile(SettingsFile());
        loc.SetUserLocaleIdSource([userLocale] { return userLocale; });
        loc.SetPlainMessageHook([messages](const QString &, const QString &) {
            if (messages)
                ++*messages;
        });
    }

private:
    QTemporaryDir dir_;
};
