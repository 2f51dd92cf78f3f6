// The localisation service.
#include "Localizer.h"

#include "BoundedFile.h"
#include "UiServices.h"
#include "UserLocale.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QSettings>
#include <QToolButton>
#include <QTranslator>
#include <QWidget>

#include <cstdio>
#include <string_view>

LumorUnicode Localizer;

namespace {

// A language file beyond this size is not read; the built-in texts stand.
constexpr qint64 kMaxProfileBytes = 16 * 1024 * 1024;

const QString kDefaultFont = QStringLiteral("Tahoma");

std::u16string_view View(const QString &s)
{
    return std::u16string_view(reinterpret_cast<const char16_t *>(s.utf16()), std::size_t(s.size()));
}

QString ToQString(const std::u16string &s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

// The language files write the line breaks of multi-line texts as the two
// characters backslash, 'n'.
QString ExpandLineBreaks(const QString &text)
{
    QString out = text;
    out.replace(QLatin1String("\\n"), QLatin1String("\n"));
    return out;
}

// Every text read from a language file, empty when missing, with its line
// breaks expanded: the one place where they are expanded, so that a text is
// expanded once, however it is shown.
QString LanguageText(const profile::ProfileData &data, std::u16string_view section, std::u16string_view key)
{
    return ExpandLineBreaks(ToQString(data.GetString(section, key, u"")));
}

enum ClassIndex {
    kLabel = 0,
    kPushButton,
    kAction,
    kMenu,
    kToolButton,
    kCheckBox,
    kRadioButton,
    kGroupBox,
    kComboBox,
    kTreeView,
    kTreeWidget,
};

constexpr const char *kTranslatableClasses[] = {
    "QLabel",       "QPushButton", "QAction",   "QMenu",     "QToolButton", "QCheckBox",
    "QRadioButton", "QGroupBox",   "QComboBox", "QTreeView", "QTreeWidget",
};

}  // namespace

QString FormatText(const QString &format, const QStringList &arguments)
{
    QString out;
    out.reserve(format.size());
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 == format.size()) {
            out += c;
            continue;
        }
        const QChar conversion = format[i + 1];
        if (conversion == QLatin1Char('%')) {
            out += c;
            ++i;
        } else if ((conversion == QLatin1Char('d') || conversion == QLatin1Char('u')
                    || conversion == QLatin1Char('s'))
                   && next < arguments.size()) {
            out += arguments[next++];
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

LumorUnicode::LumorUnicode() = default;
LumorUnicode::~LumorUnicode() = default;

quint32 LumorUnicode::UserLocaleId() const
{
    return localeSource_ ? localeSource_() : SystemLocaleId();
}

void LumorUnicode::Reset()
{
    for (const QPointer<QAction> &item : languageItems_)
        delete item.data();
    sectionList_.clear();
    menuParent_ = nullptr;
    languageItems_.clear();
    languageFilePath_.clear();
    descriptionFilePath_.clear();
    programDir_.clear();
    programDirOverride_.clear();
    fontName_.clear();
    forms_.clear();
    languageNumber_ = 0;
    appKey_.clear();
    localeTable_.clear();
    afterLanguageChange_ = nullptr;
    localeSource_ = nullptr;
    settingsFile_.clear();
    plainMessage_ = nullptr;
    cache_.clear();
    RemoveQtTranslations();
}

void LumorUnicode::SetProgramDirectory(const QString &directory)
{
    programDirOverride_ = directory;
    if (!programDirOverride_.isEmpty() && !programDirOverride_.endsWith(QLatin1Char('/')))
        programDirOverride_ += QLatin1Char('/');
}

void LumorUnicode::InitLanguage(const QString &applicationKey)
{
    if (!programDirOverride_.isEmpty())
        programDir_ = programDirOverride_;
    else if (QCoreApplication::instance())
        programDir_ = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    else
        programDir_ = QStringLiteral("./");
    appKey_ = applicationKey;
    LoadLanguageList();
    LoadLanguageFont();
    LoadQtTranslations();
}

void LumorUnicode::ReleaseLanguage()
{
    sectionList_.clear();
}

std::shared_ptr<const profile::ProfileData> LumorUnicode::Profile(const QString &path) const
{
    QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) {
        cache_.remove(path);
        return nullptr;
    }
    // Read once, and again only when the file's time or size has changed.
    const QDateTime modified = info.lastModified();
    const qint64 size = info.size();
    auto it = cache_.find(path);
    if (it != cache_.end() && it->modified == modified && it->size == size)
        return it->data;
    QByteArray bytes;
    QString reason;
    if (ReadFileBounded(path, kMaxProfileBytes, bytes, reason) != TFileRead::Ok) {
        cache_.remove(path);
        return nullptr;
    }
    auto data = std::make_shared<const profile::ProfileData>(
        profile::ProfileData::FromBytes(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
    cache_.insert(path, CachedFile{modified, size, data});
    return data;
}

QString LumorUnicode::GetText(const QString &defaultText, const QString &prefix, const QString &id) const
{
    const std::shared_ptr<const profile::ProfileData> data = Profile(languageFilePath_);
    if (!data)
        return defaultText;
    const QString key = prefix + QLatin1Char('.') + id;
    if (!data->Find(u"StringTable", View(key)))
        return defaultText;
    return LanguageText(*data, u"StringTable", View(key));
}

QString LumorUnicode::ReadSectionValue(const QString &section, const QString &key) const
{
    const std::shared_ptr<const profile::ProfileData> data = Profile(languageFilePath_);
    if (!data)
        return QString();
    return LanguageText(*data, View(section), View(key));
}

std::unique_ptr<QSettings> LumorUnicode::OpenSettings() const
{
    if (!settingsFile_.isEmpty())
        return std::make_unique<QSettings>(settingsFile_, QSettings::IniFormat);
    return UiServices().OpenSettings(QLatin1String(kLanguageSettings));
}

void LumorUnicode::ShowPlainMessage(const QString &text, const QString &caption) const
{
    if (plainMessage_) {
        plainMessage_(text, caption);
        return;
    }
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        UiServices().ShowBox(TBoxRequest::Make(TBoxRequest::Plain, text, caption));
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
}

bool LumorUnicode::LoadLanguageList()
{
    sectionList_.clear();
    localeTable_.clear();
    descriptionFilePath_ = programDir_ + QStringLiteral("Language.mnu");
    if (!QFileInfo(descriptionFilePath_).isFile()) {
        ShowPlainMessage(QStringLiteral("Language description file not Found"),
                         QStringLiteral("Language Load Error !"));
        return false;
    }

    if (const std::shared_ptr<const profile::ProfileData> data = Profile(descriptionFilePath_)) {
        for (int n = 1; localeTable_.size() < MaxLanguages; ++n) {
            const int32_t id = data->GetInt(View(QString::number(n)), u"LocaleID", 0);
            if (id == 0)
                break;
            localeTable_.append(quint32(id));
        }
    }
    const int count = int(localeTable_.size());

    int number = 0;
    const std::unique_ptr<QSettings> settings = OpenSettings();
    if (settings->status() == QSettings::NoError) {
        settings->beginGroup(appKey_);
        const QVariant stored = settings->value(QStringLiteral("LanguageNumber"));
        bool ok = false;
        const int value = stored.isValid() ? stored.toInt(&ok) : 0;
        number = ok ? value : 0;
        settings->endGroup();
    }

    if (number < 1 || number > count) {
        const quint32 userLocale = UserLocaleId();
        int fallback = 1;
        number = 0;
        for (int i = 0; i < count; ++i) {
            if (localeTable_[i] == userLocale) {
                number = i + 1;
                break;
            }
            if (localeTable_[i] == 1033)
                fallback = i + 1;
        }
        if (number == 0)
            number = fallback;
    }
    languageNumber_ = number;

    for (int i = 0; i <= count; ++i)
        sectionList_.append(QString::number(i));
    return true;
}

void LumorUnicode::LoadLanguageFont()
{
    languageFilePath_ = programDir_ + QStringLiteral("language.") + QString::number(languageNumber_);
    const QString face = ReadSectionValue(QStringLiteral("_Font"), QStringLiteral("FontName"));
    fontName_ = face.isEmpty() ? kDefaultFont : face;
}

QString LumorUnicode::QtLocaleName() const
{
    return LocaleNameForWindowsLocaleId(LocaleIdOfLanguage(languageNumber_));
}

void LumorUnicode::LoadQtTranslations()
{
    RemoveQtTranslations();
    const QString locale = QtLocaleName();
    // Qt's own texts are English already.
    if (!QCoreApplication::instance() || locale.isEmpty() || locale.startsWith(QLatin1String("en_")))
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(locale), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(translator.get());
    qtTranslator_ = std::move(translator);
}

void LumorUnicode::RemoveQtTranslations()
{
    if (qtTranslator_ && QCoreApplication::instance())
        QCoreApplication::removeTranslator(qtTranslator_.get());
    qtTranslator_.reset();
}

void LumorUnicode::SaveLanguageNumber() const
{
    const std::unique_ptr<QSettings> settings = OpenSettings();
    if (settings->status() != QSettings::NoError || !settings->isWritable())
        return;
    settings->beginGroup(appKey_);
    settings->setValue(QStringLiteral("LanguageNumber"), languageNumber_);
    settings->endGroup();
    settings->sync();
}

quint32 LumorUnicode::LocaleIdOfLanguage(int language) const
{
    return language >= 1 && language <= localeTable_.size() ? localeTable_[language - 1] : 0;
}

QString LumorUnicode::LanguageName(int language, int inLanguage) const
{
    const std::shared_ptr<const profile::ProfileData> data = Profile(descriptionFilePath_);
    if (!data)
        return QString();
    return LanguageText(*data, View(QString::number(inLanguage)), View(QString::number(language)));
}

QList<QAction *> LumorUnicode::LanguageItems() const
{
    QList<QAction *> items;
    for (const QPointer<QAction> &item : languageItems_)
        items.append(item.data());
    return items;
}

QList<QWidget *> LumorUnicode::RegisteredForms() const
{
    QList<QWidget *> forms;
    for (const QPointer<QWidget> &form : forms_) {
        if (form)
            forms.append(form.data());
    }
    return forms;
}

void LumorUnicode::BuildLanguageMenu(QMenu *parent)
{
    for (const QPointer<QAction> &item : languageItems_)
        delete item.data();
    languageItems_.clear();
    menuParent_ = parent;
    if (!parent)
        return;
    for (int i = 1; i <= LanguageCount(); ++i) {
        auto *item = new QAction(parent);
        item->setData(i - 1);
        item->setCheckable(true);
        item->setText(LanguageName(i, languageNumber_));
        item->setChecked(i == languageNumber_);
        QObject::connect(item, &QAction::triggered, item, [this, item] { OnLanguageMenuClick(item); });
        parent->addAction(item);
        languageItems_.append(item);
    }
}

void LumorUnicode::OnLanguageMenuClick(QAction *sender)
{
    if (!sender)
        return;
    SetLanguage(sender->data().toInt());
    RefreshLanguageMenu();
}

void LumorUnicode::RefreshLanguageMenu()
{
    for (int i = 0; i < languageItems_.size(); ++i) {
        QAction *item = languageItems_[i];
        if (!item)
            continue;
        item->setText(LanguageName(i + 1, languageNumber_));
        item->setChecked(i + 1 == languageNumber_);
    }
}

void LumorUnicode::SetLanguage(int index)
{
    languageNumber_ = index + 1;
    SaveLanguageNumber();
    LoadLanguageFont();
    // Qt's own texts (file dialogs, context menus) follow the language too.
    LoadQtTranslations();
    const QList<QWidget *> forms = RegisteredForms();
    for (QWidget *form : forms)
        TranslateForm(form);
    if (afterLanguageChange_)
        afterLanguageChange_();
}

void LumorUnicode::RegisterAndTranslateForm(QWidget *form)
{
    RegisterForm(form);
    TranslateForm(form);
}

void LumorUnicode::RegisterForm(QWidget *form)
{
    if (!form)
        return;
    for (const QPointer<QWidget> &known : forms_) {
        if (known == form)
            return;
    }
    forms_.append(form);
}

int LumorUnicode::ComponentClassIndex(const QString &className)
{
    for (int i = 0; i < int(std::size(kTranslatableClasses)); ++i) {
        if (className == QLatin1String(kTranslatableClasses[i]))
            return i;
    }
    return -1;
}

void LumorUnicode::SetFontFace(QWidget *widget) const
{
    QFont font = widget->font();
    font.setFamily(fontName_);
    widget->setFont(font);
}

void LumorUnicode::TranslateForm(QWidget *form) const
{
    if (!form)
        return;
    const std::shared_ptr<const profile::ProfileData> data =
        Profile(languageFilePath_);  // one read for the whole form
    const QString name = form->objectName();
    if (data) {
        if (const QString caption = LanguageText(*data, u"_FormCaption", View(name)); !caption.isEmpty())
            form->setWindowTitle(caption);
    }
    SetFontFace(form);
    TranslateChildren(form, data.get(), name);
}

void LumorUnicode::TranslateChildren(QObject *parent, const profile::ProfileData *data,
                                     const QString &section) const
{
    const QObjectList children = parent->children();
    for (QObject *child : children) {
        // Another window (a dialog the form created) translates itself.
        if (auto *widget = qobject_cast<QWidget *>(child);
            widget && widget->isWindow() && !qobject_cast<QMenu *>(widget))
            continue;
        TranslateComponent(child, data, section);
        TranslateChildren(child, data, section);
    }
}

void LumorUnicode::TranslateComponent(QObject *component, const profile::ProfileData *data,
                                      const QString &section) const
{
    const QString name = component->objectName();
    if (name.isEmpty())
        return;
    const int index = ComponentClassIndex(QLatin1String(component->metaObject()->className()));
    if (index < 0)
        return;

    auto text = [&](const QString &suffix) -> QString {
        return data ? LanguageText(*data, View(section), View(name + suffix)) : QString();
    };
    const QString caption = QStringLiteral(".Caption");

    switch (index) {
    case kLabel:
        if (const QString t = text(caption); !t.isEmpty())
            static_cast<QLabel *>(component)->setText(t);
        break;
    case kPushButton:
    case kCheckBox:
    case kRadioButton:
        if (const QString t = text(caption); !t.isEmpty())
            static_cast<QAbstractButton *>(component)->setText(t);
        break;
    case kAction:
        if (const QString t = text(caption); !t.isEmpty())
            static_cast<QAction *>(component)->setText(t);
        return;
    case kMenu:
        if (const QString t = text(caption); !t.isEmpty())
            static_cast<QMenu *>(component)->setTitle(t);
        return;
    case kToolButton:
        if (const QString t = text(QStringLiteral(".Hint")); !t.isEmpty())
            static_cast<QToolButton *>(component)->setToolTip(t);
        return;
    case kGroupBox:
        if (const QString t = text(caption); !t.isEmpty())
            static_cast<QGroupBox *>(component)->setTitle(t);
        break;
    case kComboBox: {
        auto *combo = static_cast<QComboBox *>(component);
        for (int i = 0; i < combo->count(); ++i) {
            if (const QString t = text(QStringLiteral(".N_") + QString::number(i)); !t.isEmpty())
                combo->setItemText(i, t);
        }
        break;
    }
    case kTreeView:
    case kTreeWidget: break;
    }
    SetFontFace(static_cast<QWidget *>(component));
}
