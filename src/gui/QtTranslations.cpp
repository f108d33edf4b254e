#include "gui/QtTranslations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace vexlon::gui {

QLocale packLocale(const TiTAPLanguages& list, int index)
{
    const QLocale english(QLocale::English);
    if (list.Tag != QLatin1String(kVersionTag) || index < 0 || index >= list.Items.size() ||
        !QFileInfo::exists(list.Items.at(index).FileName))
        return english; // no pack is loaded: the built-in English texts are shown
    const TiTAPLanguagesItem& item = list.Items.at(index);
    const QString fileName = QFileInfo(item.FileName).completeBaseName();
    const QString name = item.Name.trimmed();
    for (int n = QLocale::AnyLanguage + 1; n <= QLocale::LastLanguage; ++n) {
        const auto language = static_cast<QLocale::Language>(n);
        const QLocale locale(language);
        if (locale.language() != language)
            continue; // no locale data for it
        if (fileName.compare(QLocale::languageToString(language), Qt::CaseInsensitive) == 0 ||
            (!name.isEmpty() && name.compare(locale.nativeLanguageName(), Qt::CaseInsensitive) == 0))
            return locale;
    }
    return english;
}

QLocale::Language useQtTranslation(const QLocale& locale)
{
    static QPointer<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return QLocale::English;
    auto* translator = new QTranslator(QCoreApplication::instance());
    // qtbase holds the texts of the widgets' standard dialogs and buttons.
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return QLocale::English;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return locale.language();
}

} // namespace vexlon::gui
