// The About box: the program's picture, its title and a short notice, and the version
// "V 1.2 Build 03152011"; a click on the version shows the user's locale id.
// Translated under the form name "FormAbout".
#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget *parent = nullptr);
    ~TFormAbout() override;

    // The version text.
    static QString VersionText();
    // A plain box with "Locale ID=" and the user's locale id in decimal.
    void lbVersionClick();

    QGroupBox *GroupBox1;
    QLabel *imgPanel;
    QLabel *lbTitle;
    QLabel *lbNotice;
    QLabel *lbVersion;
    QPushButton *btOK;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
};

// The one instance, made on first use and kept until the program ends.
extern TFormAbout *FormAbout;
TFormAbout &AboutForm();
