// The place editor.
#include "ApPlaceEditor.h"

#include "ApDialogsCommon.h"
#include "ApModalRuns.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

namespace {

QListWidget *MakeIconGrid(QWidget *parent, const char *name)
{
    auto *grid = new QListWidget(parent);
    grid->setObjectName(QLatin1String(name));
    grid->setViewMode(QListView::IconMode);
    grid->setGridSize(QSize(40, 40));
    grid->setIconSize(QSize(32, 32));
    grid->setMovement(QListView::Static);
    grid->setResizeMode(QListView::Adjust);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    return grid;
}

template <typename Widget> Widget *Named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

TApAddPlaceFrm::TApAddPlaceFrm(bool adding, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ApAddPlaceFrm"));
    setWindowTitle(adding ? QStringLiteral("New Places Bar item") : QStringLiteral("Places Bar item"));

    lbHeading = Named(new QLabel(QStringLiteral("PlacesBar item properties"), this), "lbHeading");
    QFont heading = lbHeading->font();
    heading.setBold(true);
    lbHeading->setFont(heading);

    cbTargetType = Named(new QComboBox(this), "cbTargetType");
    cbTargetType->addItems({QStringLiteral("Folder/file path"), QStringLiteral("Special shell folder"),
                            QStringLiteral("Registry value")});
    cbTarget = Named(new QComboBox(this), "cbTarget");
    cbTarget->setEditable(true);
    edCaption = Named(new QLineEdit(this), "edCaption");
    cbAutoCaption = Named(new QCheckBox(QStringLiteral("&Auto caption"), this), "cbAutoCaption");
    edHint = Named(new QLineEdit(this), "edHint");
    edIconLibrary = Named(new QLineEdit(ApDefaultIconLibrary, this), "edIconLibrary");
    btBrowse = Named(new QToolButton(this), "btBrowse");
    btBrowse->setText(QStringLiteral("..."));
    btLoad = Named(new QPushButton(QStringLiteral("&Load"), this), "btLoad");
    lvNormal = MakeIconGrid(this, "lvNormal");
    lvSelected = MakeIconGrid(this, "lvSelected");

    auto *buttons = new QDialogButtonBox(this);
    btOK = Named(buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), "btOK");
    btCancel = Named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), "btCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // A label whose mnemonic focuses buddy.
    auto label = [this](const QString &text, QWidget *buddy) {
        auto *caption = new QLabel(text, this);
        caption->setBuddy(buddy);
        return caption;
    };
    auto *form = new QFormLayout;
    form->addRow(label(QStringLiteral("&Target type:"), cbTargetType), cbTargetType);
    form->addRow(label(QStringLiteral("Target:"), cbTarget), cbTarget);
    auto *captionRow = new QHBoxLayout;
    captionRow->addWidget(edCaption, 1);
    captionRow->addWidget(cbAutoCaption);
    form->addRow(label(QStringLiteral("&Caption:"), edCaption), captionRow);
    form->addRow(label(QStringLiteral("&Hint:"), edHint), edHint);
    auto *libraryRow = new QHBoxLayout;
    libraryRow->addWidget(edIconLibrary, 1);
    libraryRow->addWidget(btBrowse);
    libraryRow->addWidget(btLoad);
    form->addRow(label(QStringLiteral("&Icons from library:"), edIconLibrary), libraryRow);

    auto *icons = new QGridLayout;
    icons->addWidget(label(QStringLiteral("&Normal:"), lvNormal), 0, 0);
    icons->addWidget(label(QStringLiteral("S&elected:"), lvSelected), 0, 1);
    icons->addWidget(lvNormal, 1, 0);
    icons->addWidget(lvSelected, 1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lbHeading);
    layout->addLayout(form);
    layout->addLayout(icons, 1);
    layout->addWidget(buttons);

    connect(cbTargetType, &QComboBox::currentIndexChanged, this, &TApAddPlaceFrm::TargetTypeChanged);
    connect(cbAutoCaption, &QCheckBox::toggled, edCaption, &QWidget::setDisabled);
    connect(btBrowse, &QToolButton::clicked, this, &TApAddPlaceFrm::BrowseLibrary);
    connect(btLoad, &QPushButton::clicked, this, [this] { LoadIcons(true); });
    LoadIcons(false);
}

