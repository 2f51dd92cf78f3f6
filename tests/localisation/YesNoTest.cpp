// The question and message box: button layouts, results, texts, warnings,
// and the coverage of the shipped language files.
#include "LangTestFiles.h"
#include "Lumor_unicode.h"
#include "Ufmyesno.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Shown {
    QString message;
    QString caption;
    bool yes = false, no = false, cancel = false;
    int yesLeft = -1, noLeft = -1, cancelLeft = -1;
    int calls = 0;
};

class YesNoBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.WriteLanguageList({1033, 1031});
        dir.Prepare(Localizer, 1033);
    }
    void TearDown() override
    {
        SetYesNoRunner({});
        delete fmYesNo;
        Localizer.Reset();
    }
    void Init() { Localizer.InitLanguage(QStringLiteral("ZELDesigner")); }

    // Replaces the modal showing: records what the box shows, answers result.
    void Answer(int result)
    {
        SetYesNoRunner([this, result](TfmYesNo &form) {
            ++shown.calls;
            shown.message = form.Message();
            shown.caption = form.windowTitle();
            shown.yes = !form.bbYes->isHidden();
            shown.no = !form.bbNo->isHidden();
            shown.cancel = !form.bbCancel->isHidden();
            shown.yesLeft = form.bbYes->x();
            shown.noLeft = form.bbNo->x();
            shown.cancelLeft = form.bbCancel->x();
            return result;
        });
    }

    LangTestDir dir;
    Shown shown;
};

