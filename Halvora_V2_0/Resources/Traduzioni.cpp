#include "Traduzioni.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

namespace {
const char* const kContesto = "Halvora";
const QStringList kLingue = {QStringLiteral("it"), QStringLiteral("en"), QStringLiteral("es")};
} // namespace

bool Traduzioni::carica(const QString& codice)
{
    tabelle_.clear();
    codice_ = QStringLiteral("it");
    if (!kLingue.contains(codice))
        return false;
    const QDir cartella(QStringLiteral(":/i18n"));
    for (const QString& file : cartella.entryList({QStringLiteral("*_%1.qm").arg(codice)}, QDir::Files, QDir::Name)) {
        auto t = std::make_unique<QTranslator>();
        if (t->load(cartella.filePath(file)))
            tabelle_.push_back(std::move(t));
    }
    // Italian needs no table: its few entries only adapt keys to this desktop.
    if (tabelle_.empty() && codice != QLatin1String("it"))
        return false;
    codice_ = codice;
    return true;
}

QString Traduzioni::translate(const char* context, const char* sourceText, const char* disambiguation, int n) const
{
    for (const auto& t : tabelle_) {
        const QString r = t->translate(kContesto, sourceText, disambiguation, n);
        if (!r.isEmpty())
            return r;
    }
    return {};
}

QString Traduzioni::linguaEffettiva(const QString& scelta)
{
    if (kLingue.contains(scelta))
        return scelta;
    for (const QString& l : QLocale::system().uiLanguages()) {
        const QString codice = l.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
        if (kLingue.contains(codice))
            return codice;
    }
    return QStringLiteral("it");
}

Traduzioni& Traduzioni::installa(const QString& scelta)
{
    static Traduzioni* istanza = nullptr;
    if (!istanza) {
        istanza = new Traduzioni(QCoreApplication::instance());
        QCoreApplication::installTranslator(istanza);
    }
    istanza->carica(linguaEffettiva(scelta));
    // Re-installing tells every widget to retranslate.
    QCoreApplication::removeTranslator(istanza);
    QCoreApplication::installTranslator(istanza);
    return *istanza;
}
