// The alarm dialog.
#include "AlarmDialog.h"

#include "InputChecks.h"
#include "LinkScreens.h"
#include "Operands.h"
#include "OutputFont.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <limits>
#include <vector>

TFormAlarm *FormAlarm = nullptr;

namespace {

constexpr int kLineWidth = 220;

// The widest alarm value of the face it was found for.
QString gWidestFace;
uint16_t gWidestValue = 0;

// Room the value's text takes in a line beyond the "^" it replaces.
constexpr int kValueRoom = 8;

// The value the panel shows widest in the output font (the first of equal
// ones). The panel polls an alarm value as an unsigned 16-bit number and
// writes it in the characters the runtime uses, each as wide as in the font.
uint16_t WidestAlarmValue()
{
    const QString face = PanelFontName();
    if (face == gWidestFace)
        return gWidestValue;
    int widths[128] = {};
    for (char16_t c = 0x20; c < 0x7F; ++c)
        widths[c] = PanelTextWidth(QString(QChar(c)));
    uint16_t text[kValueRoom];
    int widest = -1;
    for (uint32_t value = 0; value <= std::numeric_limits<uint16_t>::max(); ++value) {
        const int n = runtime::InsertAlarmValueText(text, 0, kValueRoom, uint16_t(value));
        int width = 0;
        for (int k = 0; k < n; ++k)
            width += text[k] < 128 ? widths[text[k]] : 0;
        if (width > widest) {
            widest = width;
            gWidestValue = uint16_t(value);
        }
    }
    gWidestFace = face;
    return gWidestValue;
}

QString IndexText(int index)
{
    return QStringLiteral("%1").arg(index, 2, 10, QLatin1Char('0'));
}

}  // namespace

int AlarmLinePanelWidth(const QString &line, bool withValue)
{
    if (!withValue)
        return PanelTextWidth(line);
    std::vector<uint16_t> text(line.utf16(), line.utf16() + line.size());
    text.resize(text.size() + kValueRoom);
    const int n =
        runtime::InsertAlarmValueText(text.data(), int(line.size()), int(text.size()), WidestAlarmValue());
    return PanelTextWidth(QString::fromUtf16(reinterpret_cast<const char16_t *>(text.data()), n));
}

TFormAlarm::TFormAlarm(QWidget *parent) : TItemDialog("FormAlarm", nkAlarm, TRewrite::KeepsCaption, parent)
{
    static const char *const kLineLabels[LineCount] = {"WideLabel15", "WideLabel17", "WideLabel19"};
    static const char *const kReferenceLabels[LineCount] = {"WideLabel16", "WideLabel18", "WideLabel20"};
    static const char *const kLines[LineCount] = {"edtLine1", "edtLine2", "edtLine3"};
    static const char *const kReferences[LineCount] = {"edtReference1", "edtReference2", "edtReference3"};

    WideLabel1 = MakeLabel(this, "WideLabel1", QStringLiteral("Index:"));
    cbIndex = MakeChoice(this, "cbIndex", {});
    WideLabel1->setBuddy(cbIndex);

    auto *grid = new QGridLayout;
    grid->addWidget(WideLabel1, 0, 0);
    grid->addWidget(cbIndex, 0, 1, Qt::AlignLeft);
    for (int i = 0; i < LineCount; ++i) {
        lbLines[i] = MakeLabel(this, kLineLabels[i], QStringLiteral("Line%1:").arg(i + 1));
        lbReferences[i] = MakeLabel(this, kReferenceLabels[i], QStringLiteral("Reference No.:"));
        edtLines[i] = MakeEdit(this, kLines[i]);
        edtLines[i]->setMinimumWidth(kLineWidth);
        edtReferences[i] = MakeEdit(this, kReferences[i], 5);
        edtReferences[i]->setToolTip(QStringLiteral("R/D[xxxx]"));
        SetUpperCaseInput(edtReferences[i]);
        lbLines[i]->setBuddy(edtLines[i]);
        lbReferences[i]->setBuddy(edtReferences[i]);
        connect(edtLines[i], &QLineEdit::textChanged, this, [this, i] { edtLineChange(i); });
        connect(edtReferences[i], &QLineEdit::textChanged, this, [this, i] { edtReferenceChange(i); });
        grid->addWidget(lbLines[i], i + 1, 0);
        grid->addWidget(edtLines[i], i + 1, 1);
        grid->addWidget(lbReferences[i], i + 1, 2);
        grid->addWidget(edtReferences[i], i + 1, 3);
    }
    grid->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(ButtonRow());
    SetFirstField(edtLines[0]);
    SetPanelTextField(edtLines[0]);
    FormCreate();
}

