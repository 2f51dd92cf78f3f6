// The localisation service: language list, language choice, text lookup,
// form translation, the language's font and the language menu.
//
// One process-wide object, Localizer. Files lie in the program directory:
// "Language.mnu" lists the languages (sections "[1]", "[2]", ... with
// "LocaleID" and the names of all languages in that section's language);
// "language.<N>" holds language N's texts: "_Font"/"FontName", the message
// texts of GetText in "StringTable" under "<prefix>.<id>", the form captions
// in "_FormCaption" under the form's objectName, and one section per form
// (named by the form's objectName) with "<component>.Caption",
// "<component>.Hint" and "<combo>.N_<index>".
//
// The chosen language number is kept in the user's settings (opened through
// the UI services), application "AppLanguage", group = the application key,
// value "LanguageNumber" (the registry key
// Software\Lumor\AppLanguage\<application key> on Windows).
//
// Use: InitLanguage once before the first form; BuildLanguageMenu from the
// main window with its "Select Language" menu, before the main window
// registers; RegisterAndTranslateForm from each form's constructor;
// SetAfterLanguageChange to have the main window rename its fixed nodes after
// every switch; GetText at any time; ReleaseLanguage after the event loop.
// GUI thread only.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "ProfileReader.h"

class QAction;
class QMenu;
class QObject;
class QSettings;
class QTranslator;
class QWidget;

class LumorUnicode {
public:
    LumorUnicode();
    ~LumorUnicode();
    LumorUnicode(const LumorUnicode &) = delete;
    LumorUnicode &operator=(const LumorUnicode &) = delete;

    // Most languages "Language.mnu" may list.
    static constexpr int MaxLanguages = 10;

    // Start-up: program directory (unless set by SetProgramDirectory), the
    // application key, the language list, the language's font and Qt's
    // translations.
    void InitLanguage(const QString &applicationKey);
    // Shut-down: forgets the language list.
    void ReleaseLanguage();

    // The text of key prefix + "." + id in section "StringTable" of the
    // current language file; the default text when the file, section or key
    // is missing. A key present with an empty value gives an empty text.
    // Every text taken from a language file (here, in ReadSectionValue,
    // TranslateForm and LanguageName) has its "\n" turned into line breaks.
    QString GetText(const QString &defaultText, const QString &prefix, const QString &id) const;

    // Adds one checkable entry per language to parent (removing entries an
    // earlier call added), named in the current language and checked for it.
    void BuildLanguageMenu(QMenu *parent);
    // A click on a language entry: switch, then rename and re-check entries.
    void OnLanguageMenuClick(QAction *sender);
    // Renames the language entries in the current language and checks
    // exactly the current one.
    void RefreshLanguageMenu();

    // Switches to the language of 0-based index: stores the number, reloads
    // the font and Qt's translations, translates every registered form in
    // registration order, then runs the after-language-change hook.
    void SetLanguage(int index);

    void RegisterAndTranslateForm(QWidget *form);
    void RegisterForm(QWidget *form);
    // Sets the caption, component texts and fonts of form from the current
    // language file (see the class table of ComponentClassIndex).
    void TranslateForm(QWidget *form) const;

    // Reads "Language.mnu" and the stored number and chooses the language.
    // False (after a message box) when "Language.mnu" does not exist.
    bool LoadLanguageList();
    // Language file path from the language number; font name from its
    // "_Font"/"FontName", "Tahoma" when empty.
    void LoadLanguageFont();
    // Writes the language number to the settings; nothing when they cannot
    // be written.
    void SaveLanguageNumber() const;
    // Qt's own texts (the file dialogs' labels, buttons, tool tips and
    // context menus) in the current language: the translation "qtbase" of
    // its locale from Qt's translations folder replaces the one installed
    // before; English, a language without a known locale or without that
    // file leaves Qt's own English texts.
    void LoadQtTranslations();
    // The locale name of the current language ("de_DE"), empty when unknown.
    QString QtLocaleName() const;

    // The value of key in section of the current language file, or empty.
    QString ReadSectionValue(const QString &section, const QString &key) const;

