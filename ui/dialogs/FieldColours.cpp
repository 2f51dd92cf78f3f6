// The designer's colours and the states of its input fields.
#include "FieldColours.h"

#include <QApplication>
#include <QWidget>

namespace {

struct SystemRole {
    int index;
    QPalette::ColorRole role;
};

constexpr SystemRole kSystemRoles[] = {
    {5, QPalette::Base},
    {8, QPalette::Text},
    {11, QPalette::Window},
    {13, QPalette::Highlight},
};

}  // namespace

bool SystemColourRole(TColor colour, QPalette::ColorRole &role)
{
    if ((colour & 0xFF000000u) != 0x80000000u)
        return false;
    for (const SystemRole &entry : kSystemRoles) {
        if (SystemColour(entry.index) == colour) {
            role = entry.role;
            return true;
        }
    }
    return false;
}

QColor ToQColor(TColor colour, const QPalette &palette)
{
    QPalette::ColorRole role = QPalette::Text;
    if (SystemColourRole(colour, role))
        return palette.color(QPalette::Active, role);
    // Any other system colour: the window text, so that a text stays readable.
    if ((colour & 0xFF000000u) != 0)
        return palette.color(QPalette::Active, QPalette::Text);
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

QColor ToQColor(TColor colour)
{
    return ToQColor(colour, QApplication::palette());
}

void SetFieldTextColour(QWidget *field, TColor colour)
{
    if (!field)
        return;
    const QColor color = ToQColor(colour, QApplication::palette(field));
    QPalette palette = field->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, color);
        palette.setColor(group, QPalette::WindowText, color);
        palette.setColor(group, QPalette::ButtonText, color);
    }
    field->setPalette(palette);
}

QColor FieldTextColour(const QWidget *field)
{
    return field ? field->palette().color(QPalette::Active, QPalette::Text) : QColor();
}

void SetFieldGround(QWidget *field, bool switchedOn)
{
    if (!field)
        return;
    const QPalette standard = QApplication::palette(field);
    const QColor off = ToQColor(clInactiveBorder, standard);
    QPalette palette = field->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, switchedOn ? standard.color(group, QPalette::Base) : off);
    field->setPalette(palette);
}

QColor FieldGround(const QWidget *field)
{
    return field ? field->palette().color(QPalette::Active, QPalette::Base) : QColor();
}

void SwitchField(QWidget *field, bool on)
{
    if (!field)
        return;
    field->setEnabled(on);
    SetFieldGround(field, on);
}
