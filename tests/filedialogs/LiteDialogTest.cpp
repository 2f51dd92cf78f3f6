// The lite open and save dialogs on the stand-in, driven headless.
#include "ApDialogControls.h"
#include "ApLiteDialogs.h"
#include "FileDialogsSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

const QString kZelFilter = QStringLiteral("ZEL files (*.zel)|*.zel|All files (*.*)|*.*");

// The designer's description form: a read-only memo below the file list.
struct DescriptionForm {
    DescriptionForm()
    {
        form.setObjectName(QStringLiteral("FormDescription"));
        auto *layout = new QVBoxLayout(&form);
        memo = new QPlainTextEdit(&form);
        memo->setReadOnly(true);
        layout->addWidget(memo);
        form.resize(300, 90);
    }
    QWidget form;
    QPlainTextEdit *memo;
};

// The designer's project open dialog.
void SetUpProjectDialog(TApCustomOpenLiteDialog &dialog, const QString &folder)
{
    dialog.setObjectName(QStringLiteral("odOpenDialog1"));
    dialog.DefaultExt = QStringLiteral(".zel");
    dialog.Filter = kZelFilter;
    dialog.InitialDir = folder;
    dialog.CustDlgParams().SetBottomFormName(QStringLiteral("FormDescription"));
}

QWidget *Control(TApCustomOpenLiteDialog &dialog, int id)
{
    return ApDlgControl(dialog.FileDialog(), id);
}

QLineEdit *NameField(TApCustomOpenLiteDialog &dialog)
{
    return qobject_cast<QLineEdit *>(Control(dialog, idFileName));
}

}  // namespace

TEST(LiteDialog, ProjectDialogPreviewsTheDescriptionOfTheSelectedProject)
{
    TestFolder folder;
    const QString project = folder.Write(QStringLiteral("Plant.zel"), "Line one\nLine two");
    folder.Write(QStringLiteral("Notes.txt"), "not a project");
    DescriptionForm description;
    TApOpenLiteDialog dialog;
    SetUpProjectDialog(dialog, folder.Path());
    // The designer's handler: the description of a ".zel" file, else nothing.
    dialog.OnSelectionChange = [&](TApCustomOpenLiteDialog *, const QString &fileName) {
        QFile file(fileName);
        const bool project =
            fileName.endsWith(QLatin1String(".zel"), Qt::CaseInsensitive) && file.open(QIODevice::ReadOnly);
        description.memo->setPlainText(project ? QString::fromUtf8(file.readAll()) : QString());
    };

    const bool confirmed = RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        QDialog *window = open.DialogWindow();
        EXPECT_EQ(CurrentLiteDialog, &open);
        EXPECT_EQ(window->objectName(), QStringLiteral("odOpenDialog1"));
        // The form lies below the file dialog at the window's full width.
        EXPECT_EQ(description.form.parentWidget(), window);
        EXPECT_EQ(description.form.geometry(), QRect(0, window->height() - 90, window->width(), 90));
        EXPECT_EQ(window->height(), open.SavedHeight() + 90);
        const QWidget *list = Control(open, idFileList);
        EXPECT_LE(list->mapTo(window, QPoint(0, list->height())).y(), description.form.y());
        EXPECT_TRUE(open.FileDialog()->findChild<QWidget *>(QStringLiteral("sidebar"))->isVisible());

        // Only "*.zel" files are listed at first.
        EXPECT_TRUE(WaitForEntry(open.FileDialog(), QStringLiteral("Plant.zel")).isValid());
        EXPECT_EQ(ListedNames(open.FileDialog()), QStringList{QStringLiteral("Plant.zel")});
        QAbstractItemView *view = FileView(open.FileDialog());
        const QModelIndex entry = WaitForEntry(open.FileDialog(), QStringLiteral("Plant.zel"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry).center());
        EXPECT_EQ(description.memo->toPlainText(), QStringLiteral("Line one\nLine two"));
        EXPECT_EQ(open.FileName(), project);

        open.CloseDialog(idOk);
        return open.DialogWindow()->result();
    });
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(dialog.FileName(), project);
    EXPECT_EQ(dialog.Files(), QStringList{project});
    EXPECT_EQ(dialog.FilterIndex, 1);
    EXPECT_EQ(CurrentLiteDialog, nullptr);
    EXPECT_EQ(dialog.DialogWindow(), nullptr);
    // The form is the application's again.
    EXPECT_TRUE(description.form.isWindow());
    EXPECT_TRUE(description.form.isHidden());
}

