// Builds project trees in code, as the designer's lifecycle and item dialogs
// leave them, and compiles them into menu images for tests.
#pragma once

#include "GlyphRaster.h"
#include "ProjectTree.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <utility>

// A new project: the root with its six fixed nodes in their order (Device
// Information, Main Menu, Alarms, Startup Screen, Screen Saver, Configuration)
// and the values a new project starts with.
struct TestProject {
    std::unique_ptr<TwNode> Root;
    TwNode *DeviceInfo = nullptr;
    TwNode *MainMenu = nullptr;
    TwNode *Alarms = nullptr;
    TwNode *StartupScreen = nullptr;
    TwNode *ScreenSaver = nullptr;
    TwNode *Configuration = nullptr;
};

TestProject NewTestProject(int deviceId = 0);

using PropList = std::initializer_list<std::pair<const char *, QString>>;

// A node of any kind under parent with the given caption and properties.
TwNode *AddTestNode(TwNode *parent, int32_t kind, const QString &caption, PropList props = {});
void SetDescription(TwNode *node, const QStringList &lines);

TwNode *AddSubMenu(TwNode *parent, const QString &caption);
TwNode *AddValue(TwNode *parent, const QString &caption, const QString &reference, PropList props = {});
// A list with one "Line%d" per entry text and "Max" the entry count.
TwNode *AddList(TwNode *parent, const QString &caption, const QString &reference, const QStringList &entries,
                PropList props = {});
TwNode *AddAction(TwNode *parent, const QString &caption, int actionType, const QString &reference,
                  PropList props = {});
// An alarm with "Index" as two digits, its three lines and references.
TwNode *AddAlarm(TwNode *alarms, int index, const QStringList &lines, const QStringList &references = {});
TwNode *AddStartupPicture(TwNode *startupScreen, const QString &imageData);

// The node's own record in the node stream (kind, child count, property
// text): equal records mean the node kept every property byte for byte.
QByteArray NodeRecord(const TwNode &node);

// The "ImageData" text of a whole picture of the model whose every byte is
// fill, or the bytes given (two upper-case hex digits each).
QString PictureHex(int deviceId, uint8_t fill);
QString HexText(const QByteArray &bytes);

// A font of fixed shapes for tests that must not depend on a font file:
// every character is Width pixels wide and Height high, and pixel (x, y) of
// character c is ink when (c + x * 3 + y) % 4 == 0.
class PatternGlyphSource : public TwGlyphSource {
public:
    explicit PatternGlyphSource(int width = 5, int height = 12) : Width(width), Height(height) { }
    bool IsValid() const override { return true; }
    QString ErrorText() const override { return QString(); }
    int LineHeight() const override { return Height; }
    TwGlyphCell CharacterCell(char16_t unit) override;
    int TextWidth(const QString &text) override { return Width * static_cast<int>(text.size()); }
    static bool InkOf(char16_t unit, int x, int y) { return (unit + x * 3 + y) % 4 == 0; }

    int Width;
    int Height;
};

// Compiles the project into a menu image in memory with the font; an empty
// array when the compiler refused it (error then holds why).
QByteArray CompileTestImage(TwNode *root, TwGlyphSource &font, uint32_t panelModelId,
                            QString *error = nullptr);
