// What the lite and the full file dialogs share.
#include "ApOpenSaveComm.h"

void ApCommonGetNamesList(const QString &text, QStringList &list)
{
    list.clear();
    if (text.startsWith(QLatin1Char('"'))) {
        qsizetype from = 0;
        while (from < text.size()) {
            const qsizetype open = text.indexOf(QLatin1Char('"'), from);
            if (open < 0)
                break;
            const qsizetype close = text.indexOf(QLatin1Char('"'), open + 1);
            if (close < 0)
                break;
            list.append(text.mid(open + 1, close - open - 1));
            from = close + 1;
        }
    }
    if (list.isEmpty() && !text.isEmpty())
        list.append(text);
}
