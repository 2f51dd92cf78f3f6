// The input checks the item dialogs share, and the width of panel texts.
//
// CheckOperandEdit and CheckEditNotEmpty are the checks of an edit field
// (MatchOperand, in Operands.h, is their plain part). With a warning code they
// are OK-time checks: a failure shows the numbered warning (ShowWarning) and
// puts the focus on the field. With NoWarning, CheckOperandEdit is a live
// check for a change handler: it colours the field and does nothing else.
//
//   connect(edtReference, &QLineEdit::textChanged, this,
//           [this] { CheckOperandEdit(edtReference, maskValueReference, NoWarning); });
//   bool ValidateInput() {
//       return CheckEditNotEmpty(edtCaption, 2000)
//           && CheckOperandEdit(edtReference, maskValueReference, 2006) != 0; }
//
//   CheckNumberEdit(edtMax, cdtSigned16, NoWarning);   // live, by the number mode
//
// Panel widths: a caption or text line the panel shows in one row turns
// green when it fits and olive (an alarm line: red) when it does not; the
// width is measured with the compiler's rasteriser in the output font.
//
//   ColourByPanelWidth(edtCaption, ItemCaptionMaxWidth);
#pragma once

#include "FieldColours.h"

#include <cstdint>

class QLineEdit;
class QString;
class QWidget;

// The warning code of a live check: colour only, no message, no focus.
constexpr int NoWarning = -1;

// MatchOperand on the edit's text with mask; the text turns green when it
// matches and red when not. A mismatch with a warning code shows the
// warning and focuses the edit. Returns the match (flag AND mask); a null
// edit returns 0 and does nothing.
uint32_t CheckOperandEdit(QLineEdit *edit, uint32_t mask, int warningCode);

// False, after the warning and with the focus on the edit, when the edit's
// text is empty (a null edit: false, nothing shown). Changes no colour.
bool CheckEditNotEmpty(QLineEdit *edit, int warningCode);

// The number mode (a CheckConstantRange data type) of a register reference:
// 16-bit registers, timer values and 16-bit counter values (R, RHigh, D, RT,
// RC) signed or unsigned 16-bit, 32-bit registers and counter values (DR,
// DRHigh, DD, DRC) signed or unsigned 32-bit; -1 for any other flag.
int NumberModeOfReference(uint32_t flag, bool isSigned);

// Whether the edit's text is a decimal constant of the number mode; the
// text turns green when it is and red when not. A refused text with a
// warning code shows the warning and focuses the edit. A null edit or a
// mode of -1 refuses (and a null edit shows nothing).
bool CheckNumberEdit(QLineEdit *edit, int numberMode, int warningCode);

// The OK check of a Max and a Min field of the number mode: each is empty
// (no limit) or a decimal constant of the mode (else warning 2006 on it, Max
// first), and Max is not below Min (else warning 2007 on Min). Null edits
// refuse, showing nothing.
bool CheckLimits(QLineEdit *max, QLineEdit *min, int numberMode);

// A check of the dialog's own failed on field (an edit or any other
// control): the warning is shown and the field gets the focus; its colour
// stays. Returns false, like RefuseEdit (a null field: nothing shown).
bool WarnAndFocus(QWidget *field, int warningCode);

// A field refused by a check of the dialog's own: its text turns red, the
// warning is shown and the field gets the focus. Returns false, so that a
// check can end with it: return accepted || RefuseEdit(edit, 2006);
bool RefuseEdit(QLineEdit *edit, int warningCode);

// Widest a text may be on the panel, in pixels.
constexpr int ItemCaptionMaxWidth = 110;  // value and list captions
constexpr int AlarmLineMaxWidth = 112;    // alarm text lines
// A menu caption: the display's width less 16 (112 on both panel models).
int MenuCaptionMaxWidth();

// Whether text is at most maxWidth pixels wide on the panel; never while the
// output font cannot be loaded (no width is known then).
bool FitsPanel(const QString &text, int maxWidth);

// False, after a message saying that the output font cannot be loaded and
// with the focus on field, while it cannot (so no panel width is known);
// true when it can.
bool CheckPanelFont(QWidget *field);

// Colours the edit by the panel width of its text: green when it fits,
// tooWide when not. Returns whether it fits (a null edit: false).
bool ColourByPanelWidth(QLineEdit *edit, int maxWidth, TColor tooWide = clFieldTooWide);
