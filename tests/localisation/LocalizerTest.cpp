// The localisation service: language choice, text lookup, the language menu,
// switching, form translation and the user's locale id.
#include "LangTestFiles.h"

#include "Localizer.h"
#include "UserLocale.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A label class of the form's own: its class name is not "QLabel".
class OwnLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
};

int StoredNumber(const LangTestDir &dir)
{
    QSettings settings(dir.SettingsFile(), QSettings::IniFormat);
    return settings.value(QStringLiteral("ZELDesigner/LanguageNumber"), -1).toInt();
}

// ---- Choosing the language -------------------------------------------------

TEST(LanguageChoice, StoredNumberWinsOverTheLocale)
{
    LangTestDir dir;
    dir.WriteLanguageList({1033, 1031});
    dir.StoreLanguageNumber("2");
    LumorUnicode loc;
    dir.Prepare(loc, 1033);
    loc.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(loc.LanguageCount(), 2);
    EXPECT_EQ(loc.LanguageNumber(), 2);
    EXPECT_EQ(loc.LanguageFilePath(), dir.FilePath(QStringLiteral("language.2")));
    EXPECT_EQ(loc.SectionList(), (QStringList{"0", "1", "2"}));
}

TEST(LanguageChoice, StoredNumberIsReadUnderTheApplicationKey)
{
    LangTestDir dir;
    dir.WriteLanguageList({1033, 1031});
    dir.StoreLanguageNumber("2", "OtherProgram");
    LumorUnicode loc;
    dir.Prepare(loc, 0);
    loc.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(loc.LanguageNumber(), 1);
    EXPECT_EQ(loc.ApplicationKey(), QStringLiteral("ZELDesigner"));
}

TEST(LanguageChoice, InvalidStoredNumbersFallToTheLocale)
{
    for (const QByteArray &stored :
         {QByteArray("0"), QByteArray("-1"), QByteArray("3"), QByteArray("x"), QByteArray()}) {
        LangTestDir dir;
        dir.WriteLanguageList({1033, 1031});
        if (!stored.isEmpty())
            dir.StoreLanguageNumber(stored);
        LumorUnicode loc;
        dir.Prepare(loc, 1031);
        loc.InitLanguage(QStringLiteral("ZELDesigner"));
        EXPECT_EQ(loc.LanguageNumber(), 2) << stored.constData();
    }
}

TEST(LanguageChoice, LocaleMatchTakesTheFirstEqualEntry)
{
    LangTestDir dir;
    dir.WriteLanguageList({1031, 1036, 1036});
    LumorUnicode loc;
    dir.Prepare(loc, 1036);
    loc.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(loc.LanguageNumber(), 2);
}

TEST(LanguageChoice, WithoutLocaleMatchTheLast1033Wins)
{
    LangTestDir dir;
    dir.WriteLanguageList({1031, 1033, 1036, 1033, 1040});
    LumorUnicode loc;
    dir.Prepare(loc, 1049);
    loc.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(loc.LanguageNumber(), 4);
}

TEST(LanguageChoice, WithoutLocaleMatchOrEnglishLanguage1)
{
    LangTestDir dir;
    dir.WriteLanguageList({1031, 1036});
    LumorUnicode loc;
    dir.Prepare(loc, 0);
    loc.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(loc.LanguageNumber(), 1);
}

TEST(LanguageChoice, ListStopsAtTheFirstMissingSection)
{
    LangTestDir dir;
    dir.Write(QStringLiteral("Language.mnu"), "[1]\nLocaleID=1033\n[2]\nLocaleID=1031\n[4]\nLocaleID=1036\n");
    LumorUnicode loc;
    dir.Prepare(loc);
    loc.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(loc.LanguageCount(), 2);
    EXPECT_EQ(loc.LocaleIdOfLanguage(2), 1031u);
    EXPECT_EQ(loc.LocaleIdOfLanguage(3), 0u);
}

TEST(LanguageChoice, ListStopsAtZeroLocale)
{
    LangTestDir dir;
    dir.Write(QStringLiteral("Language.mnu"), "[1]\nLocaleID=1033\n[2]\nLocaleID=0\n[3]\nLocaleID=1031\n");
    LumorUnicode loc;
    dir.Prepare(loc);
    loc.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(loc.LanguageCount(), 1);
}

