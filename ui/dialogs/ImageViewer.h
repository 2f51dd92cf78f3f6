// The image viewer: a developer's window that opens a compiled menu image
// file and shows its header, sections and records as an indented tree of text
// lines (ImageTrace.h), so that an image can be checked field by field.
//
// It is shown without blocking the main window, made on first use and kept
// until the program ends. It takes no part in translation: its texts stay as
// they are in every language. The file is chosen through the UI services
// (UiServices.h) with the settings of odOpenDebugFile.
#pragma once

#include <QDialog>
#include <QString>

class QFileDialog;
class QPushButton;
class QTreeWidget;
struct TwImageTrace;

class TFormDebug : public QDialog {
    Q_OBJECT
public:
    explicit TFormDebug(QWidget *parent = nullptr);
    ~TFormDebug() override;

    QPushButton *BitBtn1;
    QTreeWidget *tvTrace;
    // Filter "*.mda": what the file choice offers.
    QFileDialog *odOpenDebugFile;

    // The button: runs the file choice and loads the chosen file; Cancel
    // leaves the tree as it was.
    void BitBtn1Click();
    // Reads the image file at path and shows it in place of the previous
    // tree; false when it could not be read whole, the tree then saying
    // where reading stopped.
    bool LoadImageFile(const QString &path);
    // Shows the lines in place of the previous tree, every stop line in view
    // and the first one selected.
    void ShowTrace(const TwImageTrace &trace);
};

// The one viewer, null until its first use.
extern TFormDebug *FormDebug;
// FormDebug, made on first use.
TFormDebug *DebugForm();
// Shows the viewer without blocking, made on first use, in front.
void ShowDebugForm();
