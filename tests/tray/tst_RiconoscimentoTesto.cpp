#include "ImmagineTesto.h"
#include "Interruzione.h"
#include "OperazioniVassoio.h"
#include "RiconoscimentoTesto.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class TestRiconoscimentoTesto : public QObject {
    Q_OBJECT
    Interruzione mai;

private slots:
    void lingue_data()
    {
        QTest::addColumn<QStringList>("preferite");
        QTest::addColumn<QStringList>("richieste");
        QTest::addColumn<QStringList>("tesseract");
        const QStringList installate{"eng", "ita", "spa"};
        QTest::newRow("none") << QStringList{} << QStringList{"it-IT", "en-US"} << QStringList{"ita", "eng"};
        QTest::newRow("one") << QStringList{"es-ES"} << QStringList{"es-ES", "en-US"} << QStringList{"spa", "eng"};
        QTest::newRow("three, english first") << QStringList{"en-US", "it-IT", "es-ES"}
                                              << QStringList{"en-US", "it-IT", "en-US"} << QStringList{"eng", "ita"};
        QTest::newRow("not installed") << QStringList{"fr-FR", "de_DE"} << QStringList{"fr-FR", "de_DE", "en-US"}
                                       << QStringList{"eng"};
    }
    void lingue()
    {
        QFETCH(QStringList, preferite);
        QFETCH(QStringList, richieste);
        QFETCH(QStringList, tesseract);
        QCOMPARE(RiconoscimentoTesto::lingueRiconoscimento(preferite), richieste);
        QCOMPARE(RiconoscimentoTesto::lingueTesseract(richieste, {"eng", "ita", "spa"}), tesseract);
        QVERIFY(RiconoscimentoTesto::lingueTesseract(richieste, {}).isEmpty());
    }

    void installate()
    {
        const QStringList l = RiconoscimentoTesto::lingueInstallate();
        for (const char* c : {"eng", "ita", "spa"})
            QVERIFY2(l.contains(QLatin1String(c)), c);
        QVERIFY(!l.contains(QStringLiteral("osd")));
    }

    // The lines come back in reading order, one line feed between them.
    void righeInOrdine()
    {
        const auto t = RiconoscimentoTesto::riconosciTesto(
            immagineTesto({"Questa riga viene prima", "La seconda riga segue", "Ultima riga 2026"}), mai);
        QVERIFY(t);
        const QStringList righe = t->split(QLatin1Char('\n'));
        QCOMPARE(righe.size(), 3);
        QVERIFY2(righe[0].contains(QStringLiteral("prima")), qPrintable(*t));
        QVERIFY2(righe[1].contains(QStringLiteral("seconda")), qPrintable(*t));
        QVERIFY2(righe[2].contains(QStringLiteral("2026")), qPrintable(*t));
    }

    void nienteDaLeggere_data()
    {
        QTest::addColumn<QImage>("immagine");
        QImage bianca(800, 600, QImage::Format_RGB32);
        bianca.fill(Qt::white);
        QTest::newRow("blank") << bianca;
        QImage rumore(800, 600, QImage::Format_RGB32);
        QRandomGenerator g(19);
        for (int y = 0; y < rumore.height(); ++y)
            for (int x = 0; x < rumore.width(); ++x)
                rumore.setPixel(x, y, g.bounded(2) ? 0xFF000000 : 0xFFFFFFFF);
        QTest::newRow("noise") << rumore;
        QImage macchie(800, 600, QImage::Format_RGB32);
        macchie.fill(Qt::white);
        QPainter p(&macchie);
        p.setBrush(Qt::black);
        for (int i = 0; i < 60; ++i)
            p.drawEllipse(QPointF(g.bounded(800), g.bounded(600)), g.bounded(2, 30), g.bounded(2, 30));
        p.end();
        QTest::newRow("blots") << macchie;
        QTest::newRow("tiny") << immagineTesto({"x"}, 3);
        QTest::newRow("null") << QImage();
    }
    void nienteDaLeggere()
    {
        QFETCH(QImage, immagine);
        const auto t = RiconoscimentoTesto::riconosciTesto(immagine, mai);
        QVERIFY2(!t, qPrintable(t.value_or(QString())));
    }

    void interrotto()
    {
        Interruzione alzata;
        alzata.richiedi();
        QVERIFY(!RiconoscimentoTesto::riconosciTesto(immagineTesto({"Testo leggibile"}), alzata));
    }

    // The tray's operation: a text file per image with text, the texts joined by a blank line.
    void estraiTesto()
    {
        QTemporaryDir d;
        const QString a = d.filePath(QStringLiteral("prima.png"));
        const QString b = d.filePath(QStringLiteral("vuota.png"));
        const QString c = d.filePath(QStringLiteral("dopo.png"));
        QVERIFY(immagineTesto({"Lista della spesa"}).save(a));
        QImage bianca(400, 300, QImage::Format_RGB32);
        bianca.fill(Qt::white);
        QVERIFY(bianca.save(b));
        QVERIFY(immagineTesto({"Telefonare domani"}).save(c));
        const EsitoVassoio e = OperazioniVassoio::esegui(OperazioneVassoio::estraiTesto, {a, b, c}, Conversione::png(), d.path(), mai);
        QCOMPARE(e.file, (QStringList{d.filePath(QStringLiteral("prima-testo.txt")), d.filePath(QStringLiteral("dopo-testo.txt"))}));
        QVERIFY2(e.testo.contains(QStringLiteral("spesa\n\nTelefonare")), qPrintable(e.testo));
    }

    void salvaTesto()
    {
        QTemporaryDir d;
        QFile occupato(d.filePath(QStringLiteral("scan-testo.txt")));
        QVERIFY(occupato.open(QIODevice::WriteOnly));
        occupato.close();
        const auto p = RiconoscimentoTesto::salvaTesto(QStringLiteral("però\nriga"), QStringLiteral("scan"), d.path());
        QCOMPARE(p, d.filePath(QStringLiteral("scan-testo-2.txt")));
        QFile f(*p);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()), QStringLiteral("però\nriga"));
        QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
};

QTEST_MAIN(TestRiconoscimentoTesto)
#include "tst_RiconoscimentoTesto.moc"