TEST_F(YesNoBox, DesignOfTheWindow)
{
    Init();
    TfmYesNo form;
    EXPECT_EQ(form.objectName(), QStringLiteral("fmYesNo"));
    EXPECT_EQ(form.size(), QSize(405, 235));
    EXPECT_EQ(form.lbWaring->geometry(), QRect(16, 96, 350, 16));
    EXPECT_EQ(form.WideImage1->geometry(), QRect(8, 8, 64, 64));
    EXPECT_EQ(form.bbYes->geometry(), QRect(64, 152, 81, 33));
    EXPECT_EQ(form.bbNo->geometry(), QRect(160, 152, 81, 33));
    EXPECT_EQ(form.bbCancel->geometry(), QRect(256, 152, 81, 33));
    EXPECT_EQ(form.bbYes->text(), QStringLiteral("&Yes"));
    EXPECT_EQ(form.bbNo->text(), QStringLiteral("&No"));
    EXPECT_EQ(form.bbCancel->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(form.font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(form.font().pixelSize(), 13);
    EXPECT_TRUE(Localizer.RegisteredForms().contains(&form));
}

TEST_F(YesNoBox, ButtonCaptionsFollowTheLanguageFile)
{
    dir.Write(QStringLiteral("language.1"),
              "[fmYesNo]\nbbYes.Caption=&Ja\nbbNo.Caption=\nbbCancel.Caption=Abbrechen\n");
    Init();
    TfmYesNo form;
    EXPECT_EQ(form.bbYes->text(), QStringLiteral("&Ja"));
    EXPECT_EQ(form.bbNo->text(), QStringLiteral("&No"));
    EXPECT_EQ(form.bbCancel->text(), QStringLiteral("Abbrechen"));
}

TEST_F(YesNoBox, ModeLayouts)
{
    Init();
    TfmYesNo form;
    Answer(mrYes);

    ShowYesNo(&form, "m", "id", "c", "cid", 0);
    EXPECT_TRUE(shown.yes);
    EXPECT_TRUE(shown.no);
    EXPECT_FALSE(shown.cancel);
    EXPECT_EQ(shown.yesLeft, 96);
    EXPECT_EQ(shown.noLeft, 216);

    ShowYesNo(&form, "m", "id", "c", "cid", 1);
    EXPECT_TRUE(shown.yes && shown.no && shown.cancel);
    EXPECT_EQ(shown.yesLeft, 64);
    EXPECT_EQ(shown.noLeft, 160);
    EXPECT_EQ(shown.cancelLeft, 256);

    ShowYesNo(&form, "m", "id", "c", "cid", 2);
    EXPECT_TRUE(shown.yes);
    EXPECT_FALSE(shown.no);
    EXPECT_FALSE(shown.cancel);
    EXPECT_EQ(shown.yesLeft, 160);
}

TEST_F(YesNoBox, OtherModesKeepThePreviousLayout)
{
    Init();
    TfmYesNo form;
    Answer(mrNo);
    ShowYesNo(&form, "m", "id", "c", "cid", 0);
    EXPECT_EQ(ShowYesNo(&form, "m", "id", "c", "cid", 3), mrNo);
    EXPECT_TRUE(shown.yes && shown.no);
    EXPECT_FALSE(shown.cancel);
    EXPECT_EQ(shown.yesLeft, 96);
    EXPECT_EQ(shown.noLeft, 216);

    ShowYesNo(&form, "m", "id", "c", "cid", 1);
    ShowYesNo(&form, "m", "id", "c", "cid", -1);
    EXPECT_TRUE(shown.yes && shown.no && shown.cancel);
    EXPECT_EQ(shown.yesLeft, 64);
}

TEST_F(YesNoBox, MessageBoxAfterAThreeButtonQuestionShowsOneButton)
{
    Init();
    TfmYesNo form;
    Answer(mrYes);
    ShowYesNo(&form, "m", "id", "c", "cid", 1);
    EXPECT_EQ(ShowMessageBox(&form, QStringLiteral("Text"), QStringLiteral("Caption")), mrYes);
    EXPECT_EQ(shown.message, QStringLiteral("Text"));
    EXPECT_EQ(shown.caption, QStringLiteral("Caption"));
    EXPECT_TRUE(shown.yes);
    EXPECT_FALSE(shown.no);
    EXPECT_FALSE(shown.cancel);
    EXPECT_EQ(shown.yesLeft, 160);
}

TEST_F(YesNoBox, QuestionTextsComeFromTheYesnoPrefix)
{
    dir.Write(
        QStringLiteral("language.1"),
        "[StringTable]\nyesno.WarnModifyId=Daten geändert.\\nSpeichern?\nyesno.WarnCloseId=Schließen\n");
    Init();
    TfmYesNo form;
    Answer(mrCancel);
    EXPECT_EQ(ShowYesNo(&form, YesNoQuestions::CloseModified), mrCancel);
    EXPECT_EQ(shown.message, QStringLiteral("Daten geändert.\nSpeichern?"));
    EXPECT_EQ(shown.caption, QStringLiteral("Schließen"));
    EXPECT_TRUE(shown.cancel);

    ShowYesNo(&form, YesNoQuestions::DeleteWithChildren);
    EXPECT_EQ(shown.message, QStringLiteral("The child nodes will be also deleted\nConfirm to delete ?"));
    EXPECT_EQ(shown.caption, QStringLiteral("Delete"));
    EXPECT_FALSE(shown.cancel);
}

TEST_F(YesNoBox, MultiLineMessagesStayAboveTheButtons)
{
    Init();
    TfmYesNo form;
    Answer(mrYes);
    ShowYesNo(&form, YesNoQuestions::PasteTruncate);
    EXPECT_EQ(form.lbWaring->x(), 16);
    EXPECT_EQ(form.lbWaring->width(), 350);
    EXPECT_GT(form.lbWaring->height(), 16);
    EXPECT_LE(form.lbWaring->geometry().bottom(), 152);

    ShowMessageBox(&form, QStringLiteral("one line"), QString());
    EXPECT_EQ(form.lbWaring->geometry(), QRect(16, 96, 350, 16));
}

// Shows the box for real and presses a button (or closes it) once it is up.
int ShowAndAct(TfmYesNo &form, int mode, const std::function<void()> &act)
{
    QTimer::singleShot(0, &form, act);
    return ShowYesNo(&form, "Question", "NoSuchId", "Caption", "NoSuchCaptionId", mode);
}

TEST_F(YesNoBox, ButtonsAnswerSixSevenTwo)
{
    Init();
    TfmYesNo form;
    EXPECT_EQ(ShowAndAct(form, 1, [&] { form.bbYes->click(); }), mrYes);
    EXPECT_EQ(ShowAndAct(form, 1, [&] { form.bbNo->click(); }), mrNo);
    EXPECT_EQ(ShowAndAct(form, 1, [&] { form.bbCancel->click(); }), mrCancel);
    EXPECT_EQ(ShowAndAct(form, 2, [&] { form.bbYes->click(); }), mrYes);
}

TEST_F(YesNoBox, ClosingFromTheTitleBarAnswersCancel)
{
    Init();
    TfmYesNo form;
    for (int mode : {0, 1, 2})
        EXPECT_EQ(ShowAndAct(form, mode, [&] { form.close(); }), mrCancel) << mode;
    EXPECT_EQ(ShowAndAct(form, 0,
                         [&] {
                             QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                             QCoreApplication::sendEvent(&form, &esc);
                         }),
              mrCancel);
}

TEST_F(YesNoBox, UnknownWarningCodes)
{
    Init();
    Answer(mrYes);
    ShowWarning(1999);
    EXPECT_EQ(shown.message, QStringLiteral("Unknown error !"));
    EXPECT_EQ(shown.caption, QStringLiteral("Warn"));
    ShowWarning(2012);
    EXPECT_EQ(shown.message, QStringLiteral("Unknown error !"));
    EXPECT_EQ(shown.calls, 2);
    EXPECT_TRUE(shown.yes);
    EXPECT_FALSE(shown.no);
    EXPECT_FALSE(shown.cancel);
    EXPECT_EQ(shown.yesLeft, 160);
}

TEST_F(YesNoBox, DefaultWarningTexts)
{
    Init();
    Answer(mrYes);
    const char *const expected[] = {
        "Please input menu string !",
        "Please input reference number !",
        "Input error, please input again !",
        "Please input max. value !",
        "Please input min. value !",
        "Decimal point can not exceed 4 !",
        "Invalid input value !",
        "Max. value should big than min. !",
        "Input string size exceed the limit!",
        "Reference must be discrete type !",
        "Input should be a string !",
        "This field should not be empty !",
    };
    for (int code = 2000; code <= 2011; ++code) {
        ShowWarning(code);
        EXPECT_EQ(shown.message, QString::fromUtf8(expected[code - 2000])) << code;
        EXPECT_EQ(shown.caption, QStringLiteral("Warn"));
    }
}

TEST_F(YesNoBox, LanguageFileReplacesOnlyItsWarning)
{
    dir.Write(QStringLiteral("language.1"),
              "[StringTable]\nlumorU.Warn2006=Ungültiger Wert!\nlumorU.WarnCaption=Warnung\n");
    Init();
    Answer(mrYes);
    ShowWarning(2006);
    EXPECT_EQ(shown.message, QStringLiteral("Ungültiger Wert!"));
    EXPECT_EQ(shown.caption, QStringLiteral("Warnung"));
    ShowWarning(2007);
    EXPECT_EQ(shown.message, QStringLiteral("Max. value should big than min. !"));
    EXPECT_EQ(shown.caption, QStringLiteral("Warnung"));
}

TEST_F(YesNoBox, WarningsUseTheOneInstanceCreatedOnFirstUse)
{
    Init();
    Answer(mrYes);
    ASSERT_EQ(fmYesNo, nullptr);
    ShowWarning(2000);
    ASSERT_NE(fmYesNo, nullptr);
    TfmYesNo *first = fmYesNo;
    ShowWarning(2001);
    EXPECT_EQ(fmYesNo, first);
    EXPECT_EQ(YesNoForm(), first);
    EXPECT_EQ(fmYesNo->Message(), QStringLiteral("Please input reference number !"));
}

// ---- The shipped language files cover every text so far ---------------------

TEST(ShippedLanguageFiles, CoverQuestionsWarningsAndTheQuestionBox)
{
    LangTestDir settingsDir;
    LumorUnicode loc;
    loc.SetSettingsFile(settingsDir.SettingsFile());
    loc.SetUserLocaleIdSource([] { return 0u; });
    loc.SetPlainMessageHook([](const QString &, const QString &) { FAIL() << "Language.mnu missing"; });
    loc.InitLanguage(QStringLiteral("ZELDesigner"));
    ASSERT_EQ(loc.LanguageCount(), 2);

    for (int language = 0; language < 2; ++language) {
        loc.SetLanguage(language);
        auto has = [&](const QString &section, const QString &key) {
            EXPECT_FALSE(loc.ReadSectionValue(section, key).isEmpty())
                << "language." << language + 1 << " [" << section.toStdString() << "] " << key.toStdString();
        };
        const QString table = QStringLiteral("StringTable");
        for (const YesNoQuestion &q : YesNoQuestions::All) {
            has(table, QStringLiteral("yesno.") + QLatin1String(q.messageId));
            has(table, QStringLiteral("yesno.") + QLatin1String(q.captionId));
        }
        for (int code = 2000; code <= 2011; ++code)
            has(table, QStringLiteral("lumorU.Warn") + QString::number(code));
        has(table, QStringLiteral("lumorU.WarnDefault"));
        has(table, QStringLiteral("lumorU.WarnCaption"));
        for (const char *key : {"NodeNameMainMenu", "NodeNameAlarm", "NodeNameStartScreen",
                                "NodeNameScreenSave", "NodeNameConfiguration", "NodeNameDevice"})
            has(table, QStringLiteral("main.") + QLatin1String(key));
        for (const char *button : {"bbYes", "bbNo", "bbCancel"})
            has(QStringLiteral("fmYesNo"), QLatin1String(button) + QStringLiteral(".Caption"));
        has(QStringLiteral("_Font"), QStringLiteral("FontName"));
    }
}

TEST(ShippedLanguageFiles, GermanQuestionBox)
{
    LangTestDir settingsDir;
    Localizer.Reset();
    Localizer.SetSettingsFile(settingsDir.SettingsFile());
    Localizer.SetUserLocaleIdSource([] { return 1031u; });
    Localizer.InitLanguage(QStringLiteral("ZELDesigner"));
    ASSERT_EQ(Localizer.LanguageNumber(), 2);
    {
        TfmYesNo form;
        EXPECT_EQ(form.bbYes->text(), QStringLiteral("&Ja"));
        EXPECT_EQ(form.bbNo->text(), QStringLiteral("&Nein"));
        QString message;
        SetYesNoRunner([&](TfmYesNo &f) {
            message = f.Message();
            return mrYes;
        });
        ShowYesNo(&form, YesNoQuestions::DeleteWithChildren);
        EXPECT_EQ(
            message,
            QStringLiteral("Die untergeordneten Knoten werden ebenfalls gelöscht.\nLöschen bestätigen?"));

        // Switching back to English re-translates the registered box.
        Localizer.SetLanguage(0);
        EXPECT_EQ(form.bbYes->text(), QStringLiteral("&Yes"));
        SetYesNoRunner({});
    }
    delete fmYesNo;
    Localizer.Reset();
}

}  // namespace
