// The engine's screens, drawn from the engine state with the drawing primitives.
#include "RuntimeScreens.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "LinkScreens.h"
#include "PanelLcdDriver.h"
#include "PanelRuntime.h"
#include "PlcLink.h"
#include "RuntimeDraw.h"
#include "RuntimeImage.h"
#include "RuntimeNavigation.h"

namespace runtime {

namespace {

const char kNoEntry[] = "***********";

int Width()
{
    return CurrentModel.Width;
}

bool InState(std::initializer_list<std::uint16_t> states)
{
    return std::find(states.begin(), states.end(), gEngine.screenState) != states.end();
}

// The scroll mark at (120, 0): up, down or both.
void DrawArrowMark(bool above, bool below)
{
    if (above && below) {
        DrawGlyphIndex(GlyphArrowUpDown, 120, 0, 1);
    } else if (above) {
        DrawGlyphIndex(GlyphArrowUp, 120, 0, 1);
    } else if (below) {
        DrawGlyphIndex(GlyphArrowDown, 120, 0, 1);
    }
}

// "0.2.1": the selected index of each level shown, from the first one shown.
void DrawMenuPath()
{
    char path[8 * kMaxLevels + 1];
    int n = 0;
    std::uint32_t first = gImage.level1IsTop != 0 && gEngine.level != 0 ? 1 : 0;
    for (std::uint32_t lv = first; lv <= gEngine.level && lv < kMaxLevels; ++lv) {
        n += std::snprintf(path + n, sizeof path - static_cast<std::size_t>(n), "%u.",
                           static_cast<unsigned>(gEngine.selected[lv] % 1000000));
    }
    if (n > 0) {
        path[n - 1] = '\0';
    }
    DrawCString(path, 1, 0, 1);
}

bool IsToggleAction(const MenuItemRecord &item, ActionItemRecord &record)
{
    return item.type == ItemAction && ReadActionRecord(item.attributeLoc, record) && record.actionType == 0;
}

// Measures the selected caption when the selection changed: too wide, it starts to
// scroll; otherwise a scrolling caption stops (and the title loses its mark).
void MeasureSelectedCaption()
{
    std::uint32_t sel = gEngine.selected[gEngine.level];
    if (gEngine.level == gEngine.lastLevel && sel == gEngine.lastSelected) {
        return;
    }
    gEngine.lastLevel = static_cast<std::uint8_t>(gEngine.level);
    gEngine.lastSelected = static_cast<std::uint8_t>(sel);
    const MenuItemRecord &item = SelectedItem();
    ActionItemRecord action;
    if (!IsToggleAction(item, action)) {
        ReadText(item.captionLoc, gEngine.text);
        int width = TextWidth(gEngine.text);
        int room = Width() - 16;
        if (width > room) {
            gEngine.marqueeOn = 1;
            gEngine.marqueeOffset = 0;
            gEngine.marqueeSteps = static_cast<std::uint16_t>(width - room + 32);
            gEngine.marqueeDelay = 8;
            return;
        }
    }
    if (gEngine.marqueeOn) {
        gEngine.marqueeOn = 0;
        DrawPathTitle();
    }
}

void DrawMenuRow(std::uint32_t row, int y)
{
    const MenuItemRecord &item = gEngine.items[row];
    std::uint32_t sel = gEngine.selected[gEngine.level];
    bool selected = row == sel;
    int w = Width();
    if (selected && (gEngine.blink & 1)) {
        DrawGlyphIndex(GlyphOpenBracket, 6, y, 1);
        DrawGlyphIndex(GlyphCloseBracket, w - 4, y, 1);
    }
    if (item.type == ItemAction) {
        DrawGlyphIndex(GlyphActionMark, 0, y, 1);
    } else if (item.menuNodeLoc != kNoLoc) {
        DrawGlyphIndex(GlyphSubMenuMark, 0, y, 1);
    }
    SetClipColumns(11, static_cast<std::uint16_t>(w - 5));
    std::uint8_t on = selected && InState({StateActionFeedback, StateMomentary}) ? 0 : 1;
    std::uint16_t loc = item.captionLoc;
    bool toggle = false;
    if (item.type == ItemAction) {
        ActionItemRecord action;
        ReadActionRecord(item.attributeLoc, action);
        if (selected) {
            gEngine.selectedAction = action;
        }
        if (action.actionType == 0) {
            toggle = true;
            if ((gEngine.rowValues[row % RowsPerPage()] & 0xFF) == 0) {
                loc = action.offTextLoc;
            }
        }
    }
    if (selected && gEngine.marqueeOn && !toggle) {
        gEngine.marqueeRow = 1;
        DrawTextById(loc, 11 - gEngine.marqueeOffset, y, on, AlignLeft);
        gEngine.marqueeRow = 0;
    } else {
        DrawTextById(loc, (w + 6) / 2, y, on, AlignCentre);
    }
    ResetClipColumns();
}

}  // namespace

void DrawPathTitle()
{
    CurrentModel.ClearFrame();
    DrawHLine(0, 14, Width(), 1);
    DrawMenuPath();
    if (gEngine.itemCount == 0) {
        return;
    }
    if (AlarmRepeatPending != 0 && (gEngine.blink & 2)) {
        DrawGlyphIndex(GlyphAlarmMark, 94, 0, 1);
    }
    if (gEngine.accessLevel == AccessNone) {
        DrawGlyphIndex(GlyphLockMark, 88, 0, 1);
    }
    if (InState({StateMenuList, StateValuePage, StateListPage, StateActionFeedback, StateMomentary})) {
        const MenuItemRecord &item = SelectedItem();
        if (item.descriptionLoc != kNoLoc || gEngine.marqueeOn) {
            DrawGlyphIndex(GlyphSubMenuMark, 112, 0, 1);
        }
        std::uint32_t sel = gEngine.selected[gEngine.level];
        if (gEngine.itemCount > 1) {
            DrawArrowMark(sel > 0, sel + 1 < gEngine.itemCount);
        }
    } else if (gEngine.screenState == StateLongText) {
        DrawGlyphIndex(GlyphLongTextMark, 104, 0, 1);
        DrawArrowMark(gEngine.firstLine > 0, gEngine.firstLine + RowsPerPage() < gEngine.lineCount);
    }
}

void DrawMenuList()
{
    DrawPathTitle();
    if (ValuesPending) {
        return;
    }
    MeasureSelectedCaption();
    std::uint32_t first = gEngine.firstVisible[gEngine.level];
    std::uint32_t end = std::min<std::uint32_t>(first + RowsPerPage(), gEngine.itemCount);
    for (std::uint32_t row = first; row < end; ++row) {
        DrawMenuRow(row, 17 + 16 * static_cast<int>(row - first));
    }
}

void DrawValuePage()
{
    DrawPathTitle();
    int w = Width();
    const ValueItemRecord &record = gEngine.valueRecord;
    DrawTextById(SelectedItem().captionLoc, w / 2, 17, 1, AlignCentre);
    DrawHLine(0, 33, w, 1);
    int r = w - 2;
    if (record.unitStrLoc != kNoLoc) {
        ReadText(record.unitStrLoc, gEngine.text);
        r -= TextWidth(gEngine.text) + 1;
    }
    bool editing = gEngine.screenState == StateValueEntry;
    if (!editing && !PlcDataValid) {
        return;
    }
    std::uint32_t value = editing ? gEngine.editValue : gEngine.itemValue;
    std::uint8_t kind = gEngine.numberKind;
    int f = NumberFieldWidth(kind, value, record.decimals, false);
    bool abbreviated = false;
    int x;
    if ((w + f) / 2 > r) {
        x = r - f;
        if (x < 0) {
            r = w - 26;
            x = (r - f) / 2;
            r = x + f;
            abbreviated = true;
        }
    } else {
        x = (w - f) / 2;
        r = (w + f) / 2;
    }
    DrawBigNumber(x, 45, kind, value, record.decimals, false);
    if (editing && (gEngine.blink & 2)) {
        int cursor = gEngine.valueCursor;
        int pointGap = NumberHasPoint(kind, record.decimals) && cursor >= record.decimals ? 3 : 0;
        DrawHLine(r - 8 * cursor - 8 - pointGap, 58, 8, 1);
    }
    if (abbreviated) {
        DrawCString("***", w - 26, 43, 1);
    } else {
        DrawTextById(record.unitStrLoc, w - 2, 43, 1, AlignRight);
    }
}

void DrawListPage()
{
    DrawPathTitle();
    int w = Width();
    DrawHLine(0, 33, w, 1);
    DrawTextById(SelectedItem().captionLoc, 64, 16, 1, AlignCentre);
    DrawHLine(4, 38, 120, 1);
    DrawHLine(4, 59, 120, 1);
    DrawHLine(116, 49, 8, 1);
    for (int x : {4, 116, 124}) {
        DrawVLine(x, 38, 22, 1);
    }
    bool selecting = gEngine.screenState == StateListSelection;
    std::uint32_t index;
    if (selecting) {
        gEngine.editValue =
            std::clamp<std::uint32_t>(gEngine.editValue, gEngine.firstEntry, gEngine.lastEntry);
        index = gEngine.editValue;
    } else {
        index = DataSizeClass(gEngine.listRecord.refType) == 0 ? (gEngine.itemValue & 1)
                                                               : (gEngine.itemValue & 0xFFFF);
    }
    if (index >= gEngine.listRecord.count) {
        DrawCStringCentred(kNoEntry, 60, 43, 1);
    } else {
        if (!PlcDataValid) {
            return;
        }
        if (selecting) {
            if (index > gEngine.firstEntry) {
                DrawGlyphIndex(GlyphArrowUp, 118, 39, 1);
            }
            if (index < gEngine.lastEntry) {
                DrawGlyphIndex(GlyphArrowDown, 118, 45, 1);
            }
        }
        std::uint16_t loc = gEngine.listEntries[index];
        if (loc == kNoLoc) {
            DrawCStringCentred(kNoEntry, 60, 43, 1);
        } else {
            SetClipColumns(8, 114);
            int width = DrawTextById(loc, 62, 41, 1, AlignCentre);
            ResetClipColumns();
            if (selecting && (gEngine.blink & 2)) {
                int length = std::min(width, 106);
                DrawHLine(62 - length / 2, 56, length, 1);
            }
        }
    }
    DrawHLine(116, 49, 8, 1);
}

void DrawLongText()
{
    DrawPathTitle();
    DrawWrappedText(gEngine.longTextLoc, Width(), 0, 17, gEngine.firstLine, 1);
}

void DrawPasswordPrompt()
{
    int w = Width();
    CurrentModel.ClearFrame();
    DrawCStringCentred("Please Input Password", w / 2, 8, 1);
    DrawHLine(0, 30, w, 1);
    std::uint8_t kind = gEngine.passwordKind;
    int f = NumberFieldWidth(kind, gEngine.passwordEntry, 0, false);
    DrawBigNumber((w - f) / 2, 42, kind, gEngine.passwordEntry, 0, false);
    if (gEngine.blink & 2) {
        DrawHLine((w + f) / 2 - 8 * gEngine.passwordCursor - 8, 54, 8, 1);
    }
}

void ShowEngineMessage(const char *line1, const char *line2, const char *line3)
{
    int centre = Width() / 2;
    CurrentModel.ClearFrame();
    if (line2 == nullptr && line3 == nullptr) {
        DrawCStringCentred(line1, centre, 17, 1);
    } else {
        DrawCStringCentred(line1, centre, 2, 1);
        if (line2 != nullptr) {
            DrawCStringCentred(line2, centre, 17, 1);
        }
        if (line3 != nullptr) {
            DrawCStringCentred(line3, centre, 32, 1);
        }
    }
    DrawCStringCentred("Press any key to exit", centre, 48, 0);
    FlushDisplay();
}

void FlushDisplay()
{
    if (FlushDisplayHook != nullptr) {
        FlushDisplayHook();
    }
}

void DrawPicture(std::uint32_t index)
{
    if (CurrentModel.FrameBuffer == nullptr) {
        return;
    }
    std::uint32_t bytes = static_cast<std::uint32_t>(CurrentModel.Width) * CurrentModel.Height / 8;
    bytes = std::min<std::uint32_t>(bytes, CurrentModel.FrameBytes);
    CurrentModel.ClearFrame();
    ReadPicture(index, CurrentModel.FrameBuffer, bytes);
    if (CurrentModel.ModelId == PanelModel128x96) {
        Lcd96ExpandPicture();
    }
}

}  // namespace runtime
