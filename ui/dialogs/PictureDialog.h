// The picture dialog: the one-bit picture of a startup screen (kind 301) or
// of the screen saver (kind 400), kept as "ImageData" text (PictureData.h).
//
// The picture has the size of the current panel model's display
// (CurrentModel). A pixel is lit when it is exactly white; on the 128 x 64
// model the picture is stored turned by 180 degrees, on the 128 x 96 model as
// shown. A screen saver without a picture shows an 8 x 8 checkerboard that is
// never saved.
//
// An item dialog (ItemDialog.h) without input checks: OK carries "Caption"
// and "Description" over and writes "ImageData" (none for the checkerboard;
// the stored text as it was while the picture is the one it was loaded from).
// Load takes a picture file of the display's size; a picture of another
// size shows the picture-format warning (PictureFormatWarning.h), a file that cannot be
// read or is too large a message, and either keeps the picture shown before.
// Inverse turns every white pixel dark and every other one white; Clear
// (screen saver only) goes back to the checkerboard. Translated under the
// form name "FormScreen"; the caller sets the title.
#pragma once

#include "ItemDialog.h"

#include <QImage>

class QFrame;
class QLabel;

class TFormScreen : public TItemDialog {
    Q_OBJECT
public:
    explicit TFormScreen(QWidget *parent = nullptr);
    ~TFormScreen() override;

    // Largest picture file Load reads.
    static constexpr qint64 MaxPictureFileBytes = 4 * 1024 * 1024;

    // The picture as "ImageData" text; empty unless it is a one-bit picture
    // of width x height (the checkerboard, a picture of another size).
    QString ImageToHex(int width, int height) const;
    // Shows text as a width x height picture; the empty text of a screen
    // saver shows the checkerboard.
    void HexToImage(const QString &text, int width, int height);
    // The picture shown: one bit per pixel (index 1 white), or the
    // checkerboard in colour.
    const QImage &Picture() const { return picture_; }

    void btnLoadClick();
    void btnInverseClick();
    void btnClearClick();

    QPushButton *btnLoad;
    QLabel *lbCaption;
    QFrame *blImage;
    QLabel *imgImage;
    QPushButton *btnInverse;
    QPushButton *btnClear;

protected:
    bool AcceptsNode(const TwNode &node) const override;
    void LoadControls(TwNode &node) override;
    void SaveControls(TwNode &node) override;

private:
    void SetPicture(const QImage &picture);

    bool saver_ = false;
    QImage picture_;
};

// The one instance, made on first use and kept until the program ends.
extern TFormScreen *FormScreen;
// FormScreen, made on first use.
TFormScreen *ScreenForm();
