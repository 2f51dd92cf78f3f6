// What the lite and the full file dialogs share.
#include "ApDialogsCommon.h"

#include "ApDialogControls.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSettings>

#include <algorithm>
#include <memory>

namespace {

const char *const kName = "Name";
const char *const kPath = "Path";
const char *const kRegPath = "RegPath";
const char *const kIconDll = "IconDll";
const char *const kIcon = "Icon";
const char *const kIconHot = "IconHot";
const char *const kHint = "Hint";
const char *const kSpecFolder = "SpecFolder";
const char *const kAutoCaption = "AutoCaption";

// The number of a "Place_<n>" group, or -1.
int PlaceNumber(const QString &group)
{
    static const QRegularExpression pattern(QStringLiteral("^Place_(\\d{1,9})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(group);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

TApSpecShellFolder KeptSpecFolder(int number)
{
    for (TApSpecShellFolder folder : ApPlacesBarFolders) {
        if (number == folder)
            return folder;
    }
    return ftNone;
}

// The last part of a path, or the path without it when that part is empty.
QString NamePart(const QString &path)
{
    QString cleaned = path;
    cleaned.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const qsizetype slash = cleaned.lastIndexOf(QLatin1Char('/'));
    const QString name = cleaned.mid(slash + 1);
    if (!name.isEmpty())
        return name;
    return slash > 0 ? path.left(slash) : path;
}

// The patterns a filter's description ends in: "ZEL files (*.zel)" names "*.zel".
QStringList NamedPatterns(const QString &description)
{
    const QString trimmed = description.trimmed();
    const qsizetype open = trimmed.lastIndexOf(QLatin1Char('('));
    if (open < 0 || !trimmed.endsWith(QLatin1Char(')')))
        return {};
    static const QRegularExpression separators(QStringLiteral("[\\s;]+"));
    return trimmed.mid(open + 1, trimmed.size() - open - 2).split(separators, Qt::SkipEmptyParts);
}

}  // namespace

QList<TApNameFilter> ApNameFilters(const QString &filter)
{
    QList<TApNameFilter> result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        TApNameFilter entry;
        QStringList given;
        for (const QString &pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            given.append(trimmed);
            entry.Patterns.append(trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
        }
        if (entry.Patterns.isEmpty())
            entry.Patterns.append(QStringLiteral("*"));
        entry.Name = parts[i];
        if (!given.isEmpty() && NamedPatterns(entry.Name) != given)
            entry.Name += QStringLiteral(" (") + given.join(QLatin1Char(' ')) + QLatin1Char(')');
        result.append(entry);
    }
    return result;
}

void ApSetNameFilters(QFileDialog *dialog, const QString &filter, int index)
{
    const QList<TApNameFilter> entries = ApNameFilters(filter);
    if (entries.isEmpty())
        return;
    QStringList names;
    for (const TApNameFilter &entry : entries)
        names.append(entry.Name);
    dialog->setOption(QFileDialog::HideNameFilterDetails, false);
    dialog->setNameFilters(names);
    if (index >= 0 && index < names.size())
        dialog->selectNameFilter(names[index]);
    auto *files = dialog->findChild<QFileSystemModel *>();
    auto *types = qobject_cast<QComboBox *>(ApDlgControl(dialog, idFileType));
    if (!files || !types)
        return;
    // The dialog reads the patterns from the chosen name ("*.*" for every
    // file), and gives a typed name the extension of the first one; the
    // entry's own patterns and the name as typed take over after it.
    auto *field = qobject_cast<QLineEdit *>(ApDlgControl(dialog, idFileName));
    auto typed = std::make_shared<QString>(field ? field->text() : QString());
    const auto wildSuffix = [](const QString &name) {
        static const QRegularExpression wildcards(QStringLiteral("[*?]"));
        return QFileInfo(name).suffix().contains(wildcards);
    };
    const auto useEntry = [entries, files, field, typed, wildSuffix](int chosen) {
        if (chosen < 0 || chosen >= entries.size())
            return;
        files->setNameFilters(entries[chosen].Patterns);
        if (field && wildSuffix(field->text()))
            field->setText(*typed);
    };
    if (field) {
        QObject::connect(field, &QLineEdit::textChanged, dialog, [typed, wildSuffix](const QString &text) {
            if (!wildSuffix(text))
                *typed = text;
        });
    }
    QObject::connect(types, &QComboBox::activated, dialog, useEntry);
    useEntry(types->currentIndex());
}

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

QString TApPlace::GetPlaceName() const
{
    if (!AutoCaption)
        return PlaceName;
    if (PlaceSpecPath != ftNone)
        return GetSpecFolderName(PlaceSpecPath);
    return NamePart(PlaceRegPath.isEmpty() ? PlacePath : PlaceRegPath);
}

QString TApPlace::GetPlacePath() const
{
    if (PlaceSpecPath != ftNone)
        return GetSpecFolderPath(PlaceSpecPath);
    if (!PlaceRegPath.isEmpty())
        return ExtractRegStringValue(PlaceRegPath);
    return PlacePath;
}

qsizetype PlaceViaName(const TApPlaces &places, const QString &name, TApSpecShellFolder folder,
                       qsizetype from)
{
    for (qsizetype i = from; i < places.size(); ++i) {
        const TApPlace &place = places[i];
        if (folder != ftNone ? place.PlaceSpecPath == folder
                             : place.PlaceSpecPath == ftNone && place.GetPlaceName() == name)
            return i;
    }
    return -1;
}

bool TApPlacesBarOptions::SaveToRegistry() const
{
    const std::unique_ptr<QSettings> key = ApOpenUserKey(RegistryKey);
    if (!key || !key->isWritable())
        return false;
    const QStringList groups = key->childGroups();
    for (const QString &group : groups) {
        if (PlaceNumber(group) >= 0)
            key->remove(group);
    }
    for (qsizetype i = 0; i < Places.size(); ++i) {
        const TApPlace &place = Places[i];
        key->beginGroup(QStringLiteral("Place_%1").arg(i));
        key->setValue(QLatin1String(kName), place.GetPlaceName());
        key->setValue(QLatin1String(kPath), place.PlacePath);
        key->setValue(QLatin1String(kRegPath), place.PlaceRegPath);
        key->setValue(QLatin1String(kIconDll), place.PlaceIconDll);
        key->setValue(QLatin1String(kIcon), place.PlaceIcon);
        key->setValue(QLatin1String(kIconHot), place.PlaceHotIcon);
        key->setValue(QLatin1String(kHint), place.PlaceDesc);
        key->setValue(QLatin1String(kSpecFolder), int(place.PlaceSpecPath));
        key->setValue(QLatin1String(kAutoCaption), place.AutoCaption ? 1 : 0);
        key->endGroup();
    }
    key->sync();
    return key->status() == QSettings::NoError;
}

void TApPlacesBarOptions::LoadFromRegistry()
{
    const std::unique_ptr<QSettings> key = ApOpenUserKey(RegistryKey);
    if (!key)
        return;
    QList<std::pair<int, QString>> kept;
    const QStringList groups = key->childGroups();
    for (const QString &group : groups) {
        const int number = PlaceNumber(group);
        if (number >= 0)
            kept.append({number, group});
    }
    std::sort(kept.begin(), kept.end());
    qsizetype position = 0;
    for (const auto &[number, group] : kept) {
        key->beginGroup(group);
        const QString name = key->value(QLatin1String(kName)).toString();
        const TApSpecShellFolder folder =
            KeptSpecFolder(key->value(QLatin1String(kSpecFolder), int(ftNone)).toInt());
        // Places loaded before stay as they are, even under the same caption.
        qsizetype index = PlaceViaName(Places, name, folder, position);
        if (index < 0) {
            Places.append(TApPlace());
            index = Places.size() - 1;
        }
        Places.move(index, position);
        TApPlace &place = Places[position];
        place.PlaceName = name;
        place.PlacePath = key->value(QLatin1String(kPath)).toString();
        place.PlaceRegPath = key->value(QLatin1String(kRegPath)).toString();
        place.PlaceIconDll = key->value(QLatin1String(kIconDll)).toString();
        place.PlaceIcon = key->value(QLatin1String(kIcon)).toInt();
        place.PlaceHotIcon = key->value(QLatin1String(kIconHot)).toInt();
        place.PlaceDesc = key->value(QLatin1String(kHint)).toString();
        place.PlaceSpecPath = folder;
        place.AutoCaption = key->value(QLatin1String(kAutoCaption)).toBool();
        key->endGroup();
        ++position;
    }
}