    // Index of an exact Qt class name in the table of translatable classes,
    // -1 when absent. Subclasses are matched only when they carry no
    // Q_OBJECT of their own (their class name is then the base's):
    //   0 QLabel        ".Caption" -> text       font
    //   1 QPushButton   ".Caption" -> text       font
    //   2 QAction       ".Caption" -> text
    //   3 QMenu         ".Caption" -> title
    //   4 QToolButton   ".Hint"    -> tool tip
    //   5 QCheckBox     ".Caption" -> text       font
    //   6 QRadioButton  ".Caption" -> text       font
    //   7 QGroupBox     ".Caption" -> title      font
    //   8 QComboBox     ".N_<i>"   -> item i     font
    //   9 QTreeView     (no text)                font
    //  10 QTreeWidget   (no text)                font
    static int ComponentClassIndex(const QString &className);

    // State.
    int LanguageNumber() const { return languageNumber_; }
    int LanguageCount() const { return sectionList_.isEmpty() ? 0 : int(sectionList_.size()) - 1; }
    QStringList SectionList() const { return sectionList_; }
    quint32 LocaleIdOfLanguage(int language) const;  // 0 when unknown
    QString LanguageName(int language, int inLanguage) const;
    QString FontName() const { return fontName_; }
    // The user's locale id, from the locale source.
    quint32 UserLocaleId() const;
    QString ProgramDirectory() const { return programDir_; }
    QString LanguageFilePath() const { return languageFilePath_; }
    QString DescriptionFilePath() const { return descriptionFilePath_; }
    QString ApplicationKey() const { return appKey_; }
    QList<QAction *> LanguageItems() const;
    QList<QWidget *> RegisteredForms() const;

    // Hooks and seams.
    // Runs at the end of every SetLanguage (the main window renames its
    // fixed nodes there).
    void SetAfterLanguageChange(std::function<void()> hook) { afterLanguageChange_ = std::move(hook); }
    // Directory of the language files; empty: the running program's.
    void SetProgramDirectory(const QString &directory);
    // Source of the user's locale id; empty: SystemLocaleId().
    void SetUserLocaleIdSource(std::function<quint32()> source) { localeSource_ = std::move(source); }
    // INI file standing in for this instance's settings; empty: those of the
    // UI services (UiServices.h).
    void SetSettingsFile(const QString &iniPath) { settingsFile_ = iniPath; }
    // Shows the plain message of a missing "Language.mnu"; empty: a plain box
    // of the UI services (standard error without a widget application).
    void SetPlainMessageHook(std::function<void(const QString &text, const QString &caption)> hook)
    {
        plainMessage_ = std::move(hook);
    }
    // Back to the state at program start, hooks and seams included.
    void Reset();

private:
    struct CachedFile {
        QDateTime modified;
        qint64 size = 0;
        std::shared_ptr<const profile::ProfileData> data;
    };

    // The parsed file at path, read when first asked for and read again only
    // when its modification time or size has changed; null when it cannot be
    // read.
    std::shared_ptr<const profile::ProfileData> Profile(const QString &path) const;
    std::unique_ptr<QSettings> OpenSettings() const;
    void ShowPlainMessage(const QString &text, const QString &caption) const;
    void SetFontFace(QWidget *widget) const;
    void TranslateChildren(QObject *parent, const profile::ProfileData *data, const QString &section) const;
    void TranslateComponent(QObject *component, const profile::ProfileData *data,
                            const QString &section) const;
    void RemoveQtTranslations();

    QStringList sectionList_;
    QPointer<QMenu> menuParent_;
    QList<QPointer<QAction>> languageItems_;
    QString languageFilePath_;
    QString descriptionFilePath_;
    QString programDir_;
    QString programDirOverride_;
    QString fontName_;
    QList<QPointer<QWidget>> forms_;
    int languageNumber_ = 0;
    QString appKey_;
    QList<quint32> localeTable_;

    std::function<void()> afterLanguageChange_;
    std::function<quint32()> localeSource_;
    QString settingsFile_;
    std::function<void(const QString &, const QString &)> plainMessage_;

    mutable QHash<QString, CachedFile> cache_;
    // Qt's own translations, installed in the application while set.
    std::unique_ptr<QTranslator> qtTranslator_;
};

extern LumorUnicode Localizer;

// A message text of the string table with its C-style conversions filled in:
// each "%d", "%u" or "%s" takes the next argument as it stands, "%%" gives
// one "%". A conversion without an argument left, or any other one, stays as
// written, so a language file whose text does not match the call can never
// read past the arguments.
QString FormatText(const QString &format, const QStringList &arguments);
