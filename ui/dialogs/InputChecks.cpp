// The input checks the item dialogs share, and the width of panel texts.
#include "InputChecks.h"

#include "Localizer.h"
#include "MessageBox.h"
#include "Operands.h"
#include "OutputFont.h"
#include "PanelLcdDriver.h"
#include "mainwindow/Application.h"

#include <QLineEdit>

namespace {

// The value of a constant a number mode accepted: an unsigned constant is
// parsed as its 32-bit pattern.
int64_t ConstantValue(const QString &text)
{
    int32_t number = 0;
    const uint32_t flag = ParseOperand(text, number);
    return flag == opConstUnsigned ? int64_t(uint32_t(number)) : int64_t(number);
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
    return !edit->text().isEmpty() || WarnAndFocus(edit, warningCode);
}

int NumberModeOfReference(uint32_t flag, bool isSigned)
{
    if (flag & (opRT | opRC | opWord))
        return isSigned ? cdtSigned16 : cdtUnsigned16;
    if (flag & (opDRC | opDWord))
        return isSigned ? cdtSigned32 : cdtUnsigned32;
    return -1;
}

bool CheckNumberEdit(QLineEdit *edit, int numberMode, int warningCode)
{
    if (!edit)
        return false;
    const bool valid = CheckConstantRange(edit->text(), numberMode);
    SetFieldTextColour(edit, valid ? clFieldAccepted : clFieldRefused);
    if (!valid && warningCode != NoWarning)
        WarnAndFocus(edit, warningCode);
    return valid;
}

bool WarnAndFocus(QWidget *field, int warningCode)
{
    if (!field)
        return false;
    ShowWarning(warningCode);
    field->setFocus(Qt::OtherFocusReason);
    return false;
}

bool CheckLimits(QLineEdit *max, QLineEdit *min, int numberMode)
{
    if (!max || !min)
        return false;
    const bool hasMax = !max->text().isEmpty();
    const bool hasMin = !min->text().isEmpty();
    if ((hasMax && !CheckNumberEdit(max, numberMode, 2006))
        || (hasMin && !CheckNumberEdit(min, numberMode, 2006)))
        return false;
    return !hasMax || !hasMin || ConstantValue(max->text()) >= ConstantValue(min->text())
        || WarnAndFocus(min, 2007);
}

bool RefuseEdit(QLineEdit *edit, int warningCode)
{
    if (!edit)
        return false;
    SetFieldTextColour(edit, clFieldRefused);
    return WarnAndFocus(edit, warningCode);
}

int MenuCaptionMaxWidth()
{
    return int(CurrentModel.Width) - 16;
}

bool FitsPanel(const QString &text, int maxWidth)
{
    return PanelFontLoaded() && PanelTextWidth(text) <= maxWidth;
}

bool CheckPanelFont(QWidget *field)
{
    if (PanelFontLoaded())
        return true;
    const QString text = Localizer.GetText(
        QStringLiteral("The output font \"%s\" cannot be loaded, so the width of the panel's texts cannot be "
                       "measured.\nChoose another output font."),
        QStringLiteral("item"), QStringLiteral("OutputFontMissingId"));
    ShowMessageBox(nullptr, FormatText(text, {PanelFontName()}), ApplicationTitle());
    if (field)
        field->setFocus(Qt::OtherFocusReason);
    return false;
}

bool ColourByPanelWidth(QLineEdit *edit, int maxWidth, TColor tooWide)
{
    if (!edit)
        return false;
    const bool fits = FitsPanel(edit->text(), maxWidth);
    SetFieldTextColour(edit, fits ? clFieldAccepted : tooWide);
    return fits;
}
