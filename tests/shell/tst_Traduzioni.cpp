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
        QTest::newRow("any other") << "Mostra" << "Mostra";
    }
    void italianNamesThisDesktopsOwnTools()
    {
        QFETCH(QString, chiave);
        QFETCH(QString, atteso);
        QCOMPARE(Traduzioni::installa("it").codice(), QStringLiteral("it"));
        QCOMPARE(QCoreApplication::translate("UnaClasseQualsiasi", chiave.toUtf8().constData()), atteso);
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
