// The custom places bar: places kept in the registry, captions, and the bar's
// editing by drag, pop-up menu and drop.
#include "ApDialogsCommon.h"
#include "ApModalRuns.h"
#include "ApPlaceButton.h"
#include "ApPlaceEditor.h"
#include "ApPlacesBarForm.h"
#include "FileDialogsSupport.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

const QString kKey = QStringLiteral("Software\\Lumor\\FileDialogsTest\\Places");

TApPlace MakePlace(int n)
{
    TApPlace place;
    place.PlaceName = QStringLiteral("Place %1").arg(n);
    place.PlacePath = QStringLiteral("/data/folder %1").arg(n);
    place.PlaceDesc = QStringLiteral("Hint %1 ü").arg(n);
    place.PlaceIcon = n;
    place.PlaceHotIcon = n + 1;
    return place;
}

QStringList Captions(const TApPlaces &places)
{
    QStringList captions;
    for (const TApPlace &place : places)
        captions.append(place.GetPlaceName());
    return captions;
}

// A places bar shown in a window of its own.
struct ShownBar {
    explicit ShownBar(TApPlacesBarOptions &options)
    {
        auto *layout = new QVBoxLayout(&window);
        bar = new TApPlacesBarForm(options, nullptr, &window);
        layout->addWidget(bar);
        window.resize(120, 400);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWidget window;
    TApPlacesBarForm *bar;
};

}  // namespace

TEST(PlacesBar, TwelvePlacesKeepTheirOrderAndTheKeysSiblings)
{
    TApPlacesBarOptions options;
    options.RegistryKey = kKey;
    {
        const auto key = ApOpenUserKey(kKey);
        key->setValue(QStringLiteral("Width"), 91);
        key->setValue(QStringLiteral("Layout/Columns"), 2);
        key->setValue(QStringLiteral("Place_15/Name"), QStringLiteral("from a longer list"));
    }
    for (int n = 0; n < 12; ++n)
        options.Places.append(MakePlace(n));
    options.Places[3].PlaceSpecPath = ftDrives;
    options.Places[3].AutoCaption = true;
    options.Places[5].PlaceRegPath = QStringLiteral("Personal");
    ASSERT_TRUE(options.SaveToRegistry());

    const auto key = ApOpenUserKey(kKey);
    EXPECT_EQ(key->value(QStringLiteral("Width")).toInt(), 91);
    EXPECT_EQ(key->value(QStringLiteral("Layout/Columns")).toInt(), 2);
    EXPECT_FALSE(key->childGroups().contains(QStringLiteral("Place_15")));
    EXPECT_EQ(key->value(QStringLiteral("Place_3/Name")).toString(), QStringLiteral("My Computer"));

    // Loaded into places of the program's own, in another order: the kept order
    // wins and nothing is doubled ("Place_10" sorts before "Place_2" as text).
    TApPlacesBarOptions loaded;
    loaded.RegistryKey = kKey;
    loaded.Places = {MakePlace(11), MakePlace(0)};
    loaded.Places[0].PlacePath = QStringLiteral("/outdated");
    loaded.LoadFromRegistry();
    ASSERT_EQ(loaded.Places.size(), 12);
    EXPECT_EQ(Captions(loaded.Places), Captions(options.Places));
    for (int n = 0; n < 12; ++n) {
        const TApPlace &want = options.Places[n];
        const TApPlace &got = loaded.Places[n];
        EXPECT_EQ(got.PlacePath, want.PlacePath) << n;
        EXPECT_EQ(got.PlaceRegPath, want.PlaceRegPath) << n;
        EXPECT_EQ(got.PlaceDesc, want.PlaceDesc) << n;
        EXPECT_EQ(got.PlaceIcon, want.PlaceIcon) << n;
        EXPECT_EQ(got.PlaceHotIcon, want.PlaceHotIcon) << n;
        EXPECT_EQ(got.PlaceSpecPath, want.PlaceSpecPath) << n;
        EXPECT_EQ(got.AutoCaption, want.AutoCaption) << n;
    }

    // Two places under one caption both come back.
    options.Places = {MakePlace(1), MakePlace(1)};
    ASSERT_TRUE(options.SaveToRegistry());
    TApPlacesBarOptions twice;
    twice.RegistryKey = kKey;
    twice.LoadFromRegistry();
    EXPECT_EQ(twice.Places.size(), 2);
}

