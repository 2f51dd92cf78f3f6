// The compile result: the menu image's size against the panel's limit, as a
// line and as a gauge, and the image file, which becomes the file the menu
// download offers (MenuFileName).
//
// An image larger than the limit does not fit into the panel: its size line
// and gauge turn red and a line below says by how much it is too large.
//
// Translated under the form name "FormCompile"; its size and file lines come
// from the string table under the prefix "compile".
//
// Use: CompileForm().ShowResult(file, size, kMenuImageLimit), then
// UiServices().RunDialog(CompileForm()).
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

// The most bytes a menu image may take in the panel.
inline constexpr uint32_t kMenuImageLimit = 131072;

class TFormCompile : public QDialog {
    Q_OBJECT
public:
    explicit TFormCompile(QWidget *parent = nullptr);
    ~TFormCompile() override;

    // Fills the dialog for an image of codeSize bytes written to outputFile,
    // and makes that file the one the menu download offers. The gauge shows
    // the size as a whole percentage of the limit, at most 100.
    void ShowResult(const QString &outputFile, uint32_t codeSize, uint32_t limit);
    // Whether the result shown is larger than its limit.
    bool SizeExceeded() const { return exceeded_; }

    QLabel *lbInformation;
    QProgressBar *cgInformat;
    QFrame *Bevel1;
    QLabel *lbOutFile;
    QLabel *lbSizeError;  // shown only for an image above the limit
    QFrame *Bevel2;
    QPushButton *btOK;

private:
    bool exceeded_ = false;
};

// The one instance, made on the first compile and kept until the program ends.
extern TFormCompile *FormCompile;
// FormCompile, made on first use.
TFormCompile &CompileForm();
