// The question and message box: button layouts, results, texts, warnings,
// and the shipped language files' texts, which fit their boxes.
#include "MessageBox.h"
#include "LangTestFiles.h"
#include "Localizer.h"
#include "ScriptedUiServices.h"
#include "TextFit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

class YesNoBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.WriteLanguageList({1033, 1031});
        dir.Prepare(Localizer, 1033);
    }
    void TearDown() override
    {
        delete fmYesNo;
        Localizer.Reset();
    }
    void Init() { Localizer.InitLanguage(QStringLiteral("ZELDesigner")); }

    const TBoxRequest &Last() const { return ui.Boxes.last(); }

    LangTestDir dir;
    TScriptedUiServices ui;
};

// The buttons a box shows.
QString Buttons(const TfmYesNo &box)
{
    QString shown;
    for (const QPushButton *button : {box.bbYes, box.bbNo, box.bbCancel})
        shown += button->isHidden() ? QLatin1Char('-') : button->objectName().at(2);
    return shown;
}

TEST_F(YesNoBox, DesignOfTheWindow)
{
    Init();
    TfmYesNo form;
    EXPECT_EQ(form.objectName(), QStringLiteral("fmYesNo"));
    EXPECT_EQ(form.bbYes->text(), QStringLiteral("&Yes"));
    EXPECT_EQ(form.bbNo->text(), QStringLiteral("&No"));
    EXPECT_EQ(form.bbCancel->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(form.font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(form.font().pixelSize(), 13);
    // Boxes made for one showing are not kept for the language switch; the
    // start-up instance is.
    TfmYesNo *kept = YesNoForm();
    EXPECT_FALSE(Localizer.RegisteredForms().contains(&form));
    EXPECT_TRUE(Localizer.RegisteredForms().contains(kept));
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
    EXPECT_EQ(Buttons(form), QStringLiteral("YNC"));
    // Other modes keep what the box shows.
    const std::pair<int, const char *> steps[] = {{0, "YN-"},  {1, "YNC"}, {2, "Y--"}, {3, "Y--"},
                                                  {-1, "Y--"}, {0, "YN-"}, {7, "YN-"}};
    for (const auto &[mode, buttons] : steps) {
        form.ArrangeButtons(mode);
        EXPECT_EQ(Buttons(form), QLatin1String(buttons)) << mode;
    }
}

TEST_F(YesNoBox, OtherModesTakeTheLayoutOfTheBoxShownLast)
{
    Init();
    for (int answer : {mrNo, mrNo, mrYes, mrCancel})
        ui.AnswerBox(answer);
    ShowYesNo(fmYesNo, "m", "id", "c", "cid", 0);
    EXPECT_EQ(ShowYesNo(fmYesNo, "m", "id", "c", "cid", 3), mrNo);
    EXPECT_EQ(Last().mode, 0);
    ShowYesNo(fmYesNo, "m", "id", "c", "cid", 1);
    ShowYesNo(fmYesNo, "m", "id", "c", "cid", -1);
    EXPECT_EQ(Last().mode, 1);
    // A message box leaves its one button for the next.
    ShowMessageBox(fmYesNo, QStringLiteral("Text"), QStringLiteral("Caption"));
    EXPECT_EQ(ShowYesNo(fmYesNo, "m", "id", "c", "cid", 9), mrYes);
    EXPECT_EQ(Last().mode, 2);
}

TEST_F(YesNoBox, MessageBoxShowsItsTextWithOneButton)
{
    Init();
    EXPECT_EQ(ShowMessageBox(fmYesNo, QStringLiteral("Text"), QStringLiteral("Caption")), mrYes);
    EXPECT_EQ(Last().kind, TBoxRequest::Message);
    EXPECT_EQ(Last().text, QStringLiteral("Text"));
    EXPECT_EQ(Last().caption, QStringLiteral("Caption"));
    EXPECT_EQ(Last().mode, 2);
}

TEST_F(YesNoBox, QuestionTextsComeFromTheYesnoPrefix)
{
    dir.Write(
        QStringLiteral("language.1"),
        "[StringTable]\nyesno.WarnModifyId=Daten geändert.\\nSpeichern?\nyesno.WarnCloseId=Schließen\n");
    Init();
    ui.AnswerBox(mrCancel);
    ui.AnswerBox(mrYes);
    EXPECT_EQ(ShowYesNo(fmYesNo, YesNoQuestions::CloseModified), mrCancel);
    EXPECT_EQ(Last().kind, TBoxRequest::Question);
    EXPECT_EQ(Last().id, QStringLiteral("WarnModifyId"));
    EXPECT_EQ(Last().text, QStringLiteral("Daten geändert.\nSpeichern?"));
    EXPECT_EQ(Last().caption, QStringLiteral("Schließen"));
    EXPECT_EQ(Last().mode, 1);

    ShowYesNo(fmYesNo, YesNoQuestions::DeleteWithChildren);
    EXPECT_EQ(Last().text, QStringLiteral("The child nodes will be also deleted\nConfirm to delete ?"));
    EXPECT_EQ(Last().caption, QStringLiteral("Delete"));
    EXPECT_EQ(Last().mode, 0);
    // Every showing is a box of its own: the start-up instance is not used.
    EXPECT_EQ(fmYesNo, nullptr);
}

// Shows the box for real and acts on it once it is up.
int ShowAndAct(int mode, const std::function<void(TfmYesNo &)> &act)
{
    QTimer::singleShot(0, [act] {
        auto *box = qobject_cast<TfmYesNo *>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no question box up";
            return;
        }
        act(*box);
    });
    return ShowYesNo(nullptr, "Question", "NoSuchId", "Caption", "NoSuchCaptionId", mode);
}

TEST_F(YesNoBox, ButtonsAnswerSixSevenTwo)
{
    Init();
    TUiServicesScope real(nullptr);
    EXPECT_EQ(ShowAndAct(1, [](TfmYesNo &box) { box.bbYes->click(); }), mrYes);
    EXPECT_EQ(ShowAndAct(1, [](TfmYesNo &box) { box.bbNo->click(); }), mrNo);
    EXPECT_EQ(ShowAndAct(1, [](TfmYesNo &box) { box.bbCancel->click(); }), mrCancel);
    EXPECT_EQ(ShowAndAct(2, [](TfmYesNo &box) { box.bbYes->click(); }), mrYes);
}

TEST_F(YesNoBox, ClosingFromTheTitleBarAnswersCancel)
{
    Init();
    TUiServicesScope real(nullptr);
    for (int mode : {0, 1, 2})
        EXPECT_EQ(ShowAndAct(mode, [](TfmYesNo &box) { box.close(); }), mrCancel) << mode;
    EXPECT_EQ(ShowAndAct(0,
                         [](TfmYesNo &box) {
                             QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                             QCoreApplication::sendEvent(&box, &esc);
                         }),
              mrCancel);
}

TEST_F(YesNoBox, UnknownWarningCodes)
{
    Init();
    for (int code : {1999, 2012}) {
        ShowWarning(code);
        EXPECT_EQ(Last().kind, TBoxRequest::Warning);
        EXPECT_EQ(Last().warningCode, code);
        EXPECT_EQ(Last().text, QStringLiteral("Unknown error !"));
        EXPECT_EQ(Last().caption, QStringLiteral("Warn"));
        EXPECT_EQ(Last().mode, 2);
    }
}

TEST_F(YesNoBox, DefaultWarningTexts)
{
    Init();
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
        EXPECT_EQ(Last().text, QString::fromUtf8(expected[code - 2000])) << code;
        EXPECT_EQ(Last().caption, QStringLiteral("Warn"));
    }
}

