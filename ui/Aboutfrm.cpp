// The About box.
#include "Aboutfrm.h"

#include "Dialogbuttons.h"
#include "Itemdialog.h"
#include "Lumor_unicode.h"
#include "UiServices.h"
#include "Zelapplication.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

TFormAbout *FormAbout = nullptr;

namespace {

constexpr int kPictureSize = 96;

// The program's picture: the front of a panel, its display lit with a menu,
// the four arrow keys and the two round keys below.
QPixmap PanelPicture()
{
    QPixmap picture(kPictureSize, kPictureSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 64, 72), 2));
    painter.setBrush(QColor(200, 204, 210));
    painter.drawRoundedRect(QRectF(6, 4, 84, 88), 8, 8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(16, 20, 28));
    painter.drawRect(QRectF(14, 12, 68, 44));
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(QColor(120, 220, 255));
    painter.drawRect(QRect(18, 16, 40, 6));  // the title row
    for (int row = 0; row < 3; ++row)        // three menu rows
        painter.drawRect(QRect(18, 28 + 8 * row, 24 + 8 * (row % 2), 4));
    painter.drawRect(QRect(70, 28, 4, 4));  // the cursor
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(80, 86, 96));
    const QPointF keys[] = {{30, 66}, {30, 82}, {20, 74}, {40, 74}};
    for (const QPointF &key : keys)
        painter.drawRect(QRectF(key.x() - 4, key.y() - 4, 8, 8));
    painter.setBrush(QColor(200, 60, 50));
    painter.drawEllipse(QPointF(62, 74), 6, 6);
    painter.setBrush(QColor(60, 160, 80));
    painter.drawEllipse(QPointF(78, 74), 6, 6);
    return picture;
}

}  // namespace

TFormAbout::TFormAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("About"));

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    imgPanel = MakeLabel(GroupBox1, "imgPanel", QString());
    imgPanel->setPixmap(PanelPicture());
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
