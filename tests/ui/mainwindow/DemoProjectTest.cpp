// The demo project of examples/: the shipped file is the generator's output,
// uses every kind of item within the panel's limits, and opens, compiles and
// runs in the simulator from the main window.
#include "MainWindowFixture.h"

#include "DemoProject.h"
#include "NodeStream.h"
#include "Operands.h"
#include "PanelLcdDriver.h"
#include "PictureData.h"
#include "TestFiles.h"
#include "TreeRules.h"
#include "TreeViewCheck.h"
#include "dialogs/AlarmDialog.h"
#include "dialogs/CompileResultDialog.h"
#include "dialogs/InputChecks.h"
#include "mainwindow/MainWindow.h"
#include "simulator/SimulatorWindow.h"
#include "simulator/SimulatorWindow128x96.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QTest>

namespace {

QString ShippedDemo()
{
    return QStringLiteral(ZEL_EXAMPLES_DIR "/demo.zel");
}

void ForEachNode(const TwNode *node, const std::function<void(const TwNode *)> &visit)
{
    visit(node);
    for (int i = 0; i < node->GetChildCount(); ++i)
        ForEachNode(node->GetChild(i), visit);
}

// The display of the simulator as lit pixels, one per bit.
QByteArray LitPixels(const TFormSimulation &window)
{
    const QImage &picture = window.imgImage->Picture();
    QByteArray lit;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            lit.append((picture.pixel(x, y) & 0xFFFFFF) != 0 ? '1' : '0');
    return lit;
}

// The same for a picture's "ImageData" on the 128 x 96 display.
QByteArray LitPixels(const QString &imageData)
{
    const QByteArray bytes = PictureBytesFromText(imageData, 128 * 96 / 8);
    QByteArray lit;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 128; ++x)
            lit.append((uint8_t(bytes[(y / 8) * 128 + x]) >> (y % 8)) & 1 ? '1' : '0');
    return lit;
}

void Frames(TFormSimulation &window, int n)
{
    for (int i = 0; i < n; ++i) {
        window.tmTickTimer();
        window.tmPaintTimer();
    }
}

void Press(TFormSimulation &window, QWidget *key)
{
    QTest::mousePress(key, Qt::LeftButton);
    Frames(window, 1);
    QTest::mouseRelease(key, Qt::LeftButton);
    Frames(window, 3);
}

}  // namespace

TEST(DemoProject, TheShippedFileIsTheGeneratorsOutputAndUsesEveryKindOfItem)
{
    const QByteArray shipped = ReadTestFile(ShippedDemo());
    ASSERT_EQ(shipped, DemoProjectFile()) << "examples/demo.zel is stale: run make_demo_project on it";

    bool truncated = true;
    const std::unique_ptr<TwNode> root = LoadProjectFile(shipped, truncated);
    ASSERT_TRUE(root);
    EXPECT_FALSE(truncated);
    EXPECT_TRUE(TreeKeepsItsRules(root.get()));

    QSet<int32_t> kinds;
    QSet<int> actionTypes;
    QSet<uint32_t> valueFlags;
    int alarmValues = 0;
    ForEachNode(root.get(), [&](const TwNode *node) {
        kinds.insert(node->Kind);
        const QString caption = node->Caption();
        int32_t number = 0;
        switch (node->Kind) {
        case nkSubMenu:
        case nkAction:
            EXPECT_TRUE(FitsPanel(caption, MenuCaptionMaxWidth())) << caption.toStdString();
            actionTypes.insert(node->Kind == nkAction ? node->GetPropInt(QStringLiteral("ActionType")) : -1);
            break;
        case nkValue:
            valueFlags.insert(ParseOperand(node->GetProp(QStringLiteral("Reference")), number));
            [[fallthrough]];
        case nkList: EXPECT_TRUE(FitsPanel(caption, ItemCaptionMaxWidth)) << caption.toStdString(); break;
        case nkAlarm:
            for (int i = 1; i <= 3; ++i) {
                const QString line = node->GetProp(QStringLiteral("Line%1").arg(i));
                const bool withValue = line.contains(QLatin1Char('^'));
                alarmValues += withValue ? 1 : 0;
                EXPECT_LE(AlarmLinePanelWidth(line, withValue), AlarmLineMaxWidth) << line.toStdString();
            }
            break;
        case nkScreen:
        case nkScreenSaver:
            EXPECT_EQ(node->GetProp(QStringLiteral("ImageData")).size(), 2 * 128 * 96 / 8);
            break;
        default: break;
        }
    });
    for (int32_t kind : {nkDeviceInfo, nkMainMenu, nkSubMenu, nkValue, nkList, nkAction, nkAlarms, nkAlarm,
                         nkStartupScreen, nkScreen, nkScreenSaver, nkConfiguration})
        EXPECT_TRUE(kinds.contains(kind)) << kind;
    EXPECT_EQ(actionTypes, QSet<int>({-1, 0, 1, 2, 3, 4, 5, 6, 7}));
    // 16- and 32-bit registers, high ranges, timer and counter values.
    EXPECT_GE(valueFlags.size(), 8);
    EXPECT_GE(alarmValues, 3);
}

TEST_F(MainWindowTest, TheDemoOpensCompilesAndRunsInTheSimulator)
{
    const QString path = dir.filePath(QStringLiteral("demo.zel"));
    ASSERT_TRUE(QFile::copy(ShippedDemo(), path));
    {
        TFormMain form;
        ASSERT_TRUE(form.LoadProject(path));
        EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));
        EXPECT_EQ(PanelModelId, 1u);
        const QString title = form.Root()->GetChild(3)->GetChild(0)->GetProp(QStringLiteral("ImageData"));

        ui.AnswerDialog([](QDialog &dialog) {
            EXPECT_EQ(dialog.objectName(), QStringLiteral("FormCompile"));
            return int(QDialog::Accepted);
        });
        QList<QByteArray> frames;
        ui.AnswerDialog([&](QDialog &dialog) {
            auto &window = static_cast<TFormSimulation_128x96 &>(dialog);
            EXPECT_EQ(dialog.objectName(), QStringLiteral("FormSimulation_128x96"));
            Frames(window, 2);
            frames.append(LitPixels(window));  // the first startup picture
            Press(window, window.KeyOk);       // ends the pictures
            frames.append(LitPixels(window));  // the main menu
            Press(window, window.KeyDown);
            frames.append(LitPixels(window));  // the second entry chosen
            Press(window, window.KeyOk);
            frames.append(LitPixels(window));  // inside "Motor"
            window.Image3->click();
            return int(QDialog::Rejected);
        });
        form.Execute(Command::Simulation);
        ASSERT_EQ(frames.size(), 4);
        EXPECT_EQ(frames[0], LitPixels(title));
        for (int i = 1; i < frames.size(); ++i) {
            EXPECT_NE(frames[i], frames[i - 1]) << "frame " << i;
            EXPECT_TRUE(frames[i].contains('1')) << "frame " << i;
        }
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("demo.mda"))));
        EXPECT_FALSE(form.Modified());
    }
    DestroySimulationForms();
    delete FormCompile;
    SelectPanelModel(0);
}
