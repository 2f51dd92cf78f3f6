// The picture-format warning: a picture chosen for a startup screen or the
// screen saver has not the current panel model's size. Translated under the
// form name "fmWarm"; its text comes from the string table under the prefix
// "Warm".
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TfmWarm : public QDialog {
    Q_OBJECT
public:
    explicit TfmWarm(QWidget *parent = nullptr);
    ~TfmWarm() override;

    QLabel *imgWarn;
    QLabel *lbWarnFormat;
    QPushButton *btWarmOk;
};

// The one instance, made at start-up and kept until the program ends.
extern TfmWarm *fmWarm;
// fmWarm, made on first use when start-up has not made it yet.
TfmWarm *WarmForm();

// Names the picture size of the current panel model (CurrentModel) in form's
// text and shows form modally through the UI services; a model of another
// id keeps the text shown last. A null form: WarmForm().
void ShowPictureFormatWarning(TfmWarm *form);
