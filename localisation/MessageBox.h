// The localised question and message box TfmYesNo, and the numbered warnings.
//
// ShowYesNo asks a question whose message and caption are looked up under the
// prefix "yesno"; ShowMessageBox shows a given text with one button;
// ShowWarning shows warning 2000..2011 (prefix "lumorU") as such a message.
// Results: mrYes (6), mrNo (7), mrCancel (2, also when the window is closed
// from its title bar).
//
// Every showing is a fresh box made for it (by the UI services, UiServices.h),
// so a question and an error raised while it is open are shown together and
// neither changes the other. The one instance fmYesNo of start-up is kept for
// the start-up order and the language switch; the form argument of the
// functions below is accepted for the callers' sake and not used.
// Headless: install scripted UI services; they see each box as a TBoxRequest.
#pragma once

#include "ModalResult.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSpacerItem;
struct TBoxRequest;

class TfmYesNo : public QDialog {
    Q_OBJECT
public:
    // Translated in the current language; not registered for the language
    // switch (YesNoForm registers the long-lived instance).
    explicit TfmYesNo(QWidget *parent = nullptr);
    ~TfmYesNo() override;

    // Button layouts: 0 Yes/No, 1 Yes/No/Cancel, 2 one button (bbYes
    // centred); any other mode keeps the layout the box has.
    void ArrangeButtons(int mode);
    // Sets the message text; the box grows to its lines, and wraps lines
    // wider than a third of a common screen.
    void SetMessage(const QString &text);
    QString Message() const;
    // Message, caption, buttons and picture of a request; the box is wide
    // enough for its caption.
    void Present(const TBoxRequest &request);

    // Components, named as the language file's section "fmYesNo" addresses them.
    QPushButton *bbYes;
    QLabel *lbWaring;
    QLabel *WideImage1;
    QPushButton *bbCancel;
    QPushButton *bbNo;

public slots:
    // Closing from the title bar (or Esc) answers Cancel.
    void reject() override;

private:
    QSpacerItem *captionRoom_;
};

// The least width of a window whose title bar shows caption whole.
int CaptionWidth(const QString &caption);

// The one instance of start-up, kept until the program ends.
extern TfmYesNo *fmYesNo;
// fmYesNo, made and registered for the language switch on first use.
TfmYesNo *YesNoForm();

// Asks a question: message and caption looked up under "yesno" with their
// defaults, buttons by mode; a mode other than 0, 1, 2 takes the layout of
// the box shown last.
int ShowYesNo(TfmYesNo *form, const QString &defaultMessage, const QString &messageId,
              const QString &defaultCaption, const QString &captionId, int mode);

// Shows text under caption with the one button.
int ShowMessageBox(TfmYesNo *form, const QString &text, const QString &caption);

// Shows the localised text of a warning code under the localised caption
// "Warn"; codes outside 2000..2011 show "Unknown error !".
void ShowWarning(int code);

// The localised text of a warning code, and the caption of warnings.
QString WarningText(int code);
QString WarningCaption();
// The built-in text of a warning code (the unknown-code text outside the range).
const char *WarningDefaultText(int code);

// The designer's questions.
struct YesNoQuestion {
    const char *messageId;
    const char *defaultMessage;
    const char *captionId;
    const char *defaultCaption;
    int mode;
};

namespace YesNoQuestions {
inline constexpr YesNoQuestion OverWrite{"WarnOverWrite", "File Existed,Over Write ?", "CaptionOverWrite",
                                         "Save As", 0};
inline constexpr YesNoQuestion CloseModified{"WarnModifyId", "Data has been modified, Save to File ?",
                                             "WarnCloseId", "Close", 1};
inline constexpr YesNoQuestion ImportTruncate{
    "TruncateId", "Imported menu will be truncated for the level exceed the limit(6)\n   Proceed anyway ?",
    "CaptionImportId", "Import Error", 0};
inline constexpr YesNoQuestion PasteTruncate{
    "warn_too_depth",
    "Pasted menu will be truncated\n for those part exceed the level #6\n   Proceed anyway ?",
    "Paste_warn_cap", "Paste Waring", 0};
inline constexpr YesNoQuestion DeleteWithChildren{"WarnDeleteId",
                                                  "The child nodes will be also deleted\nConfirm to delete ?",
                                                  "CaptionDeleteID", "Delete", 0};
inline constexpr YesNoQuestion DeleteSingle{"WarnDeleteSnodeId", "Confirm to delete ?", "CaptionDeleteID",
                                            "Delete", 0};
inline constexpr YesNoQuestion DeleteChildren{"WarnDeleteLeafId", "Confirm to delete the child nodes ?",
                                              "CaptionDeleteId", "Delete", 0};
inline constexpr YesNoQuestion All[] = {OverWrite,          ImportTruncate, PasteTruncate, CloseModified,
                                        DeleteWithChildren, DeleteSingle,   DeleteChildren};
}  // namespace YesNoQuestions

int ShowYesNo(TfmYesNo *form, const YesNoQuestion &question);