TEST_F(YesNoBox, LanguageFileReplacesOnlyItsWarning)
{
    dir.Write(QStringLiteral("language.1"),
              "[StringTable]\nlumorU.Warn2006=Ungültiger Wert!\nlumorU.WarnCaption=Warnung\n");
    Init();
    ShowWarning(2006);
    EXPECT_EQ(Last().text, QStringLiteral("Ungültiger Wert!"));
    EXPECT_EQ(Last().caption, QStringLiteral("Warnung"));
    ShowWarning(2007);
    EXPECT_EQ(Last().text, QStringLiteral("Max. value should big than min. !"));
    EXPECT_EQ(Last().caption, QStringLiteral("Warnung"));
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

TEST(ShippedLanguageFiles, QuestionBoxesInEveryLanguage)
{
    LangTestDir settingsDir;
    TScriptedUiServices ui;
    Localizer.Reset();
    Localizer.SetSettingsFile(settingsDir.SettingsFile());
    Localizer.SetUserLocaleIdSource([] { return 1031u; });
    Localizer.InitLanguage(QStringLiteral("ZELDesigner"));
    ASSERT_EQ(Localizer.LanguageNumber(), 2);
    TfmYesNo *registered = YesNoForm();
    EXPECT_EQ(registered->bbYes->text(), QStringLiteral("&Ja"));
    EXPECT_EQ(registered->bbNo->text(), QStringLiteral("&Nein"));
    ui.AnswerBox(mrYes);
    ShowYesNo(fmYesNo, YesNoQuestions::DeleteWithChildren);
    EXPECT_EQ(ui.Boxes.last().text,
              QStringLiteral("Die untergeordneten Knoten werden ebenfalls gelöscht.\nLöschen bestätigen?"));

    // Every question and warning fits its box, in every language.
    for (int language = 0; language < Localizer.LanguageCount(); ++language) {
        Localizer.SetLanguage(language);
        for (const YesNoQuestion &question : YesNoQuestions::All) {
            ui.AnswerBox(mrYes);
            ShowYesNo(fmYesNo, question);
            TfmYesNo box;
            box.Present(ui.Boxes.last());
            EXPECT_TRUE(TextsFit(&box)) << "language." << language + 1 << " " << question.messageId;
        }
        for (int code = 2000; code <= 2011; ++code) {
            TfmYesNo box;
            box.Present(TBoxRequest::Make(TBoxRequest::Warning, WarningText(code), WarningCaption()));
            EXPECT_TRUE(TextsFit(&box)) << "language." << language + 1 << " warning " << code;
        }
    }
    // A message far wider than a screen is wrapped, not cut.
    TfmYesNo box;
    box.Present(TBoxRequest::Make(TBoxRequest::Error, QStringLiteral("word ").repeated(60),
                                  QStringLiteral("Zel Designer")));
    EXPECT_TRUE(TextsFit(&box));

    // Switching the language re-translates the registered box.
    Localizer.SetLanguage(0);
    EXPECT_EQ(registered->bbYes->text(), QStringLiteral("&Yes"));
    delete fmYesNo;
    Localizer.Reset();
}

}  // namespace
