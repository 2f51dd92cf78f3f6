// The image viewer.
#include "ImageViewer.h"

#include "ImageTrace.h"
#include "UiServices.h"

#include <QFileDialog>
#include <QFont>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <vector>

TFormDebug *FormDebug = nullptr;

namespace {

QString RunOpenDialog(TFormDebug &form)
{
    TFileRequest request;
    request.filter = form.odOpenDebugFile->nameFilters().join(QStringLiteral(";;"));
    request.parent = &form;
    return UiServices().ChooseFile(request);
}

}  // namespace

TFormDebug::TFormDebug(QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormDebug"));
    setWindowTitle(QStringLiteral("FormDebug"));
    setModal(false);
    resize(710, 401);

    BitBtn1 = new QPushButton(QStringLiteral("Open  File"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormDebug::BitBtn1Click);

    tvTrace = new QTreeWidget(this);
    tvTrace->setObjectName(QStringLiteral("tvTrace"));
    tvTrace->setHeaderHidden(true);
    tvTrace->setColumnCount(1);
    tvTrace->setUniformRowHeights(true);
    QFont font(QStringLiteral("Lucida Console"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(13);
    tvTrace->setFont(font);

    odOpenDebugFile = new QFileDialog(this);
    odOpenDebugFile->setObjectName(QStringLiteral("odOpenDebugFile"));
    odOpenDebugFile->setOption(QFileDialog::DontUseNativeDialog);
    odOpenDebugFile->setAcceptMode(QFileDialog::AcceptOpen);
    odOpenDebugFile->setFileMode(QFileDialog::ExistingFile);
    odOpenDebugFile->setNameFilter(QStringLiteral("*.mda"));

    auto *top = new QHBoxLayout();
    top->addWidget(BitBtn1);
    top->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tvTrace, 1);
}

TFormDebug::~TFormDebug()
{
    if (FormDebug == this)
        FormDebug = nullptr;
}

void TFormDebug::BitBtn1Click()
{
    QString path;
    try {
        path = RunOpenDialog(*this);
        if (!path.isEmpty())
            LoadImageFile(path);
    } catch (const std::exception &error) {
        TwImageTrace trace;
        const QString text =
            QStringLiteral("Cannot show %1: %2").arg(path, QString::fromLocal8Bit(error.what()));
        trace.Lines.push_back({0, text, true});
        trace.Stops.append(text);
        ShowTrace(trace);
    }
}

bool TFormDebug::LoadImageFile(const QString &path)
{
    const TwImageTrace trace = TraceMenuImageFile(path);
    ShowTrace(trace);
    return trace.Stops.isEmpty();
}

void TFormDebug::ShowTrace(const TwImageTrace &trace)
{
    tvTrace->setUpdatesEnabled(false);
    tvTrace->clear();
    QList<QTreeWidgetItem *> topItems;
    std::vector<QTreeWidgetItem *> path;
    std::vector<QTreeWidgetItem *> stops;
    for (const TwTraceLine &line : trace.Lines) {
        path.resize(std::min(static_cast<size_t>(std::max(line.Depth, 0)), path.size()));
        auto *item = path.empty() ? new QTreeWidgetItem(QStringList(line.Text))
                                  : new QTreeWidgetItem(path.back(), QStringList(line.Text));
        if (path.empty())
            topItems.append(item);
        path.push_back(item);
        if (line.Stop)
            stops.push_back(item);
    }
    tvTrace->addTopLevelItems(topItems);
    for (QTreeWidgetItem *stop : stops) {
        for (QTreeWidgetItem *up = stop->parent(); up && !up->isExpanded(); up = up->parent())
            up->setExpanded(true);
    }
    tvTrace->setUpdatesEnabled(true);
    if (!stops.empty()) {
        tvTrace->setCurrentItem(stops.front());
        tvTrace->scrollToItem(stops.front());
    }
}

TFormDebug *DebugForm()
{
    if (!FormDebug)
        FormDebug = new TFormDebug();
    return FormDebug;
}

void ShowDebugForm()
{
    TFormDebug *form = DebugForm();
    form->show();
    form->raise();
    form->activateWindow();
}