void TApAddPlaceFrm::TargetTypeChanged(int type)
{
    const QString text = cbTarget->currentText();
    cbTarget->clear();
    cbTarget->setEditable(type != ttSpecialFolder);
    if (type == ttSpecialFolder)
        cbTarget->addItems(GetSpecFolders());
    else
        cbTarget->setEditText(text);
}

void TApAddPlaceFrm::LoadPlace(const TApPlace &place)
{
    const int type = place.PlaceSpecPath != ftNone ? ttSpecialFolder
        : !place.PlaceRegPath.isEmpty()            ? ttRegistryValue
                                                   : ttPath;
    cbTargetType->setCurrentIndex(type);
    TargetTypeChanged(type);
    if (type == ttSpecialFolder)
        cbTarget->setCurrentIndex(cbTarget->findText(GetSpecFolderName(place.PlaceSpecPath)));
    else
        cbTarget->setEditText(type == ttRegistryValue ? place.PlaceRegPath : place.PlacePath);
    edCaption->setText(place.PlaceName);
    cbAutoCaption->setChecked(place.AutoCaption);
    edHint->setText(place.PlaceDesc);
    edIconLibrary->setText(place.PlaceIconDll);
    loadedIcon_ = place.PlaceIcon;
    loadedHotIcon_ = place.PlaceHotIcon;
    LoadIcons(false);
}

void TApAddPlaceFrm::StorePlace(TApPlace &place) const
{
    place.PlaceName = edCaption->text();
    place.PlaceDesc = edHint->text();
    place.AutoCaption = cbAutoCaption->isChecked();
    const QString target = cbTarget->currentText();
    const int type = cbTargetType->currentIndex();
    place.PlaceSpecPath = type == ttSpecialFolder ? SpecFolderOfName(target) : ftNone;
    place.PlaceRegPath = type == ttRegistryValue ? target : QString();
    place.PlacePath = type == ttPath ? target : QString();
    place.PlaceIconDll = edIconLibrary->text();
    place.PlaceIcon = lvNormal->currentRow() >= 0 ? lvNormal->currentRow() : loadedIcon_;
    place.PlaceHotIcon = lvSelected->currentRow() >= 0 ? lvSelected->currentRow() : loadedHotIcon_;
}

bool TApAddPlaceFrm::LoadIcons(bool tellWhenNone)
{
    const QList<QIcon> icons = ApLoadIconLibrary(edIconLibrary->text());
    lvNormal->clear();
    lvSelected->clear();
    for (const QIcon &icon : icons) {
        lvNormal->addItem(new QListWidgetItem(icon, QString()));
        lvSelected->addItem(new QListWidgetItem(icon, QString()));
    }
    if (icons.isEmpty()) {
        if (tellWhenNone)
            ApShowMessage(this, QStringLiteral("No icons were found in the file"),
                          QStringLiteral("New place - Icon library"));
        return false;
    }
    lvNormal->setCurrentRow(loadedIcon_ < icons.size() ? loadedIcon_ : 0);
    lvSelected->setCurrentRow(loadedHotIcon_ < icons.size() ? loadedHotIcon_ : 0);
    return true;
}

void TApAddPlaceFrm::BrowseLibrary()
{
    QFileDialog browse(this, QStringLiteral("Browse for icon library"));
    browse.setObjectName(QStringLiteral("ApBrowseIconLibrary"));
    browse.setOption(QFileDialog::DontUseNativeDialog);
    browse.setFileMode(QFileDialog::ExistingFile);
    ApSetNameFilters(
        &browse, QStringLiteral("Executables|*.exe;*.dll;*.ocx;*.bpl;*.cpl;|Icons|*.ico|All files|*.*"), 0);
    if (ApExecModal(browse) != QDialog::Accepted || browse.selectedFiles().isEmpty())
        return;
    edIconLibrary->setText(browse.selectedFiles().first());
    LoadIcons(true);
}

bool TApAddPlaceFrm::EditPlace(QWidget *parent, TApPlace &place, bool adding)
{
    TApAddPlaceFrm editor(adding, parent);
    editor.LoadPlace(place);
    if (ApExecModal(editor) != QDialog::Accepted)
        return false;
    editor.StorePlace(place);
    return true;
}
