// The localised question and message box, and the numbered warnings.
#include "MessageBox.h"

#include "Localizer.h"
#include "UiServices.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpacerItem>
#include <QStyle>

TfmYesNo *fmYesNo = nullptr;

namespace {

// The button layout of the box shown last, for the modes that keep it; the
// design shows all three buttons.
int gLastLayout = 1;

// The design sizes, kept as the least the parts take.
constexpr int kButtonWidth = 81;
constexpr int kButtonHeight = 33;
constexpr int kMessageWidth = 350;
constexpr int kPictureSize = 64;
// Wider lines are wrapped.
constexpr int kMaxMessageWidth = 640;

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

QPushButton *MakeButton(TfmYesNo *form, const char *name, const QString &text, int result)
{
    auto *button = new QPushButton(text, form);
    button->setObjectName(QLatin1String(name));
    button->setMinimumSize(kButtonWidth, kButtonHeight);
    QObject::connect(button, &QPushButton::clicked, form, [form, result] { form->done(result); });
    return button;
}

// One of the style's message pictures at the size of the box's picture.
QPixmap MessagePicture(const QStyle &style, QStyle::StandardPixmap kind)
{
    const QPixmap picture = style.standardIcon(kind).pixmap(kPictureSize, kPictureSize);
    return picture.size() == QSize(kPictureSize, kPictureSize)
        ? picture
        : picture.scaled(kPictureSize, kPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

int ShowRequest(const TBoxRequest &request)
{
    gLastLayout = request.mode;
    return UiServices().ShowBox(request);
}

}  // namespace

TfmYesNo::TfmYesNo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmYesNo"));
    QFont face(QStringLiteral("Tahoma"));
    face.setPixelSize(13);
    setFont(face);

    bbYes = MakeButton(this, "bbYes", QStringLiteral("&Yes"), mrYes);
    bbYes->setDefault(true);

    lbWaring = new QLabel(this);
    lbWaring->setObjectName(QStringLiteral("lbWaring"));
    lbWaring->setAlignment(Qt::AlignCenter);
    lbWaring->setMinimumWidth(kMessageWidth);

    WideImage1 = new QLabel(this);
    WideImage1->setObjectName(QStringLiteral("WideImage1"));
    WideImage1->setFixedSize(kPictureSize, kPictureSize);
    WideImage1->setAlignment(Qt::AlignCenter);
    WideImage1->setPixmap(MessagePicture(*style(), QStyle::SP_MessageBoxQuestion));

    bbCancel = MakeButton(this, "bbCancel", QStringLiteral("Cancel"), mrCancel);
    bbNo = MakeButton(this, "bbNo", QStringLiteral("&No"), mrNo);

    // The picture at the top left, the message below it, the buttons centred
    // at the bottom; the box takes the size its texts need.
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 8, 16, 16);
    layout->addWidget(WideImage1, 0, Qt::AlignLeft);
    layout->addWidget(lbWaring);
    // Room for the caption in the title bar.
    captionRoom_ = new QSpacerItem(0, 16, QSizePolicy::Minimum, QSizePolicy::Fixed);
    layout->addItem(captionRoom_);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(15);
    buttons->addStretch();
    for (QPushButton *button : {bbYes, bbNo, bbCancel})
        buttons->addWidget(button);
    buttons->addStretch();
    layout->addLayout(buttons);

    Localizer.TranslateForm(this);
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
    if (mode < 0 || mode > 2)
        return;
    bbNo->setVisible(mode != 2);
    bbCancel->setVisible(mode == 1);
}

void TfmYesNo::SetMessage(const QString &text)
{
    lbWaring->setText(text);
    const QFontMetrics metrics(lbWaring->font());
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    const bool wrap = widest > kMaxMessageWidth;
    lbWaring->setWordWrap(wrap);
    if (wrap) {
        lbWaring->setFixedWidth(kMaxMessageWidth);
    } else {
        lbWaring->setMinimumWidth(kMessageWidth);
        lbWaring->setMaximumWidth(QWIDGETSIZE_MAX);
    }
}

QString TfmYesNo::Message() const
{
    return lbWaring->text();
}

void TfmYesNo::Present(const TBoxRequest &request)
{
    SetMessage(request.text);
    setWindowTitle(request.caption);
    const QMargins margins = layout()->contentsMargins();
    captionRoom_->changeSize(qMax(0, CaptionWidth(request.caption) - margins.left() - margins.right()), 16,
                             QSizePolicy::Minimum, QSizePolicy::Fixed);
    layout()->invalidate();
    ArrangeButtons(request.mode);
    // A question shows the question picture; a one-button box the
    // information picture, or the warning picture for an input warning.
    QStyle::StandardPixmap picture = QStyle::SP_MessageBoxQuestion;
    if (bbNo->isHidden())
        picture = request.kind == TBoxRequest::Warning ? QStyle::SP_MessageBoxWarning
                                                       : QStyle::SP_MessageBoxInformation;
    WideImage1->setPixmap(MessagePicture(*style(), picture));
}

int CaptionWidth(const QString &caption)
{
    // The title bar's font is the desktop's: taken as the bold application
    // font, with room for the window's icon and its three buttons.
    QFont face = QApplication::font();
    face.setBold(true);
    const int room = 5 * QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return QFontMetrics(face).horizontalAdvance(caption) + room;
}

TfmYesNo *YesNoForm()
{
    if (!fmYesNo) {
        fmYesNo = new TfmYesNo();
        Localizer.RegisterForm(fmYesNo);
    }
    return fmYesNo;
}

int ShowYesNo(TfmYesNo *, const QString &defaultMessage, const QString &messageId,
              const QString &defaultCaption, const QString &captionId, int mode)
{
    const QString yesno = QStringLiteral("yesno");
    return ShowRequest(TBoxRequest::MakeQuestion(Localizer.GetText(defaultMessage, yesno, messageId),
                                                 Localizer.GetText(defaultCaption, yesno, captionId),
                                                 mode >= 0 && mode <= 2 ? mode : gLastLayout, messageId));
}

int ShowYesNo(TfmYesNo *form, const YesNoQuestion &question)
{
    return ShowYesNo(form, QString::fromUtf8(question.defaultMessage), QString::fromUtf8(question.messageId),
                     QString::fromUtf8(question.defaultCaption), QString::fromUtf8(question.captionId),
                     question.mode);
}

int ShowMessageBox(TfmYesNo *, const QString &text, const QString &caption)
{
    return ShowRequest(TBoxRequest::Make(TBoxRequest::Message, text, caption));
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
    TBoxRequest request = TBoxRequest::Make(TBoxRequest::Warning, WarningText(code), WarningCaption());
    request.warningCode = code;
    ShowRequest(request);
}