TEST(LiteDialog, SizeIsRememberedWithoutTheAttachedForm)
{
    TestFolder folder;
    DescriptionForm description;
    TApOpenLiteDialog dialog;
    SetUpProjectDialog(dialog, folder.Path());

    QSize natural;
    EXPECT_FALSE(RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        natural = QSize(open.SavedWidth(), open.SavedHeight());
        open.DialogWindow()->resize(open.DialogWindow()->size() + QSize(120, 60));
        return int(QDialog::Rejected);
    }));
    EXPECT_EQ(dialog.SavedWidth(), natural.width() + 120);
    EXPECT_EQ(dialog.SavedHeight(), natural.height() + 60);

    QSize shown;
    RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        shown = open.DialogWindow()->size();
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(shown, QSize(natural.width() + 120, natural.height() + 60 + 90));

    // Without the form the same remembered size is shown.
    dialog.CustDlgParams().SetBottomFormName(QString());
    RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        shown = open.DialogWindow()->size();
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(shown, QSize(natural.width() + 120, natural.height() + 60));
    EXPECT_EQ(dialog.SavedHeight(), natural.height() + 60);
}

TEST(LiteDialog, CurrentDialogIsRestoredAfterNestedCancelledAndFailedRuns)
{
    TestFolder folder;
    DescriptionForm description;
    TApOpenLiteDialog outer;
    TApSaveLiteDialog inner;
    SetUpProjectDialog(outer, folder.Path());
    inner.InitialDir = folder.Path();
    TApCustomOpenLiteDialog *seenInside = nullptr;
    TApCustomOpenLiteDialog *seenAfterInner = nullptr;
    inner.OnShow = [&](TApCustomOpenLiteDialog *sender) {
        seenInside = CurrentLiteDialog == sender ? sender : nullptr;
    };
    outer.OnShow = [&](TApCustomOpenLiteDialog *) {
        inner.Execute();
        seenAfterInner = CurrentLiteDialog;
    };

    EXPECT_FALSE(RunScripted(outer, [](TApCustomOpenLiteDialog &) { return int(QDialog::Rejected); }));
    EXPECT_EQ(seenInside, &inner);
    EXPECT_EQ(seenAfterInner, &outer);
    EXPECT_EQ(CurrentLiteDialog, nullptr);
    EXPECT_TRUE(outer.FileName().isEmpty());

    // A handler that throws: the dialog closes, the error reaches the caller,
    // the current dialog is restored and the form is given back intact.
    outer.OnShow = {};
    outer.OnFilenameChange = [](TApCustomOpenLiteDialog *) { throw std::runtime_error("handler failed"); };
    bool stillOpen = true;
    EXPECT_THROW(RunScripted(outer,
                             [&](TApCustomOpenLiteDialog &open) {
                                 open.SetFNameText(QStringLiteral("x"));
                                 stillOpen = open.DialogWindow()->isVisible();
                                 return int(QDialog::Accepted);
                             }),
                 std::runtime_error);
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(CurrentLiteDialog, nullptr);
    EXPECT_TRUE(description.form.isWindow());
    EXPECT_TRUE(outer.FileName().isEmpty());
}

