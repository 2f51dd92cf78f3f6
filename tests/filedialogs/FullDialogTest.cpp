// The full open and save dialogs on the stand-in: file filter, custom form,
// drop-down OK button, custom places bar, the list's view and its delete keys.
#include "ApDialogControls.h"
#include "ApFullDialogs.h"
#include "ApFullSaveDialog.h"
#include "ApPlaceButton.h"
#include "ApPlacesBarForm.h"
#include "FileDialogsSupport.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QSettings>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(FullDialog, FilterEventHidesFilesAndShowFoldersHidesFolders)
{
    TestFolder folder;
    const QString skipped = folder.Write(QStringLiteral("skip.zel"));
    folder.Write(QStringLiteral("a.zel"));
    folder.Write(QStringLiteral("b ü.zel"));
    folder.MakeDir(QStringLiteral("sub"));
    TApOpenDialog dialog;
    dialog.InitialDir = folder.Path();
    dialog.ExtFilter.Enabled = true;
    QStringList judged;
    dialog.OnIncludeFile = [&](TApCustomOpenLiteDialog *, const QString &fileName, bool &includeFile) {
        judged.append(fileName);
        includeFile = !fileName.endsWith(QLatin1String("skip.zel"));
    };
    RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        EXPECT_EQ(CurrentOpenDialog, &dialog);
        EXPECT_EQ(CurrentLiteDialog, nullptr);
        EXPECT_TRUE(WaitForEntry(open.FileDialog(), QStringLiteral("a.zel")).isValid());
        EXPECT_EQ(ListedNames(open.FileDialog()),
                  (QStringList{QStringLiteral("a.zel"), QStringLiteral("b ü.zel"), QStringLiteral("sub")}));
        dialog.ExtFilter.SetShowFolders(false);
        EXPECT_EQ(ListedNames(open.FileDialog()),
                  (QStringList{QStringLiteral("a.zel"), QStringLiteral("b ü.zel")}));
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(judged.contains(skipped));
    EXPECT_EQ(CurrentOpenDialog, nullptr);
}

TEST(FullDialog, CustomFormTakesTheListsPlaceAndTheDropDownPressesOk)
{
    TestFolder folder;
    QWidget picker;
    picker.setObjectName(QStringLiteral("FormPicker"));
    QMenu menu;
    menu.addAction(new TApMenuItem(QStringLiteral("Open read-only"), &menu));
    TApOpenDialog dialog;
    dialog.InitialDir = folder.Path();
    dialog.CustDlgParams().SetCustFormName(QStringLiteral("FormPicker"));
    dialog.SetSelectionType(stCustom);
    dialog.OkButtonMenu = &menu;

    const bool confirmed = RunScripted(dialog, [&](TApCustomOpenLiteDialog &) {
        auto *list = qobject_cast<QStackedWidget *>(ApDlgControl(dialog.FileDialog(), idFileList));
        EXPECT_EQ(list->currentWidget(), &picker);
        EXPECT_TRUE(picker.isVisible());
        dialog.SetSelectionType(stStandard);
        EXPECT_TRUE(picker.isWindow());
        EXPECT_NE(list->currentWidget(), &picker);
        dialog.SetSelectionType(stCustom);
        EXPECT_EQ(list->currentWidget(), &picker);

        TApBitBtn *dropDown = dialog.OkDropDownButton();
        EXPECT_TRUE(ApDlgControl(dialog.FileDialog(), idOk)->isHidden());
        EXPECT_TRUE(dropDown->isVisible());
        EXPECT_EQ(dropDown->DropDownMenu(), &menu);
        dialog.SetFNameText(QStringLiteral("Picked.zel"));
        QTest::mouseClick(dropDown, Qt::LeftButton, {}, QPoint(4, dropDown->height() / 2));
        EXPECT_FALSE(dialog.DialogWindow()->isVisible());
        return dialog.DialogWindow()->result();
    });
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(dialog.FileName(), folder.Path(QStringLiteral("Picked.zel")));
    EXPECT_TRUE(picker.isWindow());
    EXPECT_TRUE(picker.isHidden());
}

