// The retry question of the download.
#include "Commtimeoutfrm.h"

#include "Lumor_unicode.h"
#include "ModalResult.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>

TfrmCommTimeOut *frmCommTimeOut = nullptr;

namespace {

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(geometry);
    return label;
}

QPushButton *MakeButton(TfrmCommTimeOut *form, const char *name, const QString &text, int left, int result)
{
    auto *button = new QPushButton(text, form);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, 128, 81, 27);
    QObject::connect(button, &QPushButton::clicked, form, [form, result] { form->done(result); });
    return button;
}

}  // namespace

TfrmCommTimeOut::TfrmCommTimeOut(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCommTimeOut"));
    setWindowTitle(QStringLiteral("Communication Error"));
    setFixedSize(329, 170);

    lbWarnTop =
        MakeLabel(this, "lbWarnTop", QStringLiteral("Communication Time Out Error !"), {88, 24, 230, 20});
    btYes = MakeButton(this, "btYes", QStringLiteral("&Yes"), 72, mrYes);
    btYes->setDefault(true);
    btNo = MakeButton(this, "btNo", QStringLiteral("&No"), 176, mrNo);
    lbWarnBottom = MakeLabel(this, "lbWarnBottom", QStringLiteral("Proceed to retry ?"), {88, 56, 230, 20});

    WideImage1 = new QLabel(this);
    WideImage1->setObjectName(QStringLiteral("WideImage1"));
    WideImage1->setGeometry(12, 16, 65, 65);
    WideImage1->setAlignment(Qt::AlignCenter);
    WideImage1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(65, 65));

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