TEST(LiteDialog, VisibleControlsAndPlacesBar)
{
    TestFolder folder;
    TApSaveLiteDialog dialog;
    dialog.InitialDir = folder.Path();
    dialog.SetVisibleControls(AllDlgControls & ~dcToolBar);
    dialog.PlacesBar().Visible = false;
    RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        QFileDialog *files = open.FileDialog();
        for (const char *name : {"backButton", "toParentButton", "newFolderButton"})
            EXPECT_TRUE(files->findChild<QWidget *>(QLatin1String(name))->isHidden()) << name;
        EXPECT_FALSE(files->findChild<QWidget *>(QStringLiteral("sidebar"))->isVisible());

        // On the open dialog the setter acts at once.
        const struct {
            TApOpenDlgControl member;
            const char *widget;
        } cases[] = {{dcFileType, "fileTypeCombo"},
                     {dcFileNameLabel, "fileNameLabel"},
                     {dcFolderCombo, "lookInCombo"}};
        for (const auto &c : cases) {
            open.SetVisibleControls(AllDlgControls & ~c.member);
            EXPECT_TRUE(files->findChild<QWidget *>(QLatin1String(c.widget))->isHidden()) << c.widget;
            EXPECT_FALSE(files->findChild<QWidget *>(QStringLiteral("toParentButton"))->isHidden());
        }
        open.SetVisibleControls(AllDlgControls & ~dcOkBtn);
        EXPECT_TRUE(Control(open, idOk)->isHidden());
        EXPECT_FALSE(Control(open, idCancel)->isHidden());
        return int(QDialog::Rejected);
    });

    // Without the no-places-bar option the places show whatever PlacesBar says.
    dialog.OptionsEx = {};
    RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        EXPECT_TRUE(open.FileDialog()->findChild<QWidget *>(QStringLiteral("sidebar"))->isVisible());
        return int(QDialog::Rejected);
    });
}

TEST(LiteDialog, FilenameEnteringCanStopOk)
{
    TestFolder folder;
    TApSaveLiteDialog dialog;
    dialog.InitialDir = folder.Path();
    dialog.DefaultExt = QStringLiteral(".mzm");
    dialog.Filter = QStringLiteral("ZEL Menu files (*.mzm)|*.mzm|All files (*.*)|*.*");
    bool allow = false;
    int asked = 0;
    dialog.OnFilenameEntering = [&](TApCustomOpenLiteDialog *, bool &allowProceed) {
        ++asked;
        allowProceed = allow;
    };
    const bool confirmed = RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        QLineEdit *field = NameField(open);
        field->setFocus();
        field->setText(QStringLiteral("Export"));
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_TRUE(open.DialogWindow()->isVisible());
        EXPECT_EQ(asked, 1);
        allow = true;
        QTest::keyClick(field, Qt::Key_Return);
        return open.DialogWindow()->result();
    });
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(dialog.FileName(), folder.Path(QStringLiteral("Export.mzm")));
}

TEST(LiteDialog, OperationsOnTheOpenDialogKeepUnicodeNames)
{
    TestFolder folder;
    const QString sub = folder.MakeDir(QStringLiteral("Projekte ü"));
    TApOpenLiteDialog dialog;
    dialog.InitialDir = folder.Path();
    dialog.Filter = kZelFilter;
    dialog.SetTitle(QString(600, QLatin1Char('t')));
    EXPECT_TRUE(dialog.GetSelFiles().isEmpty());
    EXPECT_EQ(dialog.GetEdit(), nullptr);
    EXPECT_EQ(dialog.GetEditCtrlId(), int(idFileName));

    const bool confirmed = RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        EXPECT_EQ(open.DialogWindow()->windowTitle().size(), 511);
        EXPECT_EQ(open.GetEdit(), NameField(open));
        EXPECT_EQ(open.GetEditCtrlId(), int(idFileName));
        // One name goes into the field as it is.
        open.SetSelFilesList({QStringLiteral("Überblick.zel")});
        EXPECT_EQ(open.GetFNameText(), QStringLiteral("Überblick.zel"));
        open.SetSelFilesList({QStringLiteral("a b.zel"), QStringLiteral("Ωmega.zel")});
        EXPECT_EQ(open.GetSelFiles(), QStringLiteral("\"a b.zel\" \"Ωmega.zel\""));
        EXPECT_EQ(open.GetSelFilesList(),
                  (QStringList{QStringLiteral("a b.zel"), QStringLiteral("Ωmega.zel")}));

        open.SetSelFiles(QStringLiteral("Überblick.zel"));
        open.SetSelPath(sub);
        EXPECT_EQ(open.GetSelPath(), sub);
        EXPECT_EQ(open.GetSelPathPidl(), QUrl::fromLocalFile(sub));
        EXPECT_EQ(open.GetFNameText(), QStringLiteral("Überblick.zel"));
        open.SetSelPath(folder.Path(QStringLiteral("missing")));
        EXPECT_EQ(open.GetSelPath(), sub);

        auto *types = qobject_cast<QComboBox *>(Control(open, idFileType));
        EXPECT_EQ(types->itemText(0), QStringLiteral("ZEL files (*.zel)"));
        types->setCurrentIndex(1);
        open.CloseDialog(7);
        EXPECT_TRUE(open.DialogWindow()->isVisible());
        open.CloseDialog(idOk);
        return open.DialogWindow()->result();
    });
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(dialog.FileName(), sub + QStringLiteral("/Überblick.zel"));
    EXPECT_EQ(dialog.FilterIndex, 2);
}

