// The menu dialog.
#include "MenuDialog.h"

#include "InputChecks.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

TFormMenu *FormMenu = nullptr;

namespace {

// The least size the description takes, so that a few lines show.
constexpr int kMemoWidth = 320;
constexpr int kMemoHeight = 120;

const QString kCaption = QStringLiteral("Caption");
const QString kDescription = QStringLiteral("Description");

}  // namespace

TFormMenu::TFormMenu(QWidget *parent) : TItemDialog("FormMenu", nkSubMenu, TRewrite::OwnsCaption, parent)
{
    lbCaption = MakeLabel(this, "lbCaption", QStringLiteral("String:"));
    edtCaption = MakeEdit(this, "edtCaption");
    lbDescription = MakeLabel(this, "lbDescription", QStringLiteral("Description:"));
    moDescription = MakeMemo(this, "moDescription");
    moDescription->setMinimumSize(kMemoWidth, kMemoHeight);
    lbCaption->setBuddy(edtCaption);
    lbDescription->setBuddy(moDescription);
    connect(edtCaption, &QLineEdit::textChanged, this, &TFormMenu::edtCaptionChange);

    auto *caption = new QHBoxLayout;
    caption->addWidget(lbCaption);
    caption->addWidget(edtCaption, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(caption);
    layout->addWidget(lbDescription);
    layout->addWidget(moDescription, 1);
    layout->addLayout(ButtonRow());
    SetFirstField(edtCaption);
    SetPanelTextField(edtCaption);
    FormCreate();
}

TFormMenu::~TFormMenu()
{
    if (FormMenu == this)
        FormMenu = nullptr;
}

void TFormMenu::edtCaptionChange()
{
    ColourByPanelWidth(edtCaption, MenuCaptionMaxWidth());
}

void TFormMenu::LoadControls(TwNode &node)
{
    LoadText(edtCaption, node, kCaption);
    // The same text again runs no change handler; the model may have changed.
    edtCaptionChange();
    LoadLines(moDescription, node, kDescription);
}

bool TFormMenu::CheckInput()
{
    return CheckEditNotEmpty(edtCaption, 2000);
}

void TFormMenu::SaveControls(TwNode &node)
{
    SaveText(node, kCaption, edtCaption);
    SaveLines(node, kDescription, moDescription);
}

TFormMenu *MenuForm()
{
    if (!FormMenu)
        FormMenu = new TFormMenu();
    return FormMenu;
}
