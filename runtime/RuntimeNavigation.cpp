// Navigation through the menu levels, the item pages and the location number.
#include "RuntimeNavigation.h"

#include <algorithm>

#include "LinkScreens.h"
#include "PanelLcdDriver.h"
#include "PanelRuntime.h"
#include "PlcLink.h"
#include "RuntimeDraw.h"
#include "RuntimeImage.h"
#include "RuntimeItems.h"
#include "RuntimePassword.h"

namespace runtime {

namespace {

std::uint32_t &Selected()
{
    return gEngine.selected[gEngine.level];
}

std::uint32_t &FirstVisible()
{
    return gEngine.firstVisible[gEngine.level];
}

// Values and lists move the cursor one item at a time; menus and actions scroll rows.
bool IsValueOrList(const MenuItemRecord &item)
{
    return item.type == ItemValue || item.type == ItemList;
}

// The closing steps of a move: open the item, build and report the location.
void FinishMove()
{
    OpenMenuItem();
    gEngine.location = BuildMenuLocation();
    ReportMenuLocation();
}

// Polls the open item's register into gEngine.itemValue instead of the one polled before.
void SwapItemPoll(bool poll, std::uint8_t type, std::uint16_t address)
{
    ReleasePoll(gEngine.itemPollSlot);
    if (poll) {
        gEngine.itemPollSlot = AddPoll(type, address, &gEngine.itemValue);
    }
    PlcDataValid = 0;
}

void LongTextNext()
{
    if (gEngine.firstLine + RowsPerPage() < gEngine.lineCount) {
        gEngine.firstLine += RowsPerPage();
        gEngine.redraw = 1;
    }
}

void LongTextPrevious()
{
    if (gEngine.firstLine > 0) {
        gEngine.firstLine -= std::min(gEngine.firstLine, RowsPerPage());
        gEngine.redraw = 1;
    }
}

void LongTextKey(std::int32_t key)
{
    switch (key) {
    case KeyDown:
    case KeyPageDown: LongTextNext(); break;
    case KeyUp:
    case KeyPageUp: LongTextPrevious(); break;
    case KeyLeft:
    case KeyEsc:
    case KeyOk: OpenMenuItem(); break;
    default: break;
    }
}

}  // namespace

void LoadMenuLevel()
{
    gEngine.level = std::min<std::uint32_t>(gEngine.level, kMaxLevels - 1);
    std::uint16_t count = 0;
    std::uint16_t n = ReadMenuPage(gEngine.pageLoc[gEngine.level], gEngine.items, &count);
    gEngine.itemCount = n;
    if (n == 0) {
        gEngine.items[0] = MenuItemRecord{};
    }
    std::uint32_t last = n == 0 ? 0 : n - 1u;
    Selected() = std::min(Selected(), last);
    FirstVisible() = std::min(FirstVisible(), Selected());
    ProcessCurrentAlarm();
}

void ReloadLevel()
{
    LoadMenuLevel();
    SubscribeVisibleValues();
    FinishMove();
}

void SubscribeVisibleValues()
{
    for (std::uint16_t &slot : gEngine.rowPollSlots) {
        ReleasePoll(slot);
    }
    std::uint32_t rows = RowsPerPage();
    std::uint32_t first = FirstVisible();
    std::uint32_t end = std::min<std::uint32_t>(first + rows, gEngine.itemCount);
    for (std::uint32_t row = first; row < end; ++row) {
        const MenuItemRecord &item = gEngine.items[row];
        if (item.type != ItemAction) {
            continue;
        }
        ActionItemRecord action;
        ReadActionRecord(item.attributeLoc, action);
        std::uint32_t index = row % rows;
        gEngine.rowPollSlots[index] = AddPoll(action.refType, action.refNumber, &gEngine.rowValues[index]);
        ValuesPending = 1;
        gEngine.redraw = 1;
    }
}

void OpenMenuItem()
{
    const MenuItemRecord &item = SelectedItem();
    if (item.type == ItemValue) {
        gEngine.screenState = StateValuePage;
        gEngine.valueRecord = ValueItemRecord{};
        bool found = ReadValueRecord(item.attributeLoc, gEngine.valueRecord);
        const ValueItemRecord &record = gEngine.valueRecord;
        gEngine.numberKind = ValueTypeFromAttribute(record.refType, record.flags);
        SwapItemPoll(found, record.refType, record.refNumber);
    } else if (item.type == ItemList) {
        gEngine.screenState = StateListPage;
        gEngine.listRecord = ListItemRecord{};
        bool found =
            ReadListRecord(item.attributeLoc, gEngine.listRecord, gEngine.listEntries, kMaxListEntries);
        SwapItemPoll(found, gEngine.listRecord.refType, gEngine.listRecord.refNumber);
        FindSelectableRange();
    } else {
        gEngine.screenState = StateMenuList;
    }
    gEngine.redraw = 1;
}

namespace {

// The location number of levels 0 .. last of the current path.
std::uint32_t LocationOfLevels(std::uint32_t last)
{
    std::uint32_t n = 0;
    for (std::uint32_t lv = last + 1; lv-- > 0;) {
        n = n * 10 + gEngine.selected[lv];
    }
    return n * 10 + last + 1;
}

}  // namespace

std::uint32_t BuildMenuLocation()
{
    return LocationOfLevels(std::min<std::uint32_t>(gEngine.level, kMaxLevels - 1));
}

int ParseMenuLocation(std::uint32_t number)
{
    std::uint32_t count = number % 10;
    if (count == 0) {
        return 0;
    }
    number /= 10;
    std::uint32_t index[kMaxLevels] = {};
    if (count > kMaxLevels) {
        count = 1;
    } else {
        for (std::uint32_t i = 0; i < count; ++i) {
            index[i] = number % 10;
            number /= 10;
        }
        if (number != 0) {
            return 0;
        }
    }
    std::uint32_t offset = gImage.base[SecMenuPages];
    for (std::uint32_t lv = 0; lv < count; ++lv) {
        gEngine.pageLoc[lv] = offset;
        MenuItemRecord items[kMaxPageItems];
        std::uint16_t total = 0;
        std::uint16_t n = ReadMenuPage(offset, items, &total);
        if (index[lv] >= n) {
            return 0;
        }
        gEngine.selected[lv] = index[lv];
        gEngine.firstVisible[lv] = 3 * (index[lv] / 3);
        std::uint16_t child = items[index[lv]].menuNodeLoc;
        if (child == kNoLoc) {
            if (lv != count - 1) {
                return 0;
            }
        } else {
            offset = gImage.base[SecMenuPages] + child;
        }
    }
    gEngine.level = count - 1;
    return 1;
}

void ReportMenuLocation()
{
    if (gImage.workingSpace.type == 0) {
        return;
    }
    std::uint8_t type = ConfigType(gImage.workingSpace);
    std::uint16_t address = ConfigAddress(gImage.workingSpace);
    if (WriteValueWidth(type) != 4) {
        WriteOperand(type, address, &gEngine.location, 1);
        return;
    }
    // A 16-bit register cannot hold every path (8,2,1,3,1 is 131285): it gets the
    // longest leading part of the path whose number fits, the nearest enclosing menu,
    // never a cut number that would open another menu at the next start.
    std::uint32_t location = gEngine.location;
    std::uint32_t last = std::min<std::uint32_t>(gEngine.level, kMaxLevels - 1);
    while (location > 0xFFFF && last > 0) {
        location = LocationOfLevels(--last);
    }
    std::uint16_t word = static_cast<std::uint16_t>(location);
    WriteOperand(type, address, &word, 1);
}

void CursorUp()
{
    std::uint32_t &sel = Selected();
    if (sel == 0) {
        return;
    }
    bool rows = !IsValueOrList(SelectedItem());
    --sel;
    if (rows && sel < FirstVisible()) {
        std::uint32_t &first = FirstVisible();
        first = first >= RowsPerPage() ? first - RowsPerPage() : 0;
        SubscribeVisibleValues();
    }
    FinishMove();
}

void CursorDown()
{
    std::uint32_t &sel = Selected();
    if (sel + 1 >= gEngine.itemCount) {
        return;
    }
    bool rows = !IsValueOrList(SelectedItem());
    ++sel;
    if (rows && sel >= FirstVisible() + RowsPerPage()) {
        std::uint32_t &first = FirstVisible();
        first += RowsPerPage();
        if (first >= gEngine.itemCount) {
            first -= RowsPerPage();
        }
        SubscribeVisibleValues();
    }
    FinishMove();
}

void PageUp()
{
    if (Selected() == 0 || IsValueOrList(SelectedItem())) {
        return;
    }
    std::uint32_t &first = FirstVisible();
    if (first >= RowsPerPage()) {
        first -= RowsPerPage();
        Selected() = first;
        SubscribeVisibleValues();
    }
    FinishMove();
}

void PageDown()
{
    std::uint32_t &first = FirstVisible();
    if (first + RowsPerPage() >= gEngine.itemCount || IsValueOrList(SelectedItem())) {
        return;
    }
    first += RowsPerPage();
    Selected() = first;
    SubscribeVisibleValues();
    FinishMove();
}

void LevelUp()
{
    if ((gImage.level1IsTop != 0 && gEngine.level == 1) || gEngine.level == 0) {
        return;
    }
    --gEngine.level;
    ReloadLevel();
}

void GoToRoot(std::uint16_t toLevel0)
{
    if (toLevel0 == 0 && gImage.level1IsTop != 0 && gEngine.level != 0) {
        gEngine.level = 1;
    } else {
        gEngine.level = 0;
    }
    Selected() = 0;
    FirstVisible() = 0;
    ReloadLevel();
}

void EnterSelectedItem()
{
    const MenuItemRecord &item = SelectedItem();
    if (item.type == ItemAction) {
        if (gEngine.accessLevel != AccessNone) {
            ExecuteAction();
        } else {
            RequestPassword(1);
        }
        return;
    }
    if (item.menuNodeLoc == kNoLoc || gEngine.level + 1 >= kMaxLevels) {
        return;
    }
    std::uint32_t child = gImage.base[SecMenuPages] + item.menuNodeLoc;
    ++gEngine.level;
    Selected() = 0;
    FirstVisible() = 0;
    gEngine.pageLoc[gEngine.level] = child;
    ReloadLevel();
}

void OpenLongText()
{
    const MenuItemRecord &item = SelectedItem();
    std::uint16_t loc = item.descriptionLoc;
    if (loc == kNoLoc && gEngine.marqueeOn) {
        loc = item.captionLoc;
    }
    if (loc == kNoLoc) {
        return;
    }
    gEngine.longTextLoc = loc;
    gEngine.firstLine = 0;
    gEngine.lineCount = CountTextLines(loc, CurrentModel.Width);
    gEngine.screenState = StateLongText;
    gEngine.redraw = 1;
}

void NavigationKey(std::int32_t key)
{
    std::uint16_t state = gEngine.screenState;
    if (state == StateLongText) {
        LongTextKey(key);
        return;
    }
    switch (key) {
    case KeyDown: CursorDown(); break;
    case KeyUp: CursorUp(); break;
    case KeyRight: OpenLongText(); break;
    case KeyEsc: LevelUp(); break;
    case KeyLongEsc: GoToRoot(0); break;
    case KeyOk:
        if (state == StateMenuList) {
            EnterSelectedItem();
        } else if (state == StateValuePage) {
            StartValueEntry();
        } else {
            StartListSelection();
        }
        break;
    case KeyPageUp:
        if (state != StateValuePage) {
            PageUp();
        }
        break;
    case KeyPageDown:
        if (state == StateMenuList) {
            PageDown();
        } else if (state == StateListPage) {
            CursorDown();
        }
        break;
    default: break;
    }
}

std::uint8_t ValueTypeFromAttribute(std::uint8_t refType, std::uint8_t flags)
{
    if (flags & 2) {
        return refType == 13 || refType == 14 ? NumS32 : NumS16;
    }
    return refType == 10 || refType == 13 || refType == 14 ? NumU32 : NumU16;
}

std::uint8_t DataSizeClass(std::uint8_t refType)
{
    if (refType <= 7) {
        return 0;
    }
    if (refType == 8 || refType == 9 || refType == 11 || refType == 12) {
        return 1;
    }
    return 2;
}

void FindSelectableRange()
{
    gEngine.firstEntry = 0;
    gEngine.lastEntry = 0;
    bool found = false;
    for (int i = 0; i < gEngine.listRecord.count; ++i) {
        if (gEngine.listEntries[i] != kNoLoc) {
            if (!found) {
                gEngine.firstEntry = static_cast<std::uint8_t>(i);
                found = true;
            }
            gEngine.lastEntry = static_cast<std::uint8_t>(i);
        }
    }
}

}  // namespace runtime
