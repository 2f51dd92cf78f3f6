// The device information dialog and the description form: model choice and
// its fallback, what a save keeps, the description preview's bounds, and
// their texts in every shipped language.
#include "dialogs/DeviceInfoDialog.h"
#include "ApAttachedForms.h"
#include "ModalResult.h"
#include "NodeStream.h"
#include "ProjectBuilder.h"
#include "ScriptedUiServices.h"
#include "ShippedLanguage.h"
#include "TestFiles.h"
#include "TextFit.h"
#include "dialogs/DescriptionForm.h"
#include "mainwindow/MainWindow.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(DeviceInfo, IdsSelectTheirModelAndAnyOtherTheFirst)
{
    TFormDeviceInfo form;
    EXPECT_FALSE(form.cbDevice->isEditable());
    ASSERT_EQ(form.cbDevice->count(), 2);
    const struct {
        const char *stored;
        int index;
        const char *saved;
    } cases[] = {{"1", 1, "1"}, {"0", 0, "0"}, {"7", 0, "0"}, {"abc", 0, "0"}, {"-1", 0, "0"}, {"", 0, "0"}};
    for (const auto &c : cases) {
        TwNode node(nullptr, QStringLiteral("Device"), nkDeviceInfo);
        node.SetProp("DeviceID", c.stored);
        form.cbDevice->setCurrentIndex(1 - c.index);
        ASSERT_TRUE(form.LoadFromNode(&node)) << c.stored;
        EXPECT_EQ(form.cbDevice->currentIndex(), c.index) << c.stored;
        ASSERT_TRUE(form.SaveToNode(&node));
        EXPECT_EQ(node.GetProp("DeviceID"), c.saved) << c.stored;
    }

    // Whatever the list holds, only the table's ids are stored.
    TwNode node(nullptr, QString(), nkDeviceInfo);
    form.cbDevice->addItem(QStringLiteral("third"));
    for (int index : {2, -1}) {
        form.cbDevice->setCurrentIndex(index);
        ASSERT_TRUE(form.SaveToNode(&node));
        EXPECT_EQ(node.GetProp("DeviceID"), "0") << index;
    }

    TwNode menu(nullptr, QStringLiteral("Main Menu"), nkMainMenu);
    EXPECT_FALSE(form.LoadFromNode(&menu));
}

TEST(DeviceInfo, OkKeepsCaptionDeviceAndDescriptionOnly)
{
    TScriptedUiServices ui;
    TFormDeviceInfo form;
    TwNode node(nullptr, QString(), nkDeviceInfo);
    node.Props = QStringList{"Other=1",
                             "Caption=Device",
                             "Description=plain",
                             "Description.Count=2",
                             "Description.Strings[0]=Plant 7",
                             "Description.Strings[9]=stale",
                             "DeviceID=1"};
    ASSERT_TRUE(form.LoadFromNode(&node));
    EXPECT_EQ(form.mmDescription->toPlainText(), "Plant 7\n");
    form.show();
    form.cbDevice->setCurrentIndex(0);
    form.mmDescription->setPlainText("Plant 7\n\nHall 2");
    form.btOK->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), mrOk);
    EXPECT_EQ(node.Props,
              QStringList({"Caption=Device", "DeviceID=0", "Description.Count=3",
                           "Description.Strings[0]=Plant 7", "Description.Strings[2]=Hall 2"}));
    EXPECT_TRUE(ui.Boxes.isEmpty());
}

class DescriptionPreview : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString Path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QString Write(const char *name, const QByteArray &bytes) const
    {
        return WriteTestFile(Path(name), bytes);
    }

    static QByteArray Project(const QStringList &description)
    {
        TestProject p = NewTestProject(1);
        SetDescription(p.DeviceInfo, description);
        return SaveProjectFile(*p.Root);
    }

    TScriptedUiServices ui;
    QTemporaryDir dir;
};

