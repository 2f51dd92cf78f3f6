// The password screen and the access levels.
#include "RuntimePassword.h"

#include "PanelRuntime.h"
#include "PanelRuntimeState.h"
#include "RuntimeItems.h"
#include "RuntimeScreens.h"

namespace runtime {

namespace {

void EditEntry(std::int32_t key)
{
    EditValueDigit(gEngine.passwordKind, &gEngine.passwordCursor, &gEngine.passwordEntry, key);
    gEngine.redraw = 1;
}

// A wrong entry: the message holds the display until the next key, which shows the
// password screen again.
void PasswordError()
{
    ShowEngineMessage("Password Error !!", nullptr, nullptr);
    gEngine.displayHeld = 1;
}

void Grant(std::uint8_t level)
{
    gEngine.accessLevel = level;
    RestoreScreenState();
}

void CheckEntry()
{
    std::uint32_t entry = gEngine.passwordEntry;
    bool secondSet = gEngine.password2 != 0;
    if (gEngine.supervisorRequest) {
        if (secondSet && entry == gEngine.password2) {
            Grant(AccessSupervisor);
        } else {
            PasswordError();
        }
        return;
    }
    if (entry == gEngine.password1) {
        Grant(AccessUser);
    } else if (secondSet && entry == gEngine.password2) {
        Grant(AccessSupervisor);
    } else {
        PasswordError();
    }
}

}  // namespace

void RequestPassword(std::uint16_t escapeAllowed)
{
    gEngine.passwordEntry = 0;
    gEngine.passwordCursor = 0;
    gEngine.escapeAllowed = escapeAllowed;
    gEngine.passwordKind = gImage.password.type == 11 ? NumU16 : NumU32;
    if (gEngine.screenState != StatePassword) {
        gEngine.savedState = gEngine.screenState;
    }
    gEngine.screenState = StatePassword;
    gEngine.redraw = 1;
}

void RestoreScreenState()
{
    gEngine.supervisorRequest = 0;
    gEngine.screenState = gEngine.savedState;
    gEngine.redraw = 1;
}

void SupervisorKey()
{
    // An open prompt already takes the second password.
    if (gEngine.screenState == StatePassword) {
        return;
    }
    if (gEngine.password2 != 0 && gEngine.accessLevel != AccessSupervisor) {
        RequestPassword(1);
        gEngine.supervisorRequest = 1;
    }
}

void PasswordKey(std::int32_t key)
{
    if (IsDigitEditKey(key)) {
        EditEntry(key);
        return;
    }
    switch (key) {
    case KeyEsc:
        if (gEngine.escapeAllowed) {
            RestoreScreenState();
        } else {
            gEngine.passwordEntry = 0;
            gEngine.passwordCursor = 0;
            gEngine.redraw = 1;
        }
        break;
    case KeyOk: CheckEntry(); break;
    default: break;
    }
}

}  // namespace runtime