TEST(LiteDialog, NavigationCommandsAskFirst)
{
    TestFolder folder;
    const QString sub = folder.MakeDir(QStringLiteral("sub"));
    TApOpenLiteDialog dialog;
    dialog.InitialDir = sub;
    bool allowUp = false;
    int upDone = 0;
    dialog.OnUpLevelNavigating = [&](TApCustomOpenLiteDialog *, bool &allowProceed) {
        allowProceed = allowUp;
    };
    dialog.OnUpLevelNavigate = [&](TApCustomOpenLiteDialog *) { ++upDone; };
    dialog.OnFolderCreating = [](TApCustomOpenLiteDialog *, bool &allowProceed) { allowProceed = false; };

    RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        QWidget *up = Control(open, idCmdUpLevel);
        QTest::mouseClick(up, Qt::LeftButton);
        EXPECT_EQ(open.GetSelPath(), sub);
        EXPECT_EQ(upDone, 0);
        allowUp = true;
        QTest::mouseClick(up, Qt::LeftButton);
        EXPECT_EQ(open.GetSelPath(), folder.Path());
        EXPECT_EQ(upDone, 1);

        QTest::mouseClick(Control(open, idCmdNewFolder), Qt::LeftButton);
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("sub")});
}

TEST(LiteDialog, HookEventsCanSwallowWindowEvents)
{
    TestFolder folder;
    TApOpenLiteDialog dialog;
    dialog.InitialDir = folder.Path();
    bool swallowKeys = true;
    int seenKeys = 0;
    dialog.OnEventHooking = [&](TApCustomOpenLiteDialog *, QEvent *event, bool &allowDispatch) {
        if (event->type() == QEvent::KeyPress && swallowKeys)
            allowDispatch = false;
    };
    dialog.OnEventHook = [&](QEvent *event) { seenKeys += event->type() == QEvent::KeyPress; };
    RunScripted(dialog, [&](TApCustomOpenLiteDialog &open) {
        QTest::keyClick(open.DialogWindow(), Qt::Key_Escape);
        EXPECT_TRUE(open.DialogWindow()->isVisible());
        EXPECT_EQ(seenKeys, 0);
        swallowKeys = false;
        QTest::keyClick(open.DialogWindow(), Qt::Key_Escape);
        EXPECT_EQ(seenKeys, 1);
        EXPECT_FALSE(open.DialogWindow()->isVisible());
        return int(QDialog::Rejected);
    });
}

