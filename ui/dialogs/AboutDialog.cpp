// The About box.
#include "AboutDialog.h"

#include "DialogButtons.h"
#include "ItemDialog.h"
#include "Localizer.h"
#include "UiServices.h"
#include "mainwindow/Application.h"
#include "mainwindow/WindowImages.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

TFormAbout *FormAbout = nullptr;

namespace {

constexpr int kPictureSize = 96;

}  // namespace

TFormAbout::TFormAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("About"));

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    imgPanel = MakeLabel(GroupBox1, "imgPanel", QString());
    imgPanel->setPixmap(PanelPicture(kPictureSize));
    imgPanel->setFixedSize(kPictureSize, kPictureSize);
    lbTitle = MakeLabel(GroupBox1, "lbTitle", QString());
    QFont titleFont = lbTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 4);
    lbTitle->setFont(titleFont);
    lbNotice = MakeLabel(GroupBox1, "lbNotice", QString());
    lbVersion = MakeLabel(GroupBox1, "lbVersion", QString());
    lbVersion->setAlignment(Qt::AlignCenter);
    lbVersion->installEventFilter(this);
    btOK = MakeButton(this, "btOK", QStringLiteral("OK"));
    btOK->setDefault(true);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->addStretch();
    texts->addWidget(lbTitle);
    texts->addWidget(lbNotice);
    texts->addSpacing(12);
    texts->addWidget(lbVersion);
    texts->addStretch();
    auto *group = new QHBoxLayout(GroupBox1);
    group->addWidget(imgPanel, 0, Qt::AlignTop);
    group->addSpacing(12);
    group->addLayout(texts, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(GroupBox1);
    layout->addLayout(CentredButtonRow({btOK}));

    FormCreate();
    Localizer.RegisterAndTranslateForm(this);
}

TFormAbout::~TFormAbout()
{
    if (FormAbout == this)
        FormAbout = nullptr;
}

QString TFormAbout::VersionText()
{
    return QStringLiteral("V ") + QStringLiteral("1.2") + QStringLiteral(" Build ")
        + QStringLiteral("03152011");
}

void TFormAbout::FormCreate()
{
    lbVersion->setText(VersionText());
    lbTitle->setText(ApplicationTitle());
    lbNotice->setText(QStringLiteral("The menu designer of the Zel operator panels"));
}

void TFormAbout::lbVersionClick()
{
    UiServices().ShowBox(TBoxRequest::Make(
        TBoxRequest::Plain, QStringLiteral("Locale ID=") + QString::number(Localizer.UserLocaleId()),
        ApplicationTitle()));
}

bool TFormAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lbVersion && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        RunGuarded([this] { lbVersionClick(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

TFormAbout &AboutForm()
{
    if (!FormAbout)
        FormAbout = new TFormAbout();
    return *FormAbout;
}