TEST(LanguageChoice, AtMostTenLanguages)
{
    LangTestDir dir;
    QList<int> ids;
    for (int i = 0; i < 12; ++i)
        ids.append(2000 + i);
    dir.WriteLanguageList(ids);
    LumorUnicode loc;
    dir.Prepare(loc, 2011);  // the twelfth is not read
    loc.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(loc.LanguageCount(), 10);
    EXPECT_EQ(loc.LanguageNumber(), 1);
}

TEST(LanguageChoice, MissingDescriptionFileShowsItsMessageAndCarriesOn)
{
    LangTestDir dir;
    dir.Write(QStringLiteral("language.1"), "[StringTable]\nmain.X=from file\n[_Font]\nFontName=Arial\n");
    LumorUnicode loc;
    int messages = 0;
    QString text, caption;
    dir.Prepare(loc, 1033, &messages);
    loc.SetPlainMessageHook([&](const QString &t, const QString &c) {
        ++messages;
        text = t;
        caption = c;
    });
    loc.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(messages, 1);
    EXPECT_EQ(text, QStringLiteral("Language description file not Found"));
    EXPECT_EQ(caption, QStringLiteral("Language Load Error !"));
    EXPECT_EQ(loc.LanguageCount(), 0);
    EXPECT_EQ(loc.GetText(QStringLiteral("built-in"), QStringLiteral("main"), QStringLiteral("X")),
              QStringLiteral("built-in"));
    EXPECT_EQ(loc.FontName(), QStringLiteral("Tahoma"));

    QMenu menu;
    loc.BuildLanguageMenu(&menu);
    EXPECT_TRUE(menu.actions().isEmpty());
}

// ---- Text lookup -----------------------------------------------------------

class TextLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.WriteLanguageList({1033});
        dir.Write(QStringLiteral("language.1"),
                  "[StringTable]\n"
                  "main.NodeNameMainMenu=Hauptmenü\n"
                  "main.Empty=\n"
                  "compile.CodeSize=Size: %d Bytes, limit %d Bytes\n"
                  "yesno.Quoted=\"  spaced  \"\n");
        dir.Prepare(loc);
        loc.InitLanguage(QStringLiteral("ZELDesigner"));
    }
    QString Text(const char *def, const char *prefix, const char *id)
    {
        return loc.GetText(QString::fromUtf8(def), QString::fromUtf8(prefix), QString::fromUtf8(id));
    }
    LangTestDir dir;
    LumorUnicode loc;
};

TEST_F(TextLookup, FindsKeyByPrefixAndId)
{
    EXPECT_EQ(Text("Main Menu", "main", "NodeNameMainMenu"), QStringLiteral("Hauptmenü"));
}

TEST_F(TextLookup, IgnoresCase)
{
    EXPECT_EQ(Text("Main Menu", "MAIN", "nodenamemainmenu"), QStringLiteral("Hauptmenü"));
}

TEST_F(TextLookup, EmptyValueVersusMissingKey)
{
    EXPECT_EQ(Text("default", "main", "Empty"), QString());
    EXPECT_EQ(Text("default", "main", "Missing"), QStringLiteral("default"));
    EXPECT_EQ(Text("default", "other", "NodeNameMainMenu"), QStringLiteral("default"));
}

TEST_F(TextLookup, ValueWithCommas)
{
    EXPECT_EQ(Text("x", "compile", "CodeSize"), QStringLiteral("Size: %d Bytes, limit %d Bytes"));
}

TEST_F(TextLookup, QuotedValue)
{
    EXPECT_EQ(Text("x", "yesno", "Quoted"), QStringLiteral("  spaced  "));
}

// The file is read once and read again when its time or size changes.
TEST_F(TextLookup, ReadsTheFileAgainOnlyWhenItChanges)
{
    const QString path = dir.FilePath(QStringLiteral("language.1"));
    dir.Write(QStringLiteral("language.1"), "[StringTable]\nmain.NodeNameMainMenu=Menu principal\n");
    EXPECT_EQ(Text("Main Menu", "main", "NodeNameMainMenu"), QStringLiteral("Menu principal"));
    const QDateTime modified = QFileInfo(path).lastModified();

    auto rewrite = [&](const char *text, const QDateTime &time) {
        dir.Write(QStringLiteral("language.1"), text);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    };
    rewrite("[StringTable]\nmain.NodeNameMainMenu=Menu principle\n", modified);
    EXPECT_EQ(Text("Main Menu", "main", "NodeNameMainMenu"), QStringLiteral("Menu principal"));
    rewrite("[StringTable]\nmain.NodeNameMainMenu=Menu principle\n", modified.addSecs(2));
    EXPECT_EQ(Text("Main Menu", "main", "NodeNameMainMenu"), QStringLiteral("Menu principle"));
    rewrite("[StringTable]\nmain.NodeNameMainMenu=Hauptmenu\n", modified.addSecs(2));
    EXPECT_EQ(Text("Main Menu", "main", "NodeNameMainMenu"), QStringLiteral("Hauptmenu"));
    QFile::remove(path);
    EXPECT_EQ(Text("Main Menu", "main", "NodeNameMainMenu"), QStringLiteral("Main Menu"));
}