TEST(LiteDialog, NamesListCases)
{
    const struct {
        QString text;
        QStringList names;
    } cases[] = {
        {QStringLiteral("\"one.zel\" \"two.zel\""), {QStringLiteral("one.zel"), QStringLiteral("two.zel")}},
        {QStringLiteral("plain name.zel"), {QStringLiteral("plain name.zel")}},
        {QStringLiteral("\"never closed.zel"), {QStringLiteral("\"never closed.zel")}},
        {QStringLiteral("\"\""), {QString()}},
        {QString(), {}},
        {QStringLiteral("\"α.zel\"  \"β.zel\" \"γ"), {QStringLiteral("α.zel"), QStringLiteral("β.zel")}},
    };
    for (const auto &c : cases) {
        QStringList names{QStringLiteral("stale")};
        ApCommonGetNamesList(c.text, names);
        EXPECT_EQ(names, c.names) << c.text.toStdString();
    }
}

TEST(LiteDialog, FileTypesShowTheirPatternOnceAndPickTheirFiles)
{
    TestFolder folder;
    for (const char *name : {"Plant.zel", "Pumps.mzm", "Makefile"})
        folder.Write(QLatin1String(name));
    const QString menuFilter = QStringLiteral("ZEL Menu files (*.mzm)|*.mzm|All files (*.*)|*.*");
    const QStringList everything{QStringLiteral("Makefile"), QStringLiteral("Plant.zel"),
                                 QStringLiteral("Pumps.mzm")};
    const struct {
        const char *dialog;
        QString filter;
        bool save;
        QStringList names;
        QStringList firstListed;
    } cases[] = {
        {"odOpenDialog1", kZelFilter, false, {"ZEL files (*.zel)", "All files (*.*)"}, {"Plant.zel"}},
        {"sdExportMenu1", menuFilter, true, {"ZEL Menu files (*.mzm)", "All files (*.*)"}, {"Pumps.mzm"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.dialog);
        std::unique_ptr<TApCustomOpenLiteDialog> dialog;
        if (c.save)
            dialog = std::make_unique<TApSaveLiteDialog>();
        else
            dialog = std::make_unique<TApOpenLiteDialog>();
        dialog->Filter = c.filter;
        dialog->InitialDir = folder.Path();
        RunScripted(*dialog, [&](TApCustomOpenLiteDialog &open) {
            QFileDialog *files = open.FileDialog();
            auto *types = qobject_cast<QComboBox *>(Control(open, idFileType));
            QStringList shown;
            for (int i = 0; i < types->count(); ++i)
                shown.append(types->itemText(i));
            EXPECT_EQ(shown, c.names);
            EXPECT_EQ(files->nameFilters(), c.names);
            EXPECT_TRUE(QTest::qWaitFor([&] { return ListedNames(files) == c.firstListed; }))
                << ListedNames(files).join(QLatin1Char(',')).toStdString();
            open.SetFNameText(QStringLiteral("Boiler.mzm"));
            // "All files (*.*)": files with and without an extension; a
            // typed name keeps its own.
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Down);
            EXPECT_EQ(types->currentIndex(), 1);
            EXPECT_TRUE(QTest::qWaitFor([&] { return ListedNames(files) == everything; }))
                << ListedNames(files).join(QLatin1Char(',')).toStdString();
            EXPECT_EQ(open.GetFNameText(), QStringLiteral("Boiler.mzm"));
            return int(QDialog::Rejected);
        });
    }
    // A description that does not name its patterns shows them after it.
    EXPECT_EQ(ApNameFilters(QStringLiteral("Icons|*.ico;*.icl")).value(0).Name,
              QStringLiteral("Icons (*.ico *.icl)"));
}

namespace {
// A dialog that shows a hint as it closes.
class THintingDialog : public TApOpenLiteDialog {
public:
    bool hintShown = false;

protected:
    void WindowClosing() override
    {
        QToolTip::showText(GetEdit()->mapToGlobal(QPoint()), QStringLiteral("Type a name"));
        hintShown = QToolTip::isVisible();
    }
};
}  // namespace

TEST(LiteDialog, ClosingHidesTheHint)
{
    THintingDialog dialog;
    RunScripted(dialog, [](TApCustomOpenLiteDialog &) { return int(QDialog::Rejected); });
    EXPECT_TRUE(dialog.hintShown);
    // Gone at once, not when it would expire by itself (seconds later).
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 1500));
}
