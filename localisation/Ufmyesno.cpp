// The localised question and message box, and the numbered warnings.
#include "Ufmyesno.h"

#include "Lumor_unicode.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>

TfmYesNo *fmYesNo = nullptr;

namespace {

YesNoRunner gRunner;

constexpr int kButtonWidth = 81;
constexpr int kButtonHeight = 33;
constexpr int kButtonTop = 152;
constexpr int kMessageLeft = 16;
constexpr int kMessageTop = 96;
constexpr int kMessageWidth = 350;
constexpr int kMessageHeight = 16;

struct Warning {
    int code;
    const char *text;
};

constexpr Warning kWarnings[] = {
    {2000, "Please input menu string !"},
    {2001, "Please input reference number !"},
    {2002, "Input error, please input again !"},
    {2003, "Please input max. value !"},
    {2004, "Please input min. value !"},
    {2005, "Decimal point can not exceed 4 !"},
    {2006, "Invalid input value !"},
    {2007, "Max. value should big than min. !"},
    {2008, "Input string size exceed the limit!"},
    {2009, "Reference must be discrete type !"},
    {2010, "Input should be a string !"},
    {2011, "This field should not be empty !"},
};
constexpr const char *kUnknownWarning = "Unknown error !";

int Run(TfmYesNo &form)
{
    return gRunner ? gRunner(form) : form.exec();
}

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &text, int left, int result,
                        TfmYesNo *form)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
    QObject::connect(button, &QPushButton::clicked, form, [form, result] { form->done(result); });
    return button;
}

}  // namespace

TfmYesNo::TfmYesNo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmYesNo"));
    setFixedSize(405, 235);
    QFont face(QStringLiteral("Tahoma"));
    face.setPixelSize(13);
    setFont(face);

    bbYes = MakeButton(this, "bbYes", QStringLiteral("&Yes"), 64, mrYes, this);
    bbYes->setDefault(true);

    lbWaring = new QLabel(this);
    lbWaring->setObjectName(QStringLiteral("lbWaring"));
    lbWaring->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbWaring->setWordWrap(true);
    lbWaring->setGeometry(kMessageLeft, kMessageTop, kMessageWidth, kMessageHeight);

    WideImage1 = new QLabel(this);
    WideImage1->setObjectName(QStringLiteral("WideImage1"));
    WideImage1->setGeometry(8, 8, 64, 64);
    WideImage1->setAlignment(Qt::AlignCenter);
    const QPixmap picture = style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(64, 64);
    WideImage1->setPixmap(picture.size() == QSize(64, 64)
                              ? picture
                              : picture.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    bbCancel = MakeButton(this, "bbCancel", QStringLiteral("Cancel"), 256, mrCancel, this);
    bbNo = MakeButton(this, "bbNo", QStringLiteral("&No"), 160, mrNo, this);

    Localizer.RegisterAndTranslateForm(this);
}

TfmYesNo::~TfmYesNo()
{
    if (fmYesNo == this)
        fmYesNo = nullptr;
}

void TfmYesNo::reject()
{
    done(mrCancel);
}

void TfmYesNo::ArrangeButtons(int mode)
{
    switch (mode) {
    case 0:
        bbYes->move(96, kButtonTop);
        bbNo->move(216, kButtonTop);
        bbNo->setVisible(true);
        bbCancel->setVisible(false);
        break;
    case 1:
        bbYes->move(64, kButtonTop);
        bbNo->move(160, kButtonTop);
        bbNo->setVisible(true);
        bbCancel->setVisible(true);
        break;
    case 2:
        bbYes->move(160, kButtonTop);
        bbNo->setVisible(false);
        bbCancel->setVisible(false);
        break;
    default: break;
    }
}

void TfmYesNo::SetMessage(const QString &text)
{
    lbWaring->setText(text);
    // The label is one line high by design; a message of more lines grows
    // downwards, and upwards once it would reach the buttons.
    const QFontMetrics metrics(lbWaring->font());
    const int needed =
        metrics.boundingRect(QRect(0, 0, kMessageWidth, 10000), Qt::AlignHCenter | Qt::TextWordWrap, text)
            .height();
    const int height = qMax(kMessageHeight, needed);
    const int bottomLimit = kButtonTop - 4;
    const int top = qMax(8, qMin(kMessageTop, bottomLimit - height));
    lbWaring->setGeometry(kMessageLeft, top, kMessageWidth, qMin(height, bottomLimit - top));
}

QString TfmYesNo::Message() const
{
    return lbWaring->text();
}

TfmYesNo *YesNoForm()
{
    if (!fmYesNo)
        fmYesNo = new TfmYesNo();
    return fmYesNo;
}

void SetYesNoRunner(YesNoRunner newRunner)
{
    gRunner = std::move(newRunner);
}

int ShowYesNo(TfmYesNo *form, const QString &defaultMessage, const QString &messageId,
              const QString &defaultCaption, const QString &captionId, int mode)
{
    if (!form)
        form = YesNoForm();
    const QString yesno = QStringLiteral("yesno");
    form->SetMessage(ExpandLineBreaks(Localizer.GetText(defaultMessage, yesno, messageId)));
    form->setWindowTitle(Localizer.GetText(defaultCaption, yesno, captionId));
    form->ArrangeButtons(mode);
    return Run(*form);
}

int ShowYesNo(TfmYesNo *form, const YesNoQuestion &question)
{
    return ShowYesNo(form, QString::fromUtf8(question.defaultMessage), QString::fromUtf8(question.messageId),
                     QString::fromUtf8(question.defaultCaption), QString::fromUtf8(question.captionId),
                     question.mode);
}

int ShowMessageBox(TfmYesNo *form, const QString &text, const QString &caption)
{
    if (!form)
        form = YesNoForm();
    form->SetMessage(text);
    form->setWindowTitle(caption);
    form->ArrangeButtons(2);
    return Run(*form);
}

const char *WarningDefaultText(int code)
{
    for (const Warning &warning : kWarnings) {
        if (warning.code == code)
            return warning.text;
    }
    return kUnknownWarning;
}

QString WarningText(int code)
{
    const QString prefix = QStringLiteral("lumorU");
    if (code >= 2000 && code <= 2011)
        return Localizer.GetText(QString::fromUtf8(WarningDefaultText(code)), prefix,
                                 QStringLiteral("Warn") + QString::number(code));
    return Localizer.GetText(QString::fromUtf8(kUnknownWarning), prefix, QStringLiteral("WarnDefault"));
}

QString WarningCaption()
{
    return Localizer.GetText(QStringLiteral("Warn"), QStringLiteral("lumorU"), QStringLiteral("WarnCaption"));
}

void ShowWarning(int code)
{
    ShowMessageBox(fmYesNo, ExpandLineBreaks(WarningText(code)), WarningCaption());
}