TEST_F(TextLookup, LongValueIsCut)
{
    dir.Write(QStringLiteral("language.1"), "[StringTable]\nmain.Long=" + QByteArray(1200, 'z') + "\n");
    EXPECT_EQ(Text("", "main", "Long"), QString(999, QLatin1Char('z')));
}

TEST(TextLookupFont, FontFromTheLanguageFile)
{
    LangTestDir dir;
    dir.WriteLanguageList({1033, 1031});
    dir.Write(QStringLiteral("language.1"), "[_Font]\nFontName=DejaVu Sans\n");
    dir.Write(QStringLiteral("language.2"), "[_Font]\nFontName=\n");
    LumorUnicode loc;
    dir.Prepare(loc, 1033);
    loc.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(loc.FontName(), QStringLiteral("DejaVu Sans"));
    loc.SetLanguage(1);
    EXPECT_EQ(loc.FontName(), QStringLiteral("Tahoma"));
}

TEST(TextLookupFont, MissingLanguageFileGivesDefaultsAndTahoma)
{
    LangTestDir dir;
    dir.WriteLanguageList({1033});
    LumorUnicode loc;
    dir.Prepare(loc);
    loc.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(loc.FontName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(
        loc.GetText(QStringLiteral("Delete"), QStringLiteral("yesno"), QStringLiteral("CaptionDeleteId")),
        QStringLiteral("Delete"));
}

TEST(TextLookupFont, BeforeInitialisationEverythingIsDefault)
{
    LumorUnicode loc;
    EXPECT_EQ(loc.GetText(QStringLiteral("Close"), QStringLiteral("yesno"), QStringLiteral("WarnCloseId")),
              QStringLiteral("Close"));
    EXPECT_EQ(loc.LanguageNumber(), 0);
    QDialog form;
    form.setObjectName(QStringLiteral("FormX"));
    form.setWindowTitle(QStringLiteral("design"));
    loc.TranslateForm(&form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("design"));
}

// ---- Form translation ------------------------------------------------------

const char *const kFormFile = "[_FormCaption]\n"
                              "FormTest=Translated Form\n"
                              "[FormTest]\n"
                              "lbName.Caption=Name:\n"
                              "btOK.Caption=&Accept\n"
                              "cbFlag.Caption=Flag on\n"
                              "rbOne.Caption=First\n"
                              "gbGroup.Caption=Group\n"
                              "cbEffect.N_1=Second item\n"
                              "tbOpen.Hint=Open a project\n"
                              "tbOpen.Caption=not used\n"
                              "atSave.Caption=&Store\n"
                              "miFile.Caption=&Datei\n"
                              "edName.Caption=not for edits\n"
                              "lbOwn.Caption=not for own classes\n"
                              "lbEmpty.Caption=\n"
                              "lbChild.Caption=wrong section\n"
                              "[_Font]\n"
                              "FontName=DejaVu Serif\n";

struct TestForm {
    explicit TestForm(QWidget *parent = nullptr)
    {
        form = new QDialog(parent);
        form->setObjectName(QStringLiteral("FormTest"));
        form->setWindowTitle(QStringLiteral("Design Caption"));
        auto make = [this](auto *w, const char *name) {
            w->setObjectName(QLatin1String(name));
            return w;
        };
        lbName = make(new QLabel(QStringLiteral("design label"), form), "lbName");
        btOK = make(new QPushButton(QStringLiteral("OK"), form), "btOK");
        cbFlag = make(new QCheckBox(QStringLiteral("flag"), form), "cbFlag");
        gbGroup = make(new QGroupBox(QStringLiteral("group"), form), "gbGroup");
        rbOne = make(new QRadioButton(QStringLiteral("one"), gbGroup), "rbOne");  // nested
        cbEffect = make(new QComboBox(form), "cbEffect");
        cbEffect->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        tbOpen = make(new QToolButton(form), "tbOpen");
        tbOpen->setText(QStringLiteral("tool"));
        tbOpen->setToolTip(QStringLiteral("design hint"));
        atSave = make(new QAction(QStringLiteral("Save"), form), "atSave");
        auto *bar = new QMenuBar(form);
        miFile = make(bar->addMenu(QStringLiteral("&File")), "miFile");
        miFile->addAction(atSave);
        edName = make(new QLineEdit(QStringLiteral("edit text"), form), "edName");
        lbOwn = make(new OwnLabel(QStringLiteral("own"), form), "lbOwn");
        lbEmpty = make(new QLabel(QStringLiteral("kept"), form), "lbEmpty");
        tvTree = make(new QTreeView(form), "tvTree");
        child = new QDialog(form);  // another window owned by the form
        child->setObjectName(QStringLiteral("FormChild"));
        lbChild = make(new QLabel(QStringLiteral("child label"), child), "lbChild");
        unnamed = new QLabel(QStringLiteral("unnamed"), form);
    }
    ~TestForm() { delete form; }

    QDialog *form;
    QLabel *lbName, *lbEmpty, *lbChild, *unnamed;
    QPushButton *btOK;
    QCheckBox *cbFlag;
    QGroupBox *gbGroup;
    QRadioButton *rbOne;
    QComboBox *cbEffect;
    QToolButton *tbOpen;
    QAction *atSave;
    QMenu *miFile;
    QLineEdit *edName;
    OwnLabel *lbOwn;
    QTreeView *tvTree;
    QDialog *child;
};

class FormTranslation : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.WriteLanguageList({1033});
        dir.Write(QStringLiteral("language.1"), kFormFile);
        dir.Prepare(loc);
        loc.InitLanguage(QStringLiteral("ZELDesigner"));
    }
    LangTestDir dir;
    LumorUnicode loc;
};

