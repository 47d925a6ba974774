#include "Traduzioni.h"

#include <QCoreApplication>
#include <QTest>

// Every text of the tray tab has an English and a Spanish form.
class TestTraduzioniVassoio : public QObject {
    Q_OBJECT
private slots:
    void everyTextIsTranslated_data()
    {
        QTest::addColumn<QString>("lingua");
        QTest::addColumn<QString>("chiave");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("en chip") << "en" << "%1 selezionati" << "%1 selected";
        QTest::newRow("es chip") << "es" << "%1 selezionati" << "%1 seleccionados";
        QTest::newRow("en empty") << "en" << "Trascina qui file, link o immagini" << "Drag files, links or images here";
        QTest::newRow("es empty") << "es" << "Trascina qui file, link o immagini"
                                  << "Arrastra aquí archivos, enlaces o imágenes";
        QTest::newRow("en text") << "en" << "Testo" << "Text";
        QTest::newRow("en window") << "en" << "Finestra" << "Window";
        QTest::newRow("es window") << "es" << "Finestra" << "Ventana";
        QTest::newRow("es text") << "es" << "Testo" << "Texto";
        QTest::newRow("en halve") << "en" << "Dimezza %1 immagini" << "Halve %1 images";
        QTest::newRow("es merged") << "es" << "PDF uniti" << "PDF unidos";
        for (const char* lingua : {"en", "es"})
            for (const char* chiave :
                 {"Annulla la selezione", "Deseleziona", "Invia con AirDrop",
                  "Invia i %1 elementi selezionati con AirDrop", "Invia tutto il vassoio con AirDrop", "SMART TRAY",
                  "Seleziona", "Svuota il vassoio", "SCREENSHOT", "Intero", "Area", "Finestra", "Converti",
                  "Trasforma i %1 elementi selezionati", "Trasforma i file del vassoio", "Archivio", "Immagini",
                  "Documenti", "Comprimi %1 file in ZIP", "Converti %1 immagini in JPEG", "Converti %1 immagini in PNG",
                  "Dimezza %1 immagini", "Riunisci %1 immagini in un PDF", "Estrai il testo da %1 immagini",
                  "Unisci %1 PDF in un documento", "Estrai il testo in Word", "Esporta le pagine come immagini",
                  "Converti %1 documenti in PDF", "Immagine convertita", "%1 immagini convertite", "PDF creato",
                  "Testo estratto e copiato", "PDF uniti", "Testo estratto in Word", "%1 documenti estratti",
                  "%1 pagine esportate", "Documento convertito", "%1 documenti convertiti", "Archivio creato"})
                QTest::addRow("%s %s", lingua, chiave) << lingua << chiave << QString();
    }
    void everyTextIsTranslated()
    {
        QFETCH(QString, lingua);
        QFETCH(QString, chiave);
        QFETCH(QString, atteso);
        Traduzioni t;
        QVERIFY(t.carica(lingua));
        const QString tradotto = t.translate("Halvora", chiave.toUtf8().constData());
        QVERIFY2(!tradotto.isEmpty(), qPrintable(chiave));
        if (!atteso.isEmpty())
            QCOMPARE(tradotto, atteso);
        QCOMPARE(tradotto.contains(QLatin1String("%1")), chiave.contains(QLatin1String("%1")));
    }
};

QTEST_GUILESS_MAIN(TestTraduzioniVassoio)
#include "tst_TraduzioniVassoio.moc"
