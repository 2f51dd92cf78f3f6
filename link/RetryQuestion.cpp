// The retry question of the download.
#include "RetryQuestion.h"

#include "Localizer.h"
#include "ModalResult.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>

TfrmCommTimeOut *frmCommTimeOut = nullptr;

namespace {

// The design sizes, kept as the least the parts take.
constexpr int kButtonWidth = 81;
constexpr int kButtonHeight = 27;
constexpr int kTextWidth = 230;
constexpr int kPictureSize = 65;

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(kTextWidth);
    return label;
}

QPushButton *MakeButton(TfrmCommTimeOut *form, const char *name, const QString &text, int result)
{
    auto *button = new QPushButton(text, form);
    button->setObjectName(QLatin1String(name));
    button->setMinimumSize(kButtonWidth, kButtonHeight);
    QObject::connect(button, &QPushButton::clicked, form, [form, result] { form->done(result); });
    return button;
}

}  // namespace

TfrmCommTimeOut::TfrmCommTimeOut(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCommTimeOut"));
    setWindowTitle(QStringLiteral("Communication Error"));

    lbWarnTop = MakeLabel(this, "lbWarnTop", QStringLiteral("Communication Time Out Error !"));
    btYes = MakeButton(this, "btYes", QStringLiteral("&Yes"), mrYes);
    btYes->setDefault(true);
    btNo = MakeButton(this, "btNo", QStringLiteral("&No"), mrNo);
    lbWarnBottom = MakeLabel(this, "lbWarnBottom", QStringLiteral("Proceed to retry ?"));

    WideImage1 = new QLabel(this);
    WideImage1->setObjectName(QStringLiteral("WideImage1"));
    WideImage1->setFixedSize(kPictureSize, kPictureSize);
    WideImage1->setAlignment(Qt::AlignCenter);
    WideImage1->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(kPictureSize, kPictureSize));

    // The picture beside the two lines of the question, the buttons centred
    // below; the window takes the size its texts need.
    auto *texts = new QVBoxLayout;
    texts->addWidget(lbWarnTop);
    texts->addWidget(lbWarnBottom);
    texts->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(WideImage1, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btYes);
    buttons->addSpacing(20);
    buttons->addWidget(btNo);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(12, 16, 12, 12);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    Localizer.RegisterAndTranslateForm(this);
}

TfrmCommTimeOut::~TfrmCommTimeOut()
{
    if (frmCommTimeOut == this)
        frmCommTimeOut = nullptr;
}

void TfrmCommTimeOut::showEvent(QShowEvent *event)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget *window : windows) {
        if (qobject_cast<const QMainWindow *>(window) && window->isVisible()) {
            move(window->frameGeometry().center() - rect().center());
            break;
        }
    }
    QDialog::showEvent(event);
}

TfrmCommTimeOut *CommTimeOutForm()
{
    if (!frmCommTimeOut)
        frmCommTimeOut = new TfrmCommTimeOut();
    return frmCommTimeOut;
}
