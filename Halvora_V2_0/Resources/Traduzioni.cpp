#include "Traduzioni.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QXmlStreamReader>
#include <optional>

namespace {
const QStringList kLingue = {QStringLiteral("it"), QStringLiteral("en"), QStringLiteral("es")};
const QString kCartella = QStringLiteral(":/i18n");
} // namespace

QStringList Traduzioni::fileDi(const QString& codice)
{
    QStringList file;
    if (!kLingue.contains(codice))
        return file;
    const QDir cartella(kCartella);
    for (const QString& nome : cartella.entryList({QStringLiteral("*_%1.ts").arg(codice)}, QDir::Files, QDir::Name))
        file << cartella.filePath(nome);
    return file;
}

Traduzioni::Tabella Traduzioni::leggi(QIODevice& file, QString* errore)
{
    Tabella tabella;
    QXmlStreamReader xml(&file);
    QString sorgente;
    std::optional<QString> traduzione;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("message")) {
                sorgente.clear();
                traduzione.reset();
            } else if (xml.name() == QLatin1String("source")) {
                sorgente = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation")) {
                const auto tipo = xml.attributes().value(QLatin1String("type"));
                const bool valida = tipo.isEmpty();
                const QString testo = xml.readElementText();
                if (valida && !testo.isEmpty())
                    traduzione = testo;
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message") && traduzione) {
            tabella.insert(sorgente, *traduzione);
        }
    }
    if (xml.hasError()) {
        if (errore)
            *errore = xml.errorString() + QStringLiteral(" (line %1)").arg(xml.lineNumber());
        return {};
    }
    return tabella;
}

bool Traduzioni::carica(const QString& codice)
{
    tabella_.clear();
    codice_ = QStringLiteral("it");
    const QStringList file = fileDi(codice);
    for (const QString& percorso : file) {
        QFile f(percorso);
        if (f.open(QIODevice::ReadOnly))
            tabella_.insert(leggi(f));
    }
    // Italian needs no table: its few entries only adapt keys to this desktop.
    if (tabella_.isEmpty() && codice != QLatin1String("it"))
        return false;
    codice_ = codice;
    return true;
}

QString Traduzioni::translate(const char*, const char* sourceText, const char*, int) const
{
    if (!sourceText || tabella_.isEmpty())
        return {};
    return tabella_.value(QString::fromUtf8(sourceText));
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
