// Startup pictures and screen savers.
#include "RuntimeSavers.h"

#include <algorithm>
#include <limits>

#include "LinkScreens.h"
#include "PanelLcdDriver.h"
#include "PanelRuntime.h"
#include "PanelRuntimeState.h"
#include "PlcLink.h"
#include "RuntimeNavigation.h"
#include "RuntimePassword.h"
#include "RuntimeScreens.h"

namespace runtime {

namespace {

constexpr std::uint32_t kTicksPerMinute = 600;
// After a key lights the clock saver, it dims again this many ticks later.
constexpr std::uint32_t kClockWakeTicks = 50;

// The end of the startup: the menu, or the wait for the PLC's first answer.
void LeaveStartup()
{
    if (PlcAnswered) {
        EnterStartMenu();
    } else {
        gEngine.screenState = StateWaitPlc;
    }
}

bool InMenuPages()
{
    std::uint16_t s = gEngine.screenState;
    return s == StateMenuList || s == StateValuePage || s == StateListPage;
}

// Access falls back to none when a password guards the panel.
void DropAccess()
{
    if (gEngine.password1 != 0) {
        gEngine.accessLevel = AccessNone;
    }
}

// The saver time has run out: the screen part by effect (from the menu pages only),
// then the display part.
void StartSaver()
{
    std::uint16_t effect = gImage.saverEffect;
    if (InMenuPages()) {
        switch (effect) {
        case SaverNone:
        case SaverDim:
        case SaverDisplayOff: DropAccess(); break;
        case SaverPicture:
            gEngine.screenState = StatePictureSaver;
            gEngine.redraw = 1;
            DropAccess();
            break;
        case SaverClock:
            StartClockPolls();
            gEngine.screenState = StateClockSaver;
            break;
        default: break;
        }
    }
    if (effect != SaverNone) {
        SetDisplayMode(effect == SaverDisplayOff ? PanelDisplayOff : PanelDisplayDim);
        gEngine.displayHeld = 1;
    }
    gEngine.saverActive = 1;
}

}  // namespace

void SetDisplayMode(std::uint8_t mode)
{
    if (CurrentModel.SetDisplayMode != nullptr) {
        CurrentModel.SetDisplayMode(mode);
    }
}

void StartupPaint()
{
    if (gEngine.startupFrame < gImage.startupCount) {
        if (gEngine.frameTick == 0) {
            DrawPicture(gEngine.startupFrame);
            FlushDisplay();
            gEngine.frameTick = 1;
            return;
        }
        if (gEngine.frameTick < gImage.flipTime) {
            ++gEngine.frameTick;
            return;
        }
        gEngine.frameTick = 0;
        ++gEngine.startupFrame;
    }
    if (gEngine.startupFrame >= gImage.startupCount) {
        gEngine.startupFrame = 0;
        if (!(gImage.endCondition == 1 && gImage.startupCount != 0)) {
            ++gEngine.cycle;
        }
        if (gEngine.cycle > gImage.cycleCount) {
            LeaveStartup();
        }
    }
}

void StartupKey(std::int32_t)
{
    if (gImage.endCondition == 1 || gImage.endCondition == 2) {
        SetDisplayMode(PanelDisplayOn);
        gEngine.startupFrame = 0;
        LeaveStartup();
    }
}

void PictureSaverPaint()
{
    if (gImage.saverCount != 0) {
        DrawPicture(gImage.startupCount);
    } else {
        CurrentModel.ClearFrame();
    }
}

void PictureSaverKey(std::int32_t)
{
    OpenMenuItem();
    if (gEngine.password1 != 0 && gImage.protectType == 0) {
        RequestPassword(0);
    }
}

void ClockSaverKey(std::int32_t key)
{
    if (key == KeyOkReleased) {
        return;
    }
    if (gEngine.saverActive) {
        SetDisplayMode(PanelDisplayOn);
        gEngine.saverActive = 0;
        gEngine.saverCounter =
            gEngine.saverTicks > kClockWakeTicks ? gEngine.saverTicks - kClockWakeTicks : 0;
        return;
    }
    StopClockPolls();
    OpenMenuItem();
    if (gEngine.password1 != 0) {
        RequestPassword(0);
    }
    gEngine.saverCounter = 0;
}

void SaverTick()
{
    std::uint32_t minutes = gImage.saverTime.type == 1 ? gImage.saverTime.value : gEngine.saverMinutes;
    std::uint64_t ticks = static_cast<std::uint64_t>(minutes) * kTicksPerMinute;
    gEngine.saverTicks =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(ticks, std::numeric_limits<std::uint32_t>::max()));
    if (gEngine.saverTicks == 0) {
        return;
    }
    if (gEngine.screenState == StateStartup) {
        if (gImage.endCondition != 0 && ++gEngine.saverCounter >= gEngine.saverTicks) {
            gEngine.saverCounter = 0;
            SetDisplayMode(PanelDisplayDim);
        }
        return;
    }
    if (gEngine.saverActive) {
        return;
    }
    if (AlarmShown) {
        gEngine.saverCounter = 0;
    } else {
        ++gEngine.saverCounter;
    }
    if (gEngine.saverCounter >= gEngine.saverTicks) {
        StartSaver();
    }
}

}  // namespace runtime
