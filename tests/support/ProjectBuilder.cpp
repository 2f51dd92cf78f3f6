#include "ProjectBuilder.h"

#include "MenuCompiler.h"
#include "NodeStream.h"
#include "Operands.h"
#include "PictureData.h"

TestProject NewTestProject(int deviceId)
{
    TestProject project;
    project.Root = std::make_unique<TwNode>(nullptr, QString(), nkProject);
    TwNode *root = project.Root.get();
    project.DeviceInfo = AddTestNode(root, nkDeviceInfo, QStringLiteral("Device Infomation"),
                                     {{"DeviceID", QString::number(deviceId)}});
    project.MainMenu = AddTestNode(root, nkMainMenu, QStringLiteral("Main Menu"));
    project.Alarms = AddTestNode(root, nkAlarms, QStringLiteral("Alarms"));
    project.StartupScreen = AddTestNode(root, nkStartupScreen, QStringLiteral("Startup Screen"),
                                        {{"EndCondition", "0"}, {"FlipTime", "10"}, {"CycleCount", "0"}});
    project.ScreenSaver = AddTestNode(root, nkScreenSaver, QStringLiteral("Screen Saver"));
    project.Configuration = AddTestNode(root, nkConfiguration, QStringLiteral("Configuration"),
                                        {{"ScreenSaverActiveTime", "10"}, {"SaverEffect", "1"}});
    return project;
}

TwNode *AddTestNode(TwNode *parent, int32_t kind, const QString &caption, PropList props)
{
    auto *node = new TwNode(parent, caption, kind);
    for (const auto &[name, value] : props)
        node->SetProp(QLatin1String(name), value);
    return node;
}

void SetDescription(TwNode *node, const QStringList &lines)
{
    SaveStringsProp(node->Props, lines, QStringLiteral("Description"));
}

TwNode *AddSubMenu(TwNode *parent, const QString &caption)
{
    return AddTestNode(parent, nkSubMenu, caption);
}

TwNode *AddValue(TwNode *parent, const QString &caption, const QString &reference, PropList props)
{
    TwNode *node = AddTestNode(parent, nkValue, caption, props);
    node->SetProp(QStringLiteral("Reference"), reference);
    return node;
}

TwNode *AddList(TwNode *parent, const QString &caption, const QString &reference, const QStringList &entries,
                PropList props)
{
    TwNode *node = AddTestNode(parent, nkList, caption, props);
    node->SetProp(QStringLiteral("Reference"), reference);
    node->SetProp(QStringLiteral("Max"), QString::number(entries.size()));
    for (int i = 0; i < entries.size(); ++i)
        node->SetProp(QStringLiteral("Line%1").arg(i), entries.at(i));
    return node;
}

TwNode *AddAction(TwNode *parent, const QString &caption, int actionType, const QString &reference,
                  PropList props)
{
    TwNode *node = AddTestNode(parent, nkAction, caption, props);
    if (actionType >= 0)
        node->SetProp(QStringLiteral("ActionType"), QString::number(actionType));
    node->SetProp(QStringLiteral("Reference"), reference);
    return node;
}

TwNode *AddAlarm(TwNode *alarms, int index, const QStringList &lines, const QStringList &references)
{
    TwNode *node = AddTestNode(alarms, nkAlarm, QString());
    node->SetProp(QStringLiteral("Index"), QStringLiteral("%1").arg(index, 2, 10, QLatin1Char('0')));
    for (int i = 0; i < 3; ++i) {
        node->SetProp(QStringLiteral("Line%1").arg(i + 1), lines.value(i));
        node->SetProp(QStringLiteral("Reference%1").arg(i + 1), references.value(i));
    }
    return node;
}

TwNode *AddStartupPicture(TwNode *startupScreen, const QString &imageData)
{
    return AddTestNode(startupScreen, nkScreen, QString(), {{"ImageData", imageData}});
}

QString HexText(const QByteArray &bytes)
{
    return PictureTextFromBytes(bytes);
}

QString PictureHex(int deviceId, uint8_t fill)
{
    return HexText(QByteArray(PictureBytesOfModel(static_cast<uint32_t>(deviceId)), static_cast<char>(fill)));
}

TwGlyphCell PatternGlyphSource::CharacterCell(char16_t unit)
{
    TwGlyphCell cell;
    cell.Width = Width;
    cell.Height = Height;
    cell.Ink.resize(static_cast<size_t>(Width) * Height);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x)
            cell.Ink[static_cast<size_t>(y) * Width + x] = InkOf(unit, x, y) ? 1 : 0;
    }
    return cell;
}

QByteArray CompileTestImage(TwNode *root, TwGlyphSource &font, uint32_t panelModelId, QString *error)
{
    TwCompileSettings settings;
    settings.PanelModelId = panelModelId;
    TwRes res(font, settings);
    QByteArray image;
    if (res.Compile(root) && res.BuildFont())
        res.AssembleImage(image);
    if (error)
        *error = res.ErrorText();
    return image;
}

QByteArray NodeRecord(const TwNode &node)
{
    QByteArray bytes;
    WriteNodeRecord(node, bytes);
    return bytes;
}
