#include "FornitoreIA.h"
#include "SchemaURL.h"
#include "Traduzioni.h"

#include <QCoreApplication>
#include <QTest>

class TestTraduzioni : public QObject {
    Q_OBJECT

private slots:
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