TFormAlarm::~TFormAlarm()
{
    if (FormAlarm == this)
        FormAlarm = nullptr;
}

bool TFormAlarm::LineFits(int i) const
{
    // No width is known while the output font cannot be loaded.
    return PanelFontLoaded()
        && AlarmLinePanelWidth(edtLines[i]->text(), !edtReferences[i]->text().isEmpty()) <= AlarmLineMaxWidth;
}

void TFormAlarm::edtLineChange(int i)
{
    SetFieldTextColour(edtLines[i], LineFits(i) ? clFieldAccepted : clFieldRefused);
}

void TFormAlarm::edtReferenceChange(int i)
{
    CheckOperandEdit(edtReferences[i], maskWordRegister, NoWarning);
    edtLineChange(i);
}

void TFormAlarm::FillIndexes(const TwNode &node)
{
    bool taken[AlarmCount + 1] = {};
    auto mark = [&taken](const TwNode &alarm) {
        const int index = alarm.GetPropInt(QStringLiteral("Index"), -1);
        if (index >= 1 && index <= AlarmCount)
            taken[index] = true;
    };
    mark(node);
    if (const TwNode *parent = node.Parent) {
        for (int c = 0; c < parent->GetChildCount(); ++c)
            mark(*parent->GetChild(c));
    }
    QStringList items;
    for (int index = 1; index <= AlarmCount; ++index) {
        if (!taken[index])
            items.append(IndexText(index));
    }
    // An alarm without an index is offered the lowest free one; the node
    // keeps having none until OK.
    QString selected = node.GetProp(QStringLiteral("Index"));
    if (selected.isEmpty() && !items.isEmpty())
        selected = items.first();
    else
        items.append(selected);
    items.sort();
    cbIndex->clear();
    cbIndex->addItems(items);
    cbIndex->setCurrentIndex(int(items.indexOf(selected)));
}

void TFormAlarm::LoadControls(TwNode &node)
{
    FillIndexes(node);
    for (int i = 0; i < LineCount; ++i)
        LoadText(edtLines[i], node, QStringLiteral("Line%1").arg(i + 1));
    for (int i = 0; i < LineCount; ++i)
        LoadText(edtReferences[i], node, QStringLiteral("Reference%1").arg(i + 1));
    // The colours follow the loaded texts even where a text is unchanged.
    for (int i = 0; i < LineCount; ++i)
        edtReferenceChange(i);
}

bool TFormAlarm::CheckInput()
{
    for (int i = 0; i < LineCount; ++i) {
        if (!LineFits(i))
            return WarnAndFocus(edtLines[i], 2008);
        if (!edtReferences[i]->text().isEmpty()
            && CheckOperandEdit(edtReferences[i], maskWordRegister, 2006) == 0)
            return false;
    }
    return true;
}

void TFormAlarm::SaveControls(TwNode &node)
{
    SaveChoice(node, QStringLiteral("Index"), cbIndex);
    for (int i = 0; i < LineCount; ++i)
        SaveText(node, QStringLiteral("Line%1").arg(i + 1), edtLines[i]);
    for (int i = 0; i < LineCount; ++i)
        SaveText(node, QStringLiteral("Reference%1").arg(i + 1), edtReferences[i]);
}

TFormAlarm *AlarmForm()
{
    if (!FormAlarm)
        FormAlarm = new TFormAlarm();
    return FormAlarm;
}
