// The input checks the item dialogs share, and the width of panel texts.
#include "Inputchecks.h"

#include "Outputfont.h"
#include "PanelLcdDriver.h"
#include "Ufmyesno.h"
#include "Wutil.h"

#include <QLineEdit>

namespace {

void WarnAndFocus(QLineEdit *edit, int warningCode)
{
    ShowWarning(warningCode);
    edit->setFocus(Qt::OtherFocusReason);
}

}  // namespace

uint32_t CheckOperandEdit(QLineEdit *edit, uint32_t mask, int warningCode)
{
    if (!edit)
        return 0;
    const uint32_t match = MatchOperand(edit->text(), mask);
    SetFieldTextColour(edit, match != 0 ? clFieldAccepted : clFieldRefused);
    if (match == 0 && warningCode != NoWarning)
        WarnAndFocus(edit, warningCode);
    return match;
}

bool CheckEditNotEmpty(QLineEdit *edit, int warningCode)
{
    if (!edit)
        return false;
    if (!edit->text().isEmpty())
        return true;
    WarnAndFocus(edit, warningCode);
    return false;
}

bool CheckNumberEdit(QLineEdit *edit, int numberMode, int warningCode)
{
    if (!edit)
        return false;
    if (edit->text().isEmpty())
        return true;
    const bool accepted = CheckConstantRange(edit->text(), numberMode);
    SetFieldTextColour(edit, accepted ? clFieldAccepted : clFieldRefused);
    if (!accepted && warningCode != NoWarning)
        WarnAndFocus(edit, warningCode);
    return accepted;
}

bool RefuseEdit(QLineEdit *edit, int warningCode)
{
    if (!edit)
        return false;
    SetFieldTextColour(edit, clFieldRefused);
    WarnAndFocus(edit, warningCode);
    return false;
}

int MenuCaptionMaxWidth()
{
    return int(CurrentModel.Width) - 16;
}

bool FitsPanel(const QString &text, int maxWidth)
{
    return PanelTextWidth(text) <= maxWidth;
}

bool ColourByPanelWidth(QLineEdit *edit, int maxWidth, TColor tooWide)
{
    if (!edit)
        return false;
    const bool fits = FitsPanel(edit->text(), maxWidth);
    SetFieldTextColour(edit, fits ? clFieldAccepted : tooWide);
    return fits;
}
