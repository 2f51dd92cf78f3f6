// The designer's colours and the states of its input fields.
//
// Colours are given as TColor values: 0x00BBGGRR for a colour of its own (red
// in the low byte: 0x0000FF is red, 0x008080 olive), 0x80000000 + n for the
// system colour n, which follows the palette:
//
//   n   system colour        palette role
//   5   window background    Base      (the ground of an edit)
//   8   window text          Text      (the text of an edit)
//   11  inactive border      Window    (a light grey in the usual themes)
//   13  highlight            Highlight
//
// A field shows its state by its text colour (green accepted, red refused,
// olive a caption too wide for the panel, neutral the window text) and by
// its ground (switched on: window background; switched off: inactive border).
//
//   SetFieldTextColour(edtReference, clFieldAccepted);
//   SwitchField(edtMax, false);
//   FieldTextColour(edtReference) == ToQColor(clFieldAccepted)
#pragma once

#include <QColor>
#include <QPalette>

#include <cstdint>

class QWidget;

using TColor = uint32_t;

// System colour n.
constexpr TColor SystemColour(int n)
{
    return 0x80000000u + static_cast<uint32_t>(n);
}

constexpr TColor clFieldAccepted = 0x008000;  // green
constexpr TColor clFieldRefused = 0x0000FF;   // red
constexpr TColor clFieldTooWide = 0x008080;   // olive
constexpr TColor clWindow = SystemColour(5);
constexpr TColor clWindowText = SystemColour(8);
constexpr TColor clInactiveBorder = SystemColour(11);
constexpr TColor clHighlight = SystemColour(13);

// The palette role of a system colour; false for a colour of its own and
// for a system colour the designer does not use.
bool SystemColourRole(TColor colour, QPalette::ColorRole &role);

// The colour as Qt draws it; system colours are taken from palette.
QColor ToQColor(TColor colour, const QPalette &palette);
// The same with the application's palette.
QColor ToQColor(TColor colour);

// Text colour of a field (an edit, a label, a combo box), while it is
// enabled; a disabled field keeps the greyed text of its palette. System
// colours come from the application's palette for the field's class.
void SetFieldTextColour(QWidget *field, TColor colour);
QColor FieldTextColour(const QWidget *field);

// Ground of a field: window background when switched on, the inactive
// border's grey when switched off.
void SetFieldGround(QWidget *field, bool switchedOn);
QColor FieldGround(const QWidget *field);

// Switches a field on (enabled, window background) or off (disabled, the
// inactive border's grey).
void SwitchField(QWidget *field, bool on);
