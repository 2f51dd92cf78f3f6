// The engine's entry points: start, image loading, the paint dispatcher, the tick and
// the key dispatcher.
#include "PanelRuntime.h"

#include <algorithm>
#include <ctime>
#include <initializer_list>
#include <iterator>

#include "LinkScreens.h"
#include "PanelLcdDriver.h"
#include "PanelRuntimeState.h"
#include "PlcLink.h"
#include "ReentryGuard.h"
#include "RuntimeDraw.h"
#include "RuntimeImage.h"
#include "RuntimeItems.h"
#include "RuntimeNavigation.h"
#include "RuntimePassword.h"
#include "RuntimeSavers.h"
#include "RuntimeScreens.h"

namespace runtime {

void (*ReadImageHook)(void *destination, std::uint32_t offset, std::uint32_t length) = nullptr;
int (*FlushDisplayHook)() = nullptr;
int (*EnginePaintHook)() = nullptr;
int (*EngineTickHook)() = nullptr;
std::uint8_t SimulationOnline = 0;
std::uint16_t AlarmTableCount = 0;

RuntimeImage gImage;
EngineState gEngine;

namespace {

constexpr std::uint16_t kMarqueeDelay = 8;

bool InState(std::initializer_list<std::uint16_t> states)
{
    return std::find(states.begin(), states.end(), gEngine.screenState) != states.end();
}

// The action feedback is over: back to the menu list, its caption measured again.
void EndActionFeedback()
{
    gEngine.screenState = StateMenuList;
    gEngine.lastSelected = 255;
    gEngine.redraw = 1;
}

// The calls the PLC link makes into the engine.
void FillLinkEngine()
{
    LinkEngine.RequestRedraw = [] { gEngine.redraw = 1; };
    LinkEngine.ScreenState = [] { return gEngine.screenState; };
    LinkEngine.EnterStartMenu = EnterStartMenu;
    LinkEngine.AlarmValuesArrived = AlarmValuesArrived;
    LinkEngine.ProcessCurrentAlarm = ProcessCurrentAlarm;
    LinkEngine.TrackLinkTimeout = TrackLinkTimeout;
    LinkEngine.WriteDropped = EngineWriteDropped;
}

// Tells the link which registers the configuration block names.
void FillLinkConfig()
{
    LinkConfig.alarmNumber = {ConfigType(gImage.alarmIndex), ConfigAddress(gImage.alarmIndex)};
    LinkConfig.saverTime = {ConfigType(gImage.saverTime), ConfigAddress(gImage.saverTime)};
    LinkConfig.saverMinutes = &gEngine.saverMinutes;
    LinkConfig.password = {ConfigType(gImage.password), ConfigAddress(gImage.password)};
    LinkConfig.password1 = &gEngine.password1;
    LinkConfig.password2 = &gEngine.password2;
    LinkConfig.menuLocation = {ConfigType(gImage.workingSpace), ConfigAddress(gImage.workingSpace)};
    LinkConfig.menuLocationValue = &gEngine.location;
    LinkConfig.menuLocationSlot = &gEngine.locationPollSlot;
}

void DrawCurrentScreen()
{
    switch (gEngine.screenState) {
    case StateMenuList:
    case StateActionFeedback:
    case StateMomentary: DrawMenuList(); break;
    case StateValuePage:
    case StateValueEntry: DrawValuePage(); break;
    case StateListPage:
    case StateListSelection: DrawListPage(); break;
    case StateLongText: DrawLongText(); break;
    case StatePictureSaver: PictureSaverPaint(); break;
    case StatePassword: DrawPasswordPrompt(); break;
    case StateClockSaver:
        if (PlcDataValid) {
            DrawClockSaver((gEngine.blink >> 1) & 1);
        }
        break;
    default: break;
    }
}

// The tick's steps after the saver: the action timer, the blink counters and the
// scrolling caption.
void TickSteps()
{
    SaverTick();
    if (InState({StateActionFeedback, StateMomentary})) {
        if (gEngine.actionTimer == 0) {
            return;
        }
        if (--gEngine.actionTimer == 0) {
            EndActionFeedback();
        }
    }
    ++gEngine.tick6;
    ++gEngine.tick4;
    if (gEngine.tick6 > 5) {
        gEngine.tick6 = 0;
        gEngine.blink ^= 1;
        if (TimeoutShown && !gEngine.displayHeld) {
            ShowLinkTimeout();
        }
        if (InState({StateMenuList, StateActionFeedback, StateMomentary}) && !gEngine.displayHeld) {
            gEngine.redraw = 1;
        }
        if (InState({StatePictureSaver, StateClockSaver}) && gImage.saverEffect == SaverClock) {
            ReadPcClock();
            gEngine.redraw = 1;
        }
    }
    if (gEngine.tick4 > 3) {
        gEngine.tick4 = 0;
        gEngine.blink ^= 2;
        if (AlarmShown && !AlarmValuesPending) {
            DrawAlarmMessage();
            return;
        }
        if (AlarmRepeatPending) {
            gEngine.redraw = 1;
        }
        if (InState({StateValueEntry, StateListSelection, StatePassword})) {
            gEngine.redraw = 1;
        }
    }
    if (gEngine.marqueeOn) {
        if (gEngine.marqueeDelay != 0) {
            --gEngine.marqueeDelay;
        } else {
            ++gEngine.marqueeOffset;
            gEngine.redraw = 1;
            if (gEngine.marqueeOffset >= gEngine.marqueeSteps) {
                gEngine.marqueeOffset = 0;
                gEngine.marqueeDelay = kMarqueeDelay;
            }
        }
    }
}

void DispatchKey(std::int32_t key)
{
    switch (gEngine.screenState) {
    case StateStartup: StartupKey(key); break;
    case StateMenuList:
    case StateValuePage:
    case StateListPage:
    case StateLongText: NavigationKey(key); break;
    case StatePictureSaver: PictureSaverKey(key); break;
    case StateValueEntry: ValueEntryKey(key); break;
    case StateListSelection: ListSelectionKey(key); break;
    case StatePassword: PasswordKey(key); break;
    case StateMomentary: MomentaryKey(key); break;
    case StateClockSaver: ClockSaverKey(key); break;
    default: break;
    }
}

}  // namespace

std::uint32_t RowsPerPage()
{
    return std::clamp<std::uint32_t>(CurrentModel.RowsPerPage, 1, kMaxRowsPerPage);
}

const MenuItemRecord &SelectedItem()
{
    std::uint32_t level = std::min<std::uint32_t>(gEngine.level, kMaxLevels - 1);
    return gEngine.items[std::min<std::uint32_t>(gEngine.selected[level], kMaxPageItems - 1)];
}

void EngineInit(std::uint16_t online)
{
    gEngine = EngineState{};
    gImage = RuntimeImage{};
    AlarmTableCount = 0;
    LinkInit();
    LinkScreensInit();
    EnginePaintHook = EnginePaint;
    EngineTickHook = EngineTick;
    SimulationOnline = online != 0 ? 1 : 0;
    ResetClipColumns();
    gEngine.itemPollSlot = kNoPollSlot;
    gEngine.locationPollSlot = kNoPollSlot;
    std::fill(std::begin(gEngine.rowPollSlots), std::end(gEngine.rowPollSlots), kNoPollSlot);
    FillLinkEngine();
    PlcAnswered = online != 0 ? 0 : 1;
}

EngineLoadResult EngineLoadImage(std::uint32_t imageBytes)
{
    EngineLoadResult result = ImageLoadHeader(imageBytes);
    if (result != LoadOk) {
        return result;
    }
    gEngine.accessLevel = gImage.password.type == 0 ? AccessSupervisor : AccessNone;
    if (gImage.startupCount != 0) {
        gEngine.screenState = StateStartup;
        gEngine.startupFrame = 0;
        gEngine.frameTick = 0;
        gEngine.cycle = 0;
        gEngine.saverCounter = 0;
        gEngine.redraw = 1;
    }
    gEngine.pageLoc[0] = gImage.base[SecMenuPages];
    FillLinkConfig();
    return LoadOk;
}

const char *EngineLoadResultText(EngineLoadResult result)
{
    switch (result) {
    case LoadOk: return "";
    case LoadNoReadHook: return "The menu image cannot be read: no image was handed to the panel runtime.";
    case LoadTooShort: return "The menu image is incomplete: it is shorter than its header says.";
    case LoadBadId: return "This is not a menu image: it does not start with \"ZEL\".";
    case LoadWrongModel: return "The menu image was compiled for another panel model.";
    case LoadBadSize: return "The menu image is damaged: its size field is impossible.";
    case LoadBadChecksum: return "The menu image is damaged: its checksum does not match.";
    case LoadBadSections:
        return "The menu image is damaged: its sections lie outside the image or out of order.";
    }
    return "The menu image cannot be run.";
}

bool EngineImageLoaded()
{
    return gImage.loaded;
}

std::uint16_t EngineScreenState()
{
    return gEngine.screenState;
}

int EnginePaint()
{
    if (!gImage.loaded) {
        return 0;
    }
    if ((gEngine.displayHeld && !gEngine.saverActive) || TimeoutShown || AlarmShown) {
        return 0;
    }
    if (gEngine.screenState == StateStartup) {
        StartupPaint();
        return 0;
    }
    if (!gEngine.redraw) {
        if (InState({StateActionFeedback, StateMomentary}) && gEngine.actionTimer != 0) {
            if (--gEngine.actionTimer == 0) {
                EndActionFeedback();
            }
        }
        return 0;
    }
    DrawCurrentScreen();
    FlushDisplay();
    gEngine.redraw = 0;
    return 0;
}

int EngineTick()
{
    if (!gImage.loaded || gEngine.tickBusy) {
        return 0;
    }
    ReentryGuard busy(gEngine.tickBusy);
    PumpEngineWrites();
    TickSteps();
    return 0;
}

void EngineKeyInput(std::int32_t key)
{
    if (!gImage.loaded) {
        return;
    }
    std::uint16_t state = gEngine.screenState;
    if (state != StateClockSaver) {
        gEngine.saverCounter = 0;
    }
    gEngine.tick6 = 0;
    gEngine.blink |= 1;
    if (gEngine.saverActive && state != StateClockSaver) {
        SetDisplayMode(PanelDisplayOn);
        gEngine.saverActive = 0;
    }
    if (gEngine.displayHeld) {
        if (key == KeyOkReleased) {
            // A held momentary action is released even under a message or an alarm.
            if (state == StateMomentary) {
                MomentaryKey(key);
            }
            return;
        }
        gEngine.displayHeld = 0;
        if (AlarmShown) {
            AcknowledgeAlarm();
        }
        if (state != StatePictureSaver && state != StateClockSaver) {
            gEngine.redraw = 1;
            return;
        }
    }
    if (key == KeyEscVeryLong) {
        SupervisorKey();
        return;
    }
    if (key == KeyLongLeft) {
        if (gImage.level1IsTop != 0 && gEngine.level == 1) {
            GoToRoot(1);
        }
        return;
    }
    DispatchKey(key);
}

void EnterStartMenu()
{
    if (!gImage.loaded) {
        return;
    }
    if (gImage.workingSpace.type != 0 && PollCount > 1) {
        ReleasePoll(gEngine.locationPollSlot);
    }
    gEngine.startupFrame = 0;
    gEngine.frameTick = 0;
    gEngine.cycle = 0;
    gEngine.redraw = 1;
    if (!ParseMenuLocation(gEngine.location)) {
        gEngine.level = 0;
        gEngine.selected[0] = 0;
        gEngine.firstVisible[0] = 0;
        gEngine.pageLoc[0] = gImage.base[SecMenuPages];
    }
    LoadMenuLevel();
    SubscribeVisibleValues();
    OpenMenuItem();
    if (!gEngine.supervisorRequest) {
        if (gEngine.password1 == 0) {
            gEngine.accessLevel = AccessUser;
        } else if (gImage.protectType == 0) {
            RequestPassword(0);
        }
    }
}

void ReadPcClock()
{
    if (SimulationOnline) {
        return;
    }
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    gEngine.clock[0] = static_cast<std::uint16_t>(local.tm_sec);
    gEngine.clock[1] = static_cast<std::uint16_t>(local.tm_min);
    gEngine.clock[2] = static_cast<std::uint16_t>(local.tm_hour);
    gEngine.clock[3] = static_cast<std::uint16_t>(local.tm_mday);
    gEngine.clock[4] = static_cast<std::uint16_t>(local.tm_mon + 1);
    gEngine.clock[5] = static_cast<std::uint16_t>(local.tm_year - 100);
}

}  // namespace runtime
