#include "TrascrittoreAudio.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

namespace TrascrittoreAudio {

namespace {

// "en_us", "en-US" and "EN-us" are one identifier: "en-US".
QString normalizza(const QString& identificatore)
{
    QStringList parti = QString(identificatore).replace(QLatin1Char('_'), QLatin1Char('-')).split(QLatin1Char('-'));
    for (int i = 0; i < parti.size(); ++i) {
        QString& p = parti[i];
        if (i == 0)
            p = p.toLower();
        else if (p.size() == 2)
            p = p.toUpper();
        else if (p.size() == 4)
            p = p.left(1).toUpper() + p.mid(1).toLower();
    }
    return parti.join(QLatin1Char('-'));
}

// The language code of an identifier, or nothing for one without a
// language ("C", "*", an unknown code).
std::optional<QString> codiceLingua(const QString& identificatore)
{
    const QLocale::Language lingua = QLocale(identificatore).language();
    if (lingua == QLocale::C || lingua == QLocale::AnyLanguage)
        return std::nullopt;
    return QLocale::languageToCode(lingua);
}

} // namespace

QStringList lingueSupportate(const QString& cartellaModelli)
{
    QStringList lingue;
    for (const QString& nome : QDir(cartellaModelli).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        lingue << normalizza(nome);
    return lingue;
}

std::optional<QString> localeRiconoscimento(const QStringList& preferite, const QStringList& supportate)
{
    for (const QString& voce : preferite) {
        const QString candidato = normalizza(voce);
        for (const QString& s : supportate)
            if (normalizza(s) == candidato)
                return s;
        const auto codice = codiceLingua(candidato);
        if (!codice)
            continue;
        for (const QString& s : supportate)
            if (codiceLingua(s) == codice)
                return s;
    }
    for (const QString& s : supportate)
        if (normalizza(s).startsWith(QLatin1String("en")))
            return s;
    return std::nullopt;
}

QString nomeLinguaRiconoscimento(const QStringList& preferite, const QStringList& supportate)
{
    const auto scelta = localeRiconoscimento(preferite, supportate);
    if (!scelta)
        return QCoreApplication::translate("Halvora", "non disponibile");
    const QLocale locale(*scelta);
    if (const QString nome = locale.nativeLanguageName(); !nome.isEmpty())
        return nome;
    if (locale.language() != QLocale::C)
        return QLocale::languageToString(locale.language());
    return *scelta;
}

QString nomeLinguaRiconoscimento()
{
    // The model folder is listed once: it only changes with a package install.
    static const QStringList supportate = lingueSupportate();
    return nomeLinguaRiconoscimento(QLocale().uiLanguages(), supportate);
}

} // namespace TrascrittoreAudio