TEST_F(FormTranslation, CaptionsAndFont)
{
    TestForm t;
    const QString before = t.edName->font().family();
    loc.TranslateForm(t.form);
    const QString face = QStringLiteral("DejaVu Serif");

    EXPECT_EQ(t.form->windowTitle(), QStringLiteral("Translated Form"));
    EXPECT_EQ(t.form->font().family(), face);
    EXPECT_EQ(t.lbName->text(), QStringLiteral("Name:"));
    EXPECT_EQ(t.lbName->font().family(), face);
    EXPECT_EQ(t.btOK->text(), QStringLiteral("&Accept"));
    EXPECT_EQ(t.btOK->font().family(), face);
    EXPECT_EQ(t.cbFlag->text(), QStringLiteral("Flag on"));
    EXPECT_EQ(t.rbOne->text(), QStringLiteral("First"));
    EXPECT_EQ(t.rbOne->font().family(), face);
    EXPECT_EQ(t.gbGroup->title(), QStringLiteral("Group"));
    EXPECT_EQ(t.gbGroup->font().family(), face);
    EXPECT_EQ(t.tvTree->font().family(), face);
}

TEST_F(FormTranslation, ComboItemsOnlyWhereKeysExist)
{
    TestForm t;
    loc.TranslateForm(t.form);
    EXPECT_EQ(t.cbEffect->itemText(0), QStringLiteral("a"));
    EXPECT_EQ(t.cbEffect->itemText(1), QStringLiteral("Second item"));
    EXPECT_EQ(t.cbEffect->itemText(2), QStringLiteral("c"));
    EXPECT_EQ(t.cbEffect->font().family(), QStringLiteral("DejaVu Serif"));
}

TEST_F(FormTranslation, ToolButtonHintMenusAndActions)
{
    TestForm t;
    loc.TranslateForm(t.form);
    EXPECT_EQ(t.tbOpen->toolTip(), QStringLiteral("Open a project"));
    EXPECT_EQ(t.tbOpen->text(), QStringLiteral("tool"));
    EXPECT_EQ(t.atSave->text(), QStringLiteral("&Store"));
    EXPECT_EQ(t.miFile->title(), QStringLiteral("&Datei"));
}