TEST(FullDialog, CustomPlacesBarGoesToPlacesAndIsKept)
{
    TestFolder folder;
    const QString work = folder.MakeDir(QStringLiteral("work"));
    const QString key = QStringLiteral("Software\\Lumor\\FileDialogsTest\\FullDialog");
    TApSaveDialog dialog;
    dialog.InitialDir = folder.Path();
    dialog.PlacesBar().Native = false;
    dialog.PlacesBar().RegistryKey = key;
    TApPlace place;
    place.PlacePath = work;
    place.AutoCaption = true;
    dialog.PlacesBar().Places = {place};

    RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        TApPlacesBarForm *bar = dialog.PlacesBarForm();
        EXPECT_LT(bar->mapTo(open.DialogWindow(), QPoint()).x(),
                  open.FileDialog()->mapTo(open.DialogWindow(), QPoint()).x());
        EXPECT_FALSE(open.FileDialog()->findChild<QWidget *>(QStringLiteral("sidebar"))->isVisible());
        TApPlaceButton *button = bar->Buttons().value(0);
        EXPECT_EQ(button->text(), QStringLiteral("work"));
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(open.GetSelPath(), work);
        EXPECT_TRUE(button->isChecked());
        open.SetSelPath(folder.Path());
        EXPECT_FALSE(button->isChecked());
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(ApOpenUserKey(key)->value(QStringLiteral("Place_0/Path")).toString(), work);

    // The next run reads the places back without doubling them.
    RunScripted(dialog, [&](TApCustomOpenLiteDialog &) {
        EXPECT_EQ(dialog.PlacesBarForm()->Buttons().size(), 1);
        return int(QDialog::Rejected);
    });
}

TEST(FullDialog, ListViewChangesAskFirst)
{
    TestFolder folder;
    TApOpenDialog dialog;
    dialog.InitialDir = folder.Path();
    dialog.SetSelectionStyle(vsList);
    bool allow = false;
    QList<TViewStyle> changed;
    dialog.OnSelectionStyleChanging = [&](TApCustomOpenLiteDialog *, TViewStyle, bool &allowChange) {
        allowChange = allow;
    };
    dialog.OnSelectionStyleChange = [&](TApCustomOpenLiteDialog *, TViewStyle style) {
        changed.append(style);
    };
    RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        EXPECT_EQ(dialog.SelectionStyle(), vsList);
        QWidget *details = open.FileDialog()->findChild<QWidget *>(QStringLiteral("detailModeButton"));
        QTest::mouseClick(details, Qt::LeftButton);
        EXPECT_EQ(dialog.SelectionStyle(), vsList);
        allow = true;
        QTest::mouseClick(details, Qt::LeftButton);
        EXPECT_EQ(dialog.SelectionStyle(), vsReport);
        dialog.SetSelectionStyle(vsIcon);
        EXPECT_EQ(open.FileDialog()->findChild<QListView *>(QStringLiteral("listView"))->viewMode(),
                  QListView::IconMode);
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(changed, (QList<TViewStyle>{vsReport, vsIcon}));
    EXPECT_EQ(dialog.SelectionStyle(), vsIcon);
}

TEST(FullDialog, WithoutEnableDeleteNoKeyDeletesAFile)
{
    TestFolder folder;
    const QString kept = folder.Write(QStringLiteral("kept.zel"));
    TApOpenDialog dialog;
    dialog.InitialDir = folder.Path();
    TApListViewStyles styles;
    styles.EnableDelete = false;
    dialog.SetListViewStyles(styles);
    // Should the stand-in ask its own question, the user answers Yes.
    QTimer yes;
    QObject::connect(&yes, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    yes.start(20);
    RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        QFileDialog *files = open.FileDialog();
        QApplication::setActiveWindow(open.DialogWindow());
        for (auto mode : {QFileDialog::List, QFileDialog::Detail}) {
            files->setViewMode(mode);
            QAbstractItemView *view = FileView(files);
            view->setCurrentIndex(WaitForEntry(files, QStringLiteral("kept.zel")));
            view->setFocus();
            QTest::keyClick(view, Qt::Key_Delete);
            QTest::keyClick(view, Qt::Key_Delete, Qt::ShiftModifier);
            // The entry still current, the focus elsewhere in the dialog.
            QWidget *folders = ApDlgControl(files, idFolderCombo);
            folders->setFocus();
            QTest::keyClick(folders, Qt::Key_Delete);
            QTest::qWait(100);
        }
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(QFile::exists(kept));
}
