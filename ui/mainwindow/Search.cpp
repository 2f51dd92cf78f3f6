// The main window's search command.
#include "MainWindow.h"

#include "Localizer.h"
#include "Operands.h"
#include "UiServices.h"
#include "dialogs/SearchDialog.h"

#include <QLineEdit>
#include <QListWidget>

bool TFormMain::miSearchClick()
{
    if (!RuleAllowsNow(Command::Search))
        return false;
    TwNode *root = Root();
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
    for (const TwSearchHit &hit : hits)
        AddSearchResultLine(hit.Text, hit.Node);
    AddSearchResultLine(hits.isEmpty()
                            ? MainText("No search result found", "SerachFail")
                            : FormatText(MainText("Total %d search result(s) found", "SearchResult"),
                                         {QString::number(hits.size())}),
                        nullptr);
    lbSearchResult->setUpdatesEnabled(true);
    lbSearchResult->show();
    return true;
}