TEST(PlacesBar, CaptionsAndPathsOfPlaces)
{
    ApOpenUserKey(QStringLiteral("Software\\Lumor\\FileDialogsTest\\Folders"))
        ->setValue(QStringLiteral("Work"), QStringLiteral("/srv/work"));
    const struct {
        TApSpecShellFolder folder;
        QString regPath;
        QString path;
        QString caption;
    } cases[] = {
        {ftDrives, {}, QStringLiteral("/ignored"), QStringLiteral("My Computer")},
        {ftNone, QStringLiteral("\\Software\\Lumor\\FileDialogsTest\\Folders\\Work"), QStringLiteral("/x/y"),
         QStringLiteral("Work")},
        {ftNone, {}, QStringLiteral("/home/user/Projekte ü"), QStringLiteral("Projekte ü")},
        {ftNone, {}, QStringLiteral("/home/user/Projects/"), QStringLiteral("/home/user/Projects")},
        {ftNone, {}, QStringLiteral("C:\\Plants\\Line 2"), QStringLiteral("Line 2")},
    };
    for (const auto &c : cases) {
        TApPlace place;
        place.PlaceName = QStringLiteral("Stored");
        place.PlaceSpecPath = c.folder;
        place.PlaceRegPath = c.regPath;
        place.PlacePath = c.path;
        EXPECT_EQ(place.GetPlaceName(), QStringLiteral("Stored"));
        place.AutoCaption = true;
        EXPECT_EQ(place.GetPlaceName(), c.caption);
    }
    TApPlace registryPlace;
    registryPlace.PlaceRegPath = QStringLiteral("\\Software\\Lumor\\FileDialogsTest\\Folders\\Work");
    EXPECT_EQ(registryPlace.GetPlacePath(), QStringLiteral("/srv/work"));
    registryPlace.PlaceRegPath = QStringLiteral("\\Software\\Lumor\\FileDialogsTest\\Folders\\Missing");
    EXPECT_TRUE(registryPlace.GetPlacePath().isEmpty());
}

TEST(PlacesBar, DragReordersPlaces)
{
    TApPlacesBarOptions options;
    options.Places = {MakePlace(0), MakePlace(1), MakePlace(2)};
    ShownBar shown(options);
    QList<TApPlaceButton *> buttons = shown.bar->Buttons();
    ASSERT_EQ(buttons.size(), 3);

    const QPoint from = buttons[0]->rect().center();
    const QPoint onto = buttons[0]->mapFromGlobal(buttons[2]->mapToGlobal(buttons[2]->rect().center()));
    QTest::mousePress(buttons[0], Qt::LeftButton, {}, from);
    QTest::mouseMove(buttons[0], from + QPoint(0, 10));
    QTest::mouseMove(buttons[0], onto);
    QTest::mouseRelease(buttons[0], Qt::LeftButton, {}, onto);
    EXPECT_EQ(Captions(options.Places),
              (QStringList{QStringLiteral("Place 1"), QStringLiteral("Place 2"), QStringLiteral("Place 0")}));
    buttons = shown.bar->Buttons();
    ASSERT_EQ(buttons.size(), 3);
    EXPECT_EQ(buttons[2]->text(), QStringLiteral("Place 0"));
    // A drag is no click: nothing is pressed.
    EXPECT_FALSE(buttons[2]->isChecked());
}

TEST(PlacesBar, DeleteAsksAndADroppedFolderGoesThroughTheEditor)
{
    TestFolder folder;
    const QString work = folder.MakeDir(QStringLiteral("Werk ü"));
    TApPlacesBarOptions options;
    options.Places = {MakePlace(0), MakePlace(1)};
    ShownBar shown(options);

    QStringList asked;
    int answer = QMessageBox::No;
    ApSetModalRunner([&](QDialog &dialog) {
        if (auto *box = qobject_cast<QMessageBox *>(&dialog)) {
            asked.append(box->windowTitle() + QLatin1Char('|') + box->text());
            return answer;
        }
        auto *editor = qobject_cast<TApAddPlaceFrm *>(&dialog);
        if (!editor)
            return int(QDialog::Rejected);
        asked.append(editor->windowTitle() + QLatin1Char('|') + editor->edCaption->text());
        EXPECT_EQ(editor->lvNormal->currentRow(), 3);
        EXPECT_EQ(editor->lvSelected->currentRow(), 4);
        editor->edCaption->setText(QStringLiteral("Work"));
        return int(QDialog::Accepted);
    });

    // The pop-up menu over the second place deletes it after the question.
    TApPlaceButton *second = shown.bar->Buttons()[1];
    const QPoint at = second->rect().center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, second->mapToGlobal(at));
    QApplication::sendEvent(second, &menuEvent);
    ASSERT_TRUE(shown.bar->PopupMenu()->isVisible());
    shown.bar->PopupMenu()->hide();
    shown.bar->miDeletePlace->trigger();
    EXPECT_EQ(options.Places.size(), 2);
    answer = QMessageBox::Yes;
    shown.bar->miDeletePlace->trigger();
    EXPECT_EQ(Captions(options.Places), QStringList{QStringLiteral("Place 0")});

    // A folder dropped onto the bar is offered in the place editor.
    shown.bar->AddPlaces({work});
    ApSetModalRunner({});

    ASSERT_EQ(options.Places.size(), 2);
    const TApPlace &added = options.Places[1];
    EXPECT_EQ(added.PlaceName, QStringLiteral("Work"));
    EXPECT_EQ(added.PlacePath, work);
    EXPECT_EQ(added.PlaceDesc, QStringLiteral("Werk ü"));
    EXPECT_EQ(added.PlaceIcon, 3);
    EXPECT_EQ(added.PlaceHotIcon, 4);
    EXPECT_EQ(shown.bar->Buttons().size(), 2);
    EXPECT_EQ(
        asked,
        (QStringList{QStringLiteral("Place bar|Are you sure you want to delete this place?\nPlace: Place 1"),
                     QStringLiteral("Place bar|Are you sure you want to delete this place?\nPlace: Place 1"),
                     QStringLiteral("New Places Bar item|Werk ü")}));
}
