// The main window's search command and its result list.
#include "Mainform.h"

#include "Lumor_unicode.h"
#include "Ufmsearch.h"
#include "UiServices.h"
#include "Wutil.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

namespace {

// A line's node, by its serial (TwNode::Serial); closing lines carry none.
constexpr int kSerialRole = Qt::UserRole;

}  // namespace

bool TFormMain::miSearchClick()
{
    TwNode *root = Root();
    if (!root)
        return false;
    TfmSearch &dialog = *SearchForm();
    if (UiServices().RunDialog(dialog) != QDialog::Accepted)
        return false;

    QList<TwSearchHit> hits;
    if (dialog.SearchByReference()) {
        int32_t number = 0;
        const uint32_t flag = ParseOperand(dialog.edtReference->text(), number);
        root->SearchByReference(hits, flag, number);
    } else {
        root->SearchByCaption(hits, dialog.edtFindString->text());
    }

    lbSearchResult->setUpdatesEnabled(false);
    lbSearchResult->clear();
    for (const TwSearchHit &hit : hits) {
        auto *line = new QListWidgetItem(hit.Text, lbSearchResult);
        line->setData(kSerialRole, QVariant::fromValue<qulonglong>(hit.Node->Serial));
    }
    const QString prefix = QStringLiteral("main");
    lbSearchResult->addItem(
        hits.isEmpty() ? Localizer.GetText(QStringLiteral("No search result found"), prefix,
                                           QStringLiteral("SerachFail"))
                       : FormatText(Localizer.GetText(QStringLiteral("Total %d search result(s) found"),
                                                      prefix, QStringLiteral("SearchResult")),
                                    {QString::number(hits.size())}));
    lbSearchResult->setUpdatesEnabled(true);
    lbSearchResult->show();
    return true;
}

TwNode *TFormMain::SearchResultNode(const QListWidgetItem *item) const
{
    if (!item || !Root())
        return nullptr;
    const QVariant serial = item->data(kSerialRole);
    return serial.isValid() ? Root()->FindBySerial(serial.toULongLong()) : nullptr;
}

void TFormMain::lbSearchResultClick(QListWidgetItem *item)
{
    TwNode *node = SearchResultNode(item);
    if (!node || !node->TreeNode)
        return;
    SelectNode(node);
    tvProject->setFocus();
}

void TFormMain::lbSearchResultDblClick(QListWidgetItem *item)
{
    TwNode *node = SearchResultNode(item);
    if (!node || !node->TreeNode)
        return;
    lbSearchResultClick(item);
    Execute(Command::Edit);
}