TEST_F(DescriptionPreview, ReadsOnlyWholeProjectAndMenuFilesOfTheirExtension)
{
    const QStringList lines{"Plant 7", "", "Line 3"};
    const QByteArray project = Project(lines);
    TwNode menu(nullptr, QStringLiteral("Sub"), nkSubMenu);
    const QByteArray menuFile = SaveMenuExportFile(menu, {"Export", "of Sub"});
    TwNode root(nullptr, QString(), nkProject);  // a project without a device node
    new TwNode(&root, QStringLiteral("Main Menu"), nkMainMenu);
    // A device node claiming the most lines among many others: read in one pass.
    TestProject crowded = NewTestProject();
    crowded.DeviceInfo->SetProp("Description.Count", "65536");
    for (int i = 0; i < 100000; ++i)
        crowded.DeviceInfo->Props.append(QStringLiteral("K%1=v").arg(i));
    crowded.DeviceInfo->SetProp("Description.Strings[65535]", "last");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.zel"));
    TUnopenedPipe pipe(Path("pipe.zel"));
    QFile big(Path("big.zel"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.write(project) == project.size()
                && big.resize(MaxPreviewBytes + 1));
    big.close();

    using S = TDescriptionSource;
    const struct {
        QString path;
        S source;
        QStringList expected;
    } cases[] = {
        {Write("plant.zel", project), S::ProjectFile, lines},
        {Write("PLANT.ZEL", project), S::ProjectFile, lines},
        {Write("system.mze", project), S::ProjectFile, {}},
        {Path("plant.zel"), S::MenuFile, {}},
        {Write("sub.mzm", menuFile), S::MenuFile, {"Export", "of Sub"}},
        {Write("sub.zel", menuFile), S::ProjectFile, {}},
        {Write("plain.mzm", project), S::MenuFile, {}},  // a project is no menu file
        {Write("nodevice.zel", SaveProjectFile(root)), S::ProjectFile, {}},
        {Write("cut.zel", project.left(project.size() - 3)), S::ProjectFile, {}},
        {Write("junk.mzm", QByteArray(40, '\xff')), S::MenuFile, {}},
        {Write("empty.zel", QByteArray()), S::ProjectFile, {}},
        {Path("big.zel"), S::ProjectFile, {}},
        {Path("folder.zel"), S::ProjectFile, {}},
        {Path("pipe.zel"), S::ProjectFile, {}},  // never opened: nothing waits
        {Path("missing.zel"), S::ProjectFile, {}},
        {QString(), S::ProjectFile, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PreviewDescription(c.path, c.source), c.expected) << c.path.toStdString();

    const QStringList many =
        PreviewDescription(Write("crowded.zel", SaveProjectFile(*crowded.Root)), S::ProjectFile);
    ASSERT_EQ(many.size(), 65536);
    EXPECT_EQ(many.last(), "last");
    EXPECT_TRUE(ui.Boxes.isEmpty());
    EXPECT_EQ(pipe.Opens(), 0);
}

TEST_F(DescriptionPreview, MainWindowHandlersFillTheFormAndClearIt)
{
    TFormMain main;
    ASSERT_EQ(FormDescription, nullptr);
    const QString project = Write("plant.zel", Project({"Plant 7"}));
    main.odOpenDialog1SelectionChange(project);
    ASSERT_NE(FormDescription, nullptr);
    EXPECT_EQ(ApFindForm(QStringLiteral("FormDescription")), FormDescription);  // as the file dialogs find it
    EXPECT_TRUE(FormDescription->mmDescription->isReadOnly());
    EXPECT_EQ(FormDescription->DescriptionLines(), QStringList{"Plant 7"});
    main.odImportMenu1SelectionChange(project);  // a project in the menu import: nothing
    EXPECT_TRUE(FormDescription->mmDescription->toPlainText().isEmpty());
    main.odOpenDialog1SelectionChange(project);
    main.odOpenDialog1SelectionChange(Write("system.mze", Project({"System"})));
    EXPECT_TRUE(FormDescription->DescriptionLines().isEmpty());
    delete FormDescription;
    EXPECT_EQ(FormDescription, nullptr);
}

TEST(DeviceInfoTexts, FitInEveryShippedLanguage)
{
    QTemporaryDir dir;
    StartShippedLocalisation(dir.filePath(QStringLiteral("language.ini")), 1033);
    TFormDeviceInfo device;
    TFormDescription description;
    ASSERT_GE(Localizer.LanguageCount(), 2);
    for (int language = 0; language < Localizer.LanguageCount(); ++language) {
        Localizer.SetLanguage(language);
        EXPECT_TRUE(TextsFit(&device)) << "language." << language + 1;
        EXPECT_TRUE(TextsFit(&description)) << "language." << language + 1;
    }
    EXPECT_EQ(device.windowTitle(), QStringLiteral("Geräteinformation"));
    EXPECT_EQ(device.lbDeviceName->text(), QStringLiteral("Gerätename:"));
    EXPECT_EQ(description.lbDescription->text(), QStringLiteral("Beschreibung:"));
    Localizer.Reset();
}

}  // namespace
