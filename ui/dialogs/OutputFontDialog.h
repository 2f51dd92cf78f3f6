// The output font preference: the face the panel's texts are drawn in
// (OutputFontName, OutputFont.h), chosen from the installed fonts.
//
// The dialog is made once at start-up: it reads "OutFont" from the
// designer's settings (through the UI services), "Tahoma" when the value is
// missing or names a font that is not installed, and sets OutputFontName.
// OK takes the chosen face; Cancel goes back to the one in use. The face is
// written back to the settings only when the dialog is destroyed, at program
// end. The font list is a fixed drop-down list: some face is always chosen.
//
// Translated under the form name "fmFontSelect".
#pragma once

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QSettings;

class TfmFontSelect : public QDialog {
    Q_OBJECT
public:
    // Offers OutputFontFamilies() (GlyphRaster.h), which always holds "Tahoma".
    explicit TfmFontSelect(QWidget *parent = nullptr);
    ~TfmFontSelect() override;

    // ---- Handlers ----
    // OutputFontName := the chosen face; closes with OK.
    void btOKClick();
    // The choice goes back to OutputFontName; closes with Cancel.
    void btCancelClick();

    QLabel *lbOutFont;
    QComboBox *ComboBox1;
    QPushButton *btOK;
    QPushButton *btCancel;

public slots:
    // Cancel, also from the title bar (or Esc): the choice goes back to
    // OutputFontName; closes with Cancel (2).
    void reject() override;

private:
    void FormCreate();
    void FormDestroy();
    // Selects face in the list; false when it is not listed.
    bool SelectFace(const QString &face);

    std::unique_ptr<QSettings> settings_;
};

// The one instance, made at start-up and kept until the program ends.
extern TfmFontSelect *fmFontSelect;
// fmFontSelect, made on first use when start-up has not made it yet.
TfmFontSelect *FontSelectForm();
