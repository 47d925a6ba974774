#include "AttivitaCardView.h"
#include "Colori.h"
#include "Reazioni.h"
#include "TestOutput.h"
#include "Traduzioni.h"

#include "SalvataggioSicuro.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The notices other features' events become.
class TestReazioni : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void aFreedLimitNamesTheProviderAndTheWindow_data()
    {
        QTest::addColumn<FornitoreIA>("fornitore");
        QTest::addColumn<bool>("settimanale");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QString>("dettaglio");
        QTest::addColumn<QColor>("tinta");
        QTest::newRow("claude, five hours") << FornitoreIA::claude << false << "Claude è tornato"
                                            << "Limite di 5 ore azzerato" << coloreClaude();
        QTest::newRow("codex, seven days") << FornitoreIA::codex << true << "ChatGPT è tornato"
                                           << "Limite di 7 giorni azzerato" << Colori::grigio();
    }
    void aFreedLimitNamesTheProviderAndTheWindow()
    {
        QFETCH(FornitoreIA, fornitore);
        QFETCH(bool, settimanale);
        QFETCH(QString, titolo);
        QFETCH(QString, dettaglio);
        QFETCH(QColor, tinta);
        const AttivitaNotch a = Reazioni::avvisoLimiteAzzerato({fornitore, settimanale});
        QCOMPARE(a.titolo, titolo);
        QCOMPARE(a.dettaglio, dettaglio);
        QCOMPARE(a.tinta, tinta);
        QCOMPARE(a.simbolo, QStringLiteral("checkmark.circle.fill"));
        QCOMPARE(a.anteprima.has_value(), iconaFornitore(fornitore).has_value());
    }

    void textsInEnglishAndSpanish_data()
    {
        QTest::addColumn<QString>("lingua");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QString>("dettaglio");
        QTest::newRow("en") << "en" << "Claude is back" << "7-day limit reset";
        QTest::newRow("es") << "es" << "Claude ha vuelto" << "Límite de 7 días restablecido";
    }
    void textsInEnglishAndSpanish()
    {
        QFETCH(QString, lingua);
        QFETCH(QString, titolo);
        QFETCH(QString, dettaglio);
        Traduzioni::installa(lingua);
        const AttivitaNotch a = Reazioni::avvisoLimiteAzzerato({FornitoreIA::claude, true});
        Traduzioni::installa(QStringLiteral("it"));
        QCOMPARE(a.titolo, titolo);
        QCOMPARE(a.dettaglio, dettaglio);
    }

    // What could not be saved says what and why, in the interface's language.
    void whatCouldNotBeSavedSaysWhy_data()
    {
        QTest::addColumn<QString>("lingua");
        QTest::addColumn<int>("quale");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QString>("dettaglio");
        QTest::newRow("one file") << "it" << 1 << "File non aggiunto" << "Spazio su disco esaurito.";
        QTest::newRow("files, en") << "en" << 3 << "3 files not added" << "The disk is full.";
        QTest::newRow("setting, es") << "es" << 0 << "Ajuste no guardado" << "El disco está lleno.";
        QTest::newRow("set aside") << "it" << -1 << "Impostazioni illeggibili" << "Halvora.ini.illeggibile";
    }
    void whatCouldNotBeSavedSaysWhy()
    {
        QFETCH(QString, lingua);
        QFETCH(int, quale);
        QFETCH(QString, titolo);
        QFETCH(QString, dettaglio);
        Traduzioni::installa(lingua);
        const QString pieno = SalvataggioSicuro::Errore{ENOSPC}.testo();
        const AttivitaNotch a = quale > 0   ? Reazioni::avvisoRilascioNonRiuscito(quale, pieno)
                                : quale == 0 ? Reazioni::avvisoImpostazioneNonSalvata(pieno)
                                             : Reazioni::avvisoImpostazioniMesseDaParte("/x/Halvora/Halvora.ini.illeggibile");
        Traduzioni::installa(QStringLiteral("it"));
        QCOMPARE(a.titolo, titolo);
        QCOMPARE(a.dettaglio, dettaglio);
        QCOMPARE(a.simbolo, QStringLiteral("exclamationmark.triangle.fill"));
        QCOMPARE(a.tinta, Colori::arancione());
        AttivitaCardView vista(a);
        salvaRender(vista, QStringLiteral("avviso-non-salvato-") + QTest::currentDataTag());
    }

    void aDownloadIsAnnouncedOnlyWhenSwitchedOnAndPresent()
    {
        const QUrl file = QUrl::fromLocalFile(dir.filePath(QStringLiteral("relazione finale.pdf")));
        QVERIFY(!Reazioni::avvisoFileScaricato(file, false));
        QVERIFY(!Reazioni::avvisoFileScaricato(std::nullopt, true));
        const auto a = Reazioni::avvisoFileScaricato(file, true);
        QVERIFY(a);
        QCOMPARE(a->titolo, QStringLiteral("File ricevuto"));
        QCOMPARE(a->dettaglio, QStringLiteral("relazione finale.pdf"));
        QCOMPARE(a->simbolo, QStringLiteral("arrow.down.circle.fill"));
        QCOMPARE(a->tinta, Colori::blu());
        QVERIFY(a->anteprima && !a->anteprima->isNull()); // the file type's icon
        QVERIFY(a->id != Reazioni::avvisoFileScaricato(file, true)->id);
    }

    void aConversionKeepsTheTraysTitle()
    {
        const auto a = Reazioni::avvisoConversione(QStringLiteral("PDF unito"),
                                                   QUrl::fromLocalFile(dir.filePath(QStringLiteral("unito.pdf"))));
        QCOMPARE(a.titolo, QStringLiteral("PDF unito"));
        QCOMPARE(a.dettaglio, QStringLiteral("unito.pdf"));
        QCOMPARE(a.simbolo, QStringLiteral("wand.and.rays"));
        QCOMPARE(a.tinta, Colori::viola());
    }

    void aScreenshotShowsItsPictureOrNone()
    {
        const AttivitaNotch senza = Reazioni::avvisoScreenshot(QImage());
        QCOMPARE(senza.titolo, QStringLiteral("Screenshot catturato"));
        QCOMPARE(senza.dettaglio, QStringLiteral("Aggiunto al vassoio"));
        QCOMPARE(senza.simbolo, QStringLiteral("camera.viewfinder"));
        QCOMPARE(senza.tinta, Colori::accento());
        QVERIFY(!senza.anteprima);
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::red);
        QCOMPARE(Reazioni::avvisoScreenshot(img).anteprima, img);
    }

    void thePictureIsReadSmall_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QSize>("attesa");
        QTest::newRow("wide screenshot") << "largo.png" << QSize(60, 30);
        QTest::newRow("already small") << "piccolo.png" << QSize(20, 40);
        QTest::newRow("not an image") << "testo.png" << QSize(0, 0);
        QTest::newRow("missing") << "assente.png" << QSize(0, 0);
    }
    void thePictureIsReadSmall()
    {
        QFETCH(QString, nome);
        QFETCH(QSize, attesa);
        QImage largo(2400, 1200, QImage::Format_RGB32);
        largo.fill(Qt::blue);
        QVERIFY(largo.save(dir.filePath(QStringLiteral("largo.png"))));
        QImage piccolo(20, 40, QImage::Format_RGB32);
        piccolo.fill(Qt::green);
        QVERIFY(piccolo.save(dir.filePath(QStringLiteral("piccolo.png"))));
        QFile testo(dir.filePath(QStringLiteral("testo.png")));
        QVERIFY(testo.open(QIODevice::WriteOnly));
        testo.write("non è un'immagine");
        testo.close();
        const QImage letta = Reazioni::leggiAnteprima(dir.filePath(nome));
        QCOMPARE(letta.size(), attesa);
    }
};

QTEST_MAIN(TestReazioni)
#include "tst_Reazioni.moc"
