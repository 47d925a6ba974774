#include "FornitoreIA.h"
#include "SchemaURL.h"
#include "Traduzioni.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

// The %1, %2… of a text, in order of number.
QStringList segnaposti(const QString& testo)
{
    QStringList s;
    static const QRegularExpression re(QStringLiteral("%\\d"));
    for (auto it = re.globalMatch(testo); it.hasNext();)
        s << it.next().captured();
    s.sort();
    return s;
}

} // namespace

class TestTraduzioni : public QObject {
    Q_OBJECT

    // Every text the sources look up, as Qt's own extractor reads them.
    QSet<QString> chiaviDelCodice_;
    QString avvisiEstrattore_;

private slots:
    void initTestCase()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString uscita = dir.filePath(QStringLiteral("codice.ts"));
        const QString radice = QStringLiteral(HALVORA_SORGENTI);
        QProcess lupdate;
        lupdate.start(QStringLiteral(HALVORA_LUPDATE),
                      {QStringLiteral("-silent"), QStringLiteral("-extensions"), QStringLiteral("cpp,h"),
                       QStringLiteral("-recursive"), radice + QStringLiteral("/Halvora_V2_0"),
                       radice + QStringLiteral("/platform"), radice + QStringLiteral("/Netteria"),
                       QStringLiteral("-ts"), uscita});
        QVERIFY(lupdate.waitForFinished(120000));
        QCOMPARE(lupdate.exitCode(), 0);
        avvisiEstrattore_ = QString::fromUtf8(lupdate.readAllStandardError());
        QFile f(uscita);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&f);
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("source"))
                chiaviDelCodice_.insert(xml.readElementText());
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(chiaviDelCodice_.size() > 200);
    }

    // A lookup the extractor cannot place is one whose text it never sees:
    // such a text could be missing from every table unnoticed.
    void everyLookupIsSeenByTheExtractor()
    {
        QStringList ciechi;
        for (const QString& riga : avvisiEstrattore_.split(QLatin1Char('\n')))
            if (riga.contains(QLatin1String("cannot be called without context")))
                ciechi << riga;
        QVERIFY2(ciechi.isEmpty(), qPrintable(ciechi.join(QLatin1Char('\n'))));
    }

    // Every text the code looks up has its English and Spanish form; every
    // entry of every table (Italian too) is a text the code looks up, so no
    // entry sits where no lookup reaches it; an entry listed by two tables
    // of a language says one thing; a translation keeps its placeholders.
    void everyKeyIsReachedAndTranslated_data()
    {
        QTest::addColumn<QString>("lingua");
        for (const char* l : {"en", "es", "it"})
            QTest::newRow(l) << QString::fromLatin1(l);
    }
    void everyKeyIsReachedAndTranslated()
    {
        QFETCH(QString, lingua);
        const QStringList file = Traduzioni::fileDi(lingua);
        QVERIFY(!file.isEmpty());
        Traduzioni::Tabella tutte;
        QStringList difetti;
        for (const QString& percorso : file) {
            QFile f(percorso);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QString errore;
            const Traduzioni::Tabella t = Traduzioni::leggi(f, &errore);
            QVERIFY2(errore.isEmpty(), qPrintable(percorso + QStringLiteral(": ") + errore));
            for (auto it = t.cbegin(); it != t.cend(); ++it) {
                const QString dove = percorso.section(QLatin1Char('/'), -1) + QStringLiteral(": ") + it.key();
                if (!chiaviDelCodice_.contains(it.key()))
                    difetti << QStringLiteral("no lookup reaches ") + dove;
                if (tutte.contains(it.key()) && tutte.value(it.key()) != it.value())
                    difetti << QStringLiteral("two translations of ") + dove;
                if (segnaposti(it.key()) != segnaposti(it.value()))
                    difetti << QStringLiteral("placeholders differ in ") + dove;
                tutte.insert(it.key(), it.value());
            }
        }
        if (lingua != QLatin1String("it"))
            for (const QString& chiave : chiaviDelCodice_)
                if (!tutte.contains(chiave))
                    difetti << QStringLiteral("no %1 table translates ").arg(lingua) + chiave;
        difetti.sort();
        QVERIFY2(difetti.isEmpty(), qPrintable(difetti.join(QLatin1Char('\n'))));
    }

    // What a user reads names what this desktop has: no text shown in any
    // language speaks of the Mac, its tools, folders or settings; the
    // Italian shown writes its accents as accents, not as apostrophes.
    void noShownTextNamesWhatOnlyMacOsHas_data()
    {
        QTest::addColumn<QString>("lingua");
        for (const char* l : {"it", "en", "es"})
            QTest::newRow(l) << QString::fromLatin1(l);
    }
    void noShownTextNamesWhatOnlyMacOsHas()
    {
        QFETCH(QString, lingua);
        Traduzioni t;
        QVERIFY(t.carica(lingua));
        static const QRegularExpression mac(QStringLiteral(
            "\\bMacs?\\b|macOS|Apple|Finder|AirDrop|iCloud|Impostazioni di Sistema|System Settings|Ajustes del Sistema|"
            "pasteboard|(?<!~/)\\b(Applicazioni|Applications|Aplicaciones)\\b|app Promemoria|Reminders app|app Recordatorios"));
        // "po'" (a little) is written so; any other vowel before an apostrophe that ends a word stands for an accent.
        static const QRegularExpression apostrofo(QStringLiteral("(?<!\\bp)[aeiouAEIOU]'(?![\\w])"));
        QStringList difetti;
        for (const QString& chiave : std::as_const(chiaviDelCodice_)) {
            const QString tradotto = t.translate(nullptr, chiave.toUtf8().constData());
            const QString mostrato = tradotto.isEmpty() ? chiave : tradotto;
            if (mac.match(mostrato).hasMatch() || (lingua == QLatin1String("it") && apostrofo.match(mostrato).hasMatch()))
                difetti << mostrato;
        }
        difetti.sort();
        QVERIFY2(difetti.isEmpty(), qPrintable(difetti.join(QLatin1Char('\n'))));
    }

    // Entries under any context are found; unfinished ones are not used.
    void tablesAreReadWhateverTheirContext()
    {
        QByteArray ts = R"(<?xml version="1.0" encoding="utf-8"?><!DOCTYPE TS><TS version="2.1">
<context><name>Halvora</name><message><source>Uno</source><translation>One</translation></message></context>
<context><name>UnaCard</name><message><source>Due</source><translation>Two</translation></message>
<message><source>Tre</source><translation type="unfinished">Three</translation></message></context></TS>)";
        QBuffer b(&ts);
        QVERIFY(b.open(QIODevice::ReadOnly));
        const Traduzioni::Tabella t = Traduzioni::leggi(b);
        QCOMPARE(t, (Traduzioni::Tabella{{"Uno", "One"}, {"Due", "Two"}}));
    }

    void languagesTranslateByTheItalianKey_data()
    {
        QTest::addColumn<QString>("lingua");
        QTest::addColumn<QString>("titolo");
        QTest::newRow("it") << "it" << "Claude ha finito";
        QTest::newRow("en") << "en" << "Claude has finished";
        QTest::newRow("es") << "es" << "Claude ha terminado";
    }
    void languagesTranslateByTheItalianKey()
    {
        QFETCH(QString, lingua);
        QFETCH(QString, titolo);
        Traduzioni::installa(lingua);
        const auto e = SchemaURL::eventoAgenteDaURL(QUrl("halvora://agente?fornitore=claude&evento=finito"), {});
        QCOMPARE(SchemaURL::avvisoEventoAgente(*e, {})->attivita.titolo, titolo);
        // Any class's tr() finds the same table.
        QCOMPARE(QCoreApplication::translate("UnaClasseQualsiasi", "%1 ha finito").arg("X"),
                 titolo.replace("Claude", "X"));
    }

    // Italian keys that name what only macOS has are said the way this
    // desktop has it; every other Italian text stays its key.
    void italianNamesThisDesktopsOwnTools_data()
    {
        QTest::addColumn<QString>("chiave");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("folder") << "TE LA MOSTRO NEL FINDER" << "TE LA MOSTRO NEL GESTORE DEI FILE";
        QTest::newRow("send") << "Invia con AirDrop" << "Invia con KDE Connect";
        QTest::newRow("send selected") << "Invia i %1 elementi selezionati con AirDrop"
                                       << "Invia i %1 elementi selezionati con KDE Connect";
        QTest::newRow("send all") << "Invia tutto il vassoio con AirDrop" << "Invia tutto il vassoio con KDE Connect";
        QTest::newRow("language") << "Segue la lingua del Mac: " << "Segue la lingua del sistema: ";
        QTest::newRow("hot key") << "Apri la notch con ⌃⌥N" << "Apri la notch con Ctrl+Alt+N";
        QTest::newRow("hot key taken") << "Un'altra app usa già ⌃⌥N: finché la tiene lei, qui non funziona."
                                       << "Un'altra app usa già Ctrl+Alt+N: finché la tiene lei, qui non funziona.";
        QTest::newRow("any other") << "Mostra" << "Mostra";
    }
    void italianNamesThisDesktopsOwnTools()
    {
        QFETCH(QString, chiave);
        QFETCH(QString, atteso);
        QCOMPARE(Traduzioni::installa("it").codice(), QStringLiteral("it"));
        QCOMPARE(QCoreApplication::translate("UnaClasseQualsiasi", chiave.toUtf8().constData()), atteso);
    }

    // No language speaks of the Mac's language or of its key symbols here.
    void everyLanguageNamesThisDesktopsHotKeyAndLanguage_data()
    {
        QTest::addColumn<QString>("lingua");
        QTest::addColumn<QString>("chiave");
        QTest::addColumn<QString>("atteso");
        const char* tasto = "Control-Option-N apre e chiude la notch da qualunque app. Si chiude anche con un clic fuori.";
        QTest::newRow("it") << "it" << tasto
                            << "Ctrl+Alt+N apre e chiude la notch da qualunque app. Si chiude anche con un clic fuori.";
        QTest::newRow("en") << "en" << tasto << "Ctrl+Alt+N opens and closes the notch from any app. A click outside closes it too.";
        QTest::newRow("es") << "es" << tasto
                            << "Ctrl+Alt+N abre y cierra el notch desde cualquier app. También se cierra con un clic fuera.";
        QTest::newRow("en, language") << "en" << "Segue la lingua del Mac: " << "Follows the system's language: ";
        QTest::newRow("es, language") << "es" << "Segue la lingua del Mac: " << "Sigue el idioma del sistema: ";
    }
    void everyLanguageNamesThisDesktopsHotKeyAndLanguage()
    {
        QFETCH(QString, lingua);
        QFETCH(QString, chiave);
        QFETCH(QString, atteso);
        Traduzioni::installa(lingua);
        QCOMPARE(QCoreApplication::translate("SezioneGenerale", chiave.toUtf8().constData()), atteso);
    }

    void unknownLanguageFallsBack()
    {
        Traduzioni t;
        QVERIFY(!t.carica("de"));
        QCOMPARE(t.codice(), QStringLiteral("it"));
        QVERIFY(t.isEmpty());
        QCOMPARE(Traduzioni::linguaEffettiva("en"), QStringLiteral("en"));
    }

    void missingTranslationKeepsTheItalianText()
    {
        Traduzioni::installa("en");
        QCOMPARE(QCoreApplication::translate("Halvora", "Testo senza traduzione"),
                 QStringLiteral("Testo senza traduzione"));
    }
};

QTEST_GUILESS_MAIN(TestTraduzioni)
#include "tst_Traduzioni.moc"