TEST_F(FormTranslation, UnlistedClassesKeepTextAndFont)
{
    TestForm t;
    loc.TranslateForm(t.form);
    EXPECT_EQ(t.edName->text(), QStringLiteral("edit text"));
    EXPECT_EQ(t.lbOwn->text(), QStringLiteral("own"));
    // Neither was given a font of its own (they inherit the form's).
    EXPECT_FALSE(t.edName->testAttribute(Qt::WA_SetFont));
    EXPECT_FALSE(t.lbOwn->testAttribute(Qt::WA_SetFont));
    EXPECT_TRUE(t.lbName->testAttribute(Qt::WA_SetFont));
    // Actions, menus and tool buttons keep their fonts too.
    EXPECT_FALSE(t.tbOpen->testAttribute(Qt::WA_SetFont));
    EXPECT_FALSE(t.miFile->testAttribute(Qt::WA_SetFont));
}

TEST_F(FormTranslation, EmptyOrMissingTextKeepsTheDesignTextButSetsTheFont)
{
    TestForm t;
    loc.TranslateForm(t.form);
    EXPECT_EQ(t.lbEmpty->text(), QStringLiteral("kept"));
    EXPECT_EQ(t.lbEmpty->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(t.unnamed->text(), QStringLiteral("unnamed"));
}

TEST_F(FormTranslation, OtherWindowsOwnedByTheFormAreLeftAlone)
{
    TestForm t;
    loc.TranslateForm(t.form);
    EXPECT_EQ(t.lbChild->text(), QStringLiteral("child label"));
}

TEST_F(FormTranslation, FormWithoutCaptionKeyKeepsItsCaption)
{
    TestForm t;
    t.form->setObjectName(QStringLiteral("FormOther"));
    loc.TranslateForm(t.form);
    EXPECT_EQ(t.form->windowTitle(), QStringLiteral("Design Caption"));
    EXPECT_EQ(t.lbName->text(), QStringLiteral("design label"));  // other section
    EXPECT_EQ(t.form->font().family(), QStringLiteral("DejaVu Serif"));
}

TEST(ComponentClasses, ExactNamesOnly)
{
    EXPECT_EQ(LumorUnicode::ComponentClassIndex(QStringLiteral("QLabel")), 0);
    EXPECT_EQ(LumorUnicode::ComponentClassIndex(QStringLiteral("QPushButton")), 1);
    EXPECT_EQ(LumorUnicode::ComponentClassIndex(QStringLiteral("QComboBox")), 8);
    EXPECT_EQ(LumorUnicode::ComponentClassIndex(QStringLiteral("QTreeWidget")), 10);
    EXPECT_EQ(LumorUnicode::ComponentClassIndex(QStringLiteral("qlabel")), -1);
    EXPECT_EQ(LumorUnicode::ComponentClassIndex(QStringLiteral("QLineEdit")), -1);
    EXPECT_EQ(LumorUnicode::ComponentClassIndex(QStringLiteral("QTextEdit")), -1);
    EXPECT_EQ(LumorUnicode::ComponentClassIndex(QString()), -1);
}

// ---- Language menu and switching -------------------------------------------

class Switching : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.WriteLanguageList({1033, 1031});
        dir.Write(QStringLiteral("language.1"),
                  "[FormTest]\nlbName.Caption=Name\n[_Font]\nFontName=Tahoma\n");
        dir.Write(QStringLiteral("language.2"),
                  "[FormTest]\nlbName.Caption=Bezeichnung\n[_Font]\nFontName=DejaVu Sans\n");
        dir.Prepare(loc, 1033);
        loc.InitLanguage(QStringLiteral("ZELDesigner"));
    }
    QList<bool> Checks() const
    {
        QList<bool> checks;
        for (QAction *item : loc.LanguageItems())
            checks.append(item->isChecked());
        return checks;
    }
    QStringList Names() const
    {
        QStringList names;
        for (QAction *item : loc.LanguageItems())
            names.append(item->text());
        return names;
    }
    LangTestDir dir;
    LumorUnicode loc;
};

TEST_F(Switching, MenuNamesLanguagesInTheCurrentLanguage)
{
    QMenu menu;
    loc.BuildLanguageMenu(&menu);
    ASSERT_EQ(menu.actions().size(), 2);
    EXPECT_EQ(Names(), (QStringList{"L1in1", "L2in1"}));
    EXPECT_EQ(Checks(), (QList<bool>{true, false}));
    EXPECT_EQ(loc.LanguageItems()[1]->data().toInt(), 1);
}

TEST_F(Switching, ClickingSwitchesStoresAndRetranslates)
{
    QMenu menu;
    loc.BuildLanguageMenu(&menu);
    TestForm t;
    loc.RegisterAndTranslateForm(t.form);
    EXPECT_EQ(t.lbName->text(), QStringLiteral("Name"));
    int hookCalls = 0;
    QString nameDuringHook;
    loc.SetAfterLanguageChange([&] {
        ++hookCalls;
        nameDuringHook = t.lbName->text();  // forms are translated before the hook
    });

    menu.actions()[1]->trigger();

    EXPECT_EQ(loc.LanguageNumber(), 2);
    EXPECT_EQ(StoredNumber(dir), 2);
    EXPECT_EQ(loc.FontName(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(t.lbName->text(), QStringLiteral("Bezeichnung"));
    EXPECT_EQ(t.lbName->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(hookCalls, 1);
    EXPECT_EQ(nameDuringHook, QStringLiteral("Bezeichnung"));
    EXPECT_EQ(Names(), (QStringList{"L1in2", "L2in2"}));
    EXPECT_EQ(Checks(), (QList<bool>{false, true}));
}

TEST_F(Switching, ChoosingTheCheckedLanguageRunsTheWholeSwitchAgain)
{
    QMenu menu;
    loc.BuildLanguageMenu(&menu);
    TestForm t;
    loc.RegisterAndTranslateForm(t.form);
    int hookCalls = 0;
    loc.SetAfterLanguageChange([&] { ++hookCalls; });
    t.lbName->setText(QStringLiteral("changed meanwhile"));
    QFile::remove(dir.SettingsFile());

    menu.actions()[0]->trigger();  // already checked: Qt unchecks, the switch checks again

    EXPECT_EQ(StoredNumber(dir), 1);
    EXPECT_EQ(t.lbName->text(), QStringLiteral("Name"));
    EXPECT_EQ(hookCalls, 1);
    EXPECT_EQ(Checks(), (QList<bool>{true, false}));
}

TEST_F(Switching, RememberedLanguageSurvivesARestart)
{
    loc.SetLanguage(1);
    LumorUnicode restarted;
    dir.Prepare(restarted, 1033);
    restarted.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(restarted.LanguageNumber(), 2);
    EXPECT_EQ(restarted.FontName(), QStringLiteral("DejaVu Sans"));
}

TEST_F(Switching, UnwritableSettingsAreNotRemembered)
{
    // The settings "file" lies below a regular file: it can never be written.
    dir.Write(QStringLiteral("blocker"), "");
    const QString unwritable = dir.FilePath(QStringLiteral("blocker/settings.ini"));
    loc.SetSettingsFile(unwritable);
    loc.SetLanguage(1);
    EXPECT_EQ(loc.LanguageNumber(), 2);
    EXPECT_EQ(loc.FontName(), QStringLiteral("DejaVu Sans"));

    LumorUnicode restarted;
    dir.Prepare(restarted, 1033);
    restarted.SetSettingsFile(unwritable);
    restarted.InitLanguage(QStringLiteral("ZELDesigner"));
    EXPECT_EQ(restarted.LanguageNumber(), 1);  // chosen from the locale again
}

TEST_F(Switching, ManyFormsRegisterAndDeletedOnesAreSkipped)
{
    std::vector<std::unique_ptr<TestForm>> forms;
    for (int i = 0; i < 50; ++i) {
        forms.push_back(std::make_unique<TestForm>());
        loc.RegisterAndTranslateForm(forms.back()->form);
    }
    loc.RegisterForm(forms[0]->form);  // registering twice keeps one entry
    EXPECT_EQ(loc.RegisteredForms().size(), 50);
    forms.erase(forms.begin() + 10);
    EXPECT_EQ(loc.RegisteredForms().size(), 49);
    loc.SetLanguage(1);
    for (const auto &form : forms)
        EXPECT_EQ(form->lbName->text(), QStringLiteral("Bezeichnung"));
}

TEST_F(Switching, RebuildingTheMenuReplacesItsEntries)
{
    QMenu menu;
    menu.addAction(QStringLiteral("design entry"));
    loc.BuildLanguageMenu(&menu);
    loc.BuildLanguageMenu(&menu);
    EXPECT_EQ(menu.actions().size(), 3);
    EXPECT_EQ(loc.LanguageItems().size(), 2);
}

// ---- The shipped language files --------------------------------------------

class ShippedFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        loc.SetSettingsFile(dir.SettingsFile());
        loc.SetUserLocaleIdSource([] { return 0u; });
        loc.SetPlainMessageHook([this](const QString &, const QString &) { ++messages; });
        loc.InitLanguage(QStringLiteral("ZELDesigner"));  // beside the test program
    }
    LangTestDir dir;
    LumorUnicode loc;
    int messages = 0;
};

TEST_F(ShippedFiles, LieBesideTheProgram)
{
    EXPECT_EQ(messages, 0);
    EXPECT_EQ(loc.ProgramDirectory(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    ASSERT_GE(loc.LanguageCount(), 2);
    EXPECT_EQ(loc.LocaleIdOfLanguage(1), 1033u);
    EXPECT_EQ(loc.LocaleIdOfLanguage(2), 1031u);
    EXPECT_EQ(loc.LanguageName(1, 1), QStringLiteral("English"));
    EXPECT_EQ(loc.LanguageName(2, 1), QStringLiteral("German"));
    EXPECT_EQ(loc.LanguageName(2, 2), QStringLiteral("Deutsch"));
    EXPECT_EQ(loc.LanguageNumber(), 1);
    EXPECT_EQ(loc.FontName(), QStringLiteral("Tahoma"));
}

TEST_F(ShippedFiles, GermanFollowsASwitch)
{
    loc.SetLanguage(1);
    EXPECT_EQ(
        loc.GetText(QStringLiteral("Main Menu"), QStringLiteral("main"), QStringLiteral("NodeNameMainMenu")),
        QStringLiteral("Hauptmenü"));
    EXPECT_EQ(loc.GetText(QStringLiteral("Warn"), QStringLiteral("lumorU"), QStringLiteral("WarnCaption")),
              QStringLiteral("Warnung"));
    loc.SetLanguage(0);
    EXPECT_EQ(loc.GetText(QStringLiteral("x"), QStringLiteral("main"), QStringLiteral("NodeNameMainMenu")),
              QStringLiteral("Main Menu"));
}

TEST_F(ShippedFiles, EveryTextComesWithItsLineBreaksExpanded)
{
    // Every key of every listed language, read as the windows read it: the
    // string table through GetText, the forms' sections as TranslateForm does.
    ASSERT_GE(loc.LanguageCount(), 2);
    for (int language = 0; language < loc.LanguageCount(); ++language) {
        loc.SetLanguage(language);
        QFile file(loc.LanguageFilePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QByteArray bytes = file.readAll();
        const std::u16string decoded = profile::DecodeText(std::string_view(bytes.constData(), bytes.size()));
        QString section;
        int keys = 0;
        for (const QString &line :
             QString::fromStdU16String(decoded).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString entry = line.trimmed();
            if (entry.startsWith(QLatin1Char('[')) && entry.endsWith(QLatin1Char(']'))) {
                section = entry.mid(1, entry.size() - 2);
                continue;
            }
            const QString key = entry.section(QLatin1Char('='), 0, 0);
            if (entry.startsWith(QLatin1Char(';')) || !entry.contains(QLatin1Char('=')) || section.isEmpty())
                continue;
            const QString text = section == QLatin1String("StringTable")
                ? loc.GetText(QString(), key.section(QLatin1Char('.'), 0, 0),
                              key.section(QLatin1Char('.'), 1))
                : loc.ReadSectionValue(section, key);
            EXPECT_FALSE(text.contains(QLatin1String("\\n")))
                << file.fileName().toStdString() << " [" << section.toStdString() << "] "
                << key.toStdString();
            ++keys;
        }
        EXPECT_GT(keys, 250);
        // The texts that were shown with a backslash still break their lines.
        for (const char *id : {"ImportRefusedId", "PasteRefusedId", "LoadTruncatedId"})
            EXPECT_EQ(
                loc.GetText(QString(), QStringLiteral("main"), QLatin1String(id)).count(QLatin1Char('\n')), 1)
                << id;
    }
}

TEST_F(ShippedFiles, QtsOwnTextsFollowTheLanguage)
{
    if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                           + QStringLiteral("/qtbase_de.qm")))
        GTEST_SKIP() << "Qt's German translations are not installed";
    // The designer's file dialogs are Qt's own, not the desktop's.
    auto texts = [] {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QStringList shown;
        for (QFileDialog::DialogLabel label :
             {QFileDialog::LookIn, QFileDialog::FileName, QFileDialog::FileType, QFileDialog::Accept,
              QFileDialog::Reject})
            shown.append(dialog.labelText(label));
        shown.append(dialog.findChild<QToolButton *>(QStringLiteral("backButton"))->toolTip());
        return shown;
    };
    const QStringList english = texts();
    loc.SetLanguage(1);
    EXPECT_EQ(loc.QtLocaleName(), QStringLiteral("de_DE"));
    // Whatever Qt's translation says; these are its German texts.
    EXPECT_EQ(texts(),
              QStringList({QStringLiteral("Suchen in:"), QStringLiteral("Datei&name:"),
                           QStringLiteral("Dateien des Typs:"), QStringLiteral("&Öffnen"),
                           QStringLiteral("Abbrechen"), QStringLiteral("Zurück")}));
    // Switching again swaps the translation, English removes it.
    loc.SetLanguage(1);
    EXPECT_EQ(texts()[0], QStringLiteral("Suchen in:"));
    loc.SetLanguage(0);
    EXPECT_EQ(texts(), english);
}

// ---- The user's locale id --------------------------------------------------

TEST(UserLocale, NamesMapToWindowsLocaleIds)
{
    EXPECT_EQ(WindowsLocaleIdForName(QStringLiteral("en_US")), 1033u);
    EXPECT_EQ(WindowsLocaleIdForName(QStringLiteral("en-GB")), 2057u);
    EXPECT_EQ(WindowsLocaleIdForName(QStringLiteral("de_DE.UTF-8")), 1031u);
    EXPECT_EQ(WindowsLocaleIdForName(QStringLiteral("de_AT@euro")), 3079u);
    EXPECT_EQ(WindowsLocaleIdForName(QStringLiteral("de_BE")), 1031u);  // region unknown: main
    EXPECT_EQ(WindowsLocaleIdForName(QStringLiteral("de")), 1031u);
    EXPECT_EQ(WindowsLocaleIdForName(QStringLiteral("zh_TW")), 1028u);
    EXPECT_EQ(WindowsLocaleIdForName(QStringLiteral("C")), 0u);
    EXPECT_EQ(WindowsLocaleIdForName(QStringLiteral("POSIX")), 0u);
    EXPECT_EQ(WindowsLocaleIdForName(QString()), 0u);
    EXPECT_EQ(WindowsLocaleIdForName(QStringLiteral("xx_YY")), 0u);
    EXPECT_EQ(WindowsLocaleIdForName(QStringLiteral("fil_PH")), 0u);
}

TEST(UserLocale, LocaleIdsMapToLocaleNames)
{
    EXPECT_EQ(LocaleNameForWindowsLocaleId(1031), QStringLiteral("de_DE"));
    EXPECT_EQ(LocaleNameForWindowsLocaleId(3079), QStringLiteral("de_AT"));
    EXPECT_EQ(LocaleNameForWindowsLocaleId(1033), QStringLiteral("en_US"));
    EXPECT_EQ(LocaleNameForWindowsLocaleId(2058), QStringLiteral("es_MX"));
    EXPECT_EQ(LocaleNameForWindowsLocaleId(0x2007), QStringLiteral("de_DE"));  // region unknown: main
    EXPECT_EQ(LocaleNameForWindowsLocaleId(0), QString());
    EXPECT_EQ(LocaleNameForWindowsLocaleId(0x7F), QString());  // the invariant locale
}

// ---- Message formats ---------------------------------------------------------

TEST(MessageFormat, ConversionsTakeTheArgumentsInOrderAndNeverMoreThanGiven)
{
    const QStringList two{QStringLiteral("140000"), QStringLiteral("a%db")};
    const struct {
        const char *format;
        const char *text;
    } cases[] = {
        {"Code Size : %d Bytes / %d Bytes", "Code Size : 140000 Bytes / a%db Bytes"},
        {"%s and %u", "140000 and a%db"},
        {"100%% of %d", "100% of 140000"},
        {"%d %d %d %x%", "140000 a%db %d %x%"},  // too many conversions: the rest stay
        {"no conversion", "no conversion"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatText(QString::fromLatin1(c.format), two), QString::fromLatin1(c.text)) << c.format;
}

}  // namespace

#include "LocalizerTest.moc"
