#include "BundleProva.h"
#include "FirmaBundle.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using FirmaBundle::Esito;

Q_DECLARE_METATYPE(FirmaBundle::Esito)

class TestFirmaBundle : public QObject {
    Q_OBJECT

    // A signed bundle with a nested folder and a link inside it.
    static bool bundleFirmato(const QString& b, const QString& identificatore = {})
    {
        return BundleProva::crea(b, identificatore) &&
               BundleProva::aggiungi(b, QStringLiteral("risorse/testo.txt"), "ciao\n") &&
               BundleProva::aggiungi(b, QStringLiteral("netteria"), "#!/bin/sh\n", true) &&
               QFile::link(QStringLiteral("../netteria"), b + QStringLiteral("/risorse/servizio")) &&
               BundleProva::firma(b).isEmpty();
    }

    static void collega(const QString& b, const char* meta, const char* nome)
    {
        QVERIFY(::symlink(meta, QFile::encodeName(b + QLatin1Char('/') + QLatin1String(nome)).constData()) == 0);
    }

private slots:
    void esiti_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<Esito>("atteso");
        QTest::addColumn<QString>("voce");
        QTest::newRow("signed") << "" << Esito::valido << "";
        QTest::newRow("one changed byte") << "byte" << Esito::voceDiversa << "risorse/testo.txt";
        QTest::newRow("changed mode") << "modo" << Esito::voceDiversa << "risorse/testo.txt";
        QTest::newRow("extra file") << "extra" << Esito::voceInPiu << "risorse/altro";
        QTest::newRow("missing file") << "mancante" << Esito::voceMancante << "risorse/testo.txt";
        QTest::newRow("link to outside") << "fuori" << Esito::voceVietata << "esce";
        QTest::newRow("link climbing out") << "sale" << Esito::voceVietata << "risorse/sale";
        QTest::newRow("link through a dot") << "punto" << Esito::voceVietata << "risorse/punto";
        QTest::newRow("FIFO") << "fifo" << Esito::voceVietata << "risorse/tubo";
        QTest::newRow("setuid file") << "setuid" << Esito::voceVietata << "netteria";
        QTest::newRow("other key") << "chiave" << Esito::firmaNonValida << "";
        QTest::newRow("no key trusted") << "nessuna chiave" << Esito::nessunaChiave << "";
        QTest::newRow("edited manifest") << "manifesto" << Esito::firmaNonValida << "";
        QTest::newRow("extra file in the signature folder") << "firma extra" << Esito::senzaFirma << "Firma";
        QTest::newRow("unsigned") << "non firmato" << Esito::senzaFirma << "Firma";
        QTest::newRow("wrong identifier") << "identificatore" << Esito::identificatoreDiverso << "Info.json";
        QTest::newRow("executable not executable") << "non eseguibile" << Esito::infoNonValida << "halvora";
    }
    void esiti()
    {
        QFETCH(QString, caso);
        QFETCH(Esito, atteso);
        QFETCH(QString, voce);
        QTemporaryDir d;
        const QString b = d.filePath(QStringLiteral("Halvora.app"));
        QVERIFY(bundleFirmato(b, caso == QLatin1String("identificatore") ? QStringLiteral("Altro.App") : QString()));
        QByteArray chiave = BundleProva::chiavePubblica();
        const QString testo = b + QStringLiteral("/risorse/testo.txt");
        if (caso == QLatin1String("byte")) {
            QFile f(testo);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(1);
            f.write("I");
        } else if (caso == QLatin1String("modo")) {
            QVERIFY(QFile::setPermissions(testo, QFile::ReadOwner));
        } else if (caso == QLatin1String("extra")) {
            QVERIFY(BundleProva::aggiungi(b, QStringLiteral("risorse/altro"), "x"));
        } else if (caso == QLatin1String("mancante")) {
            QVERIFY(QFile::remove(testo));
        } else if (caso == QLatin1String("fuori")) {
            collega(b, "/etc/passwd", "esce");
        } else if (caso == QLatin1String("sale")) {
            collega(b, "../../etc", "risorse/sale");
        } else if (caso == QLatin1String("punto")) {
            collega(b, "./../netteria", "risorse/punto");
        } else if (caso == QLatin1String("fifo")) {
            QVERIFY(::mkfifo(QFile::encodeName(b + QStringLiteral("/risorse/tubo")).constData(), 0644) == 0);
        } else if (caso == QLatin1String("setuid")) {
            QVERIFY(::chmod(QFile::encodeName(b + QStringLiteral("/netteria")).constData(), 04755) == 0);
        } else if (caso == QLatin1String("chiave")) {
            QVERIFY(BundleProva::firma(b, BundleProva::chiaveEstranea()).isEmpty());
        } else if (caso == QLatin1String("nessuna chiave")) {
            chiave.clear();
        } else if (caso == QLatin1String("manifesto")) {
            QFile f(b + QStringLiteral("/Firma/manifesto"));
            QVERIFY(f.open(QIODevice::Append));
            f.write("f 0644 1 00 aggiunta\n");
        } else if (caso == QLatin1String("firma extra")) {
            QVERIFY(BundleProva::aggiungi(b, QStringLiteral("Firma/altro"), "x"));
        } else if (caso == QLatin1String("non firmato")) {
            QVERIFY(QDir(b + QStringLiteral("/Firma")).removeRecursively());
        } else if (caso == QLatin1String("non eseguibile")) {
            QVERIFY(QFile::setPermissions(b + QStringLiteral("/halvora"), QFile::ReadOwner | QFile::WriteOwner));
            QVERIFY(BundleProva::firma(b).isEmpty());
        }
        const FirmaBundle::Verifica v = FirmaBundle::verifica(b, chiave);
        QCOMPARE(v.esito, atteso);
        QCOMPARE(v.voce, voce);
    }

    void aBundleBehindALinkIsNotRead()
    {
        QTemporaryDir d;
        const QString b = d.filePath(QStringLiteral("Halvora.app"));
        QVERIFY(bundleFirmato(b));
        QVERIFY(QFile::link(b, d.filePath(QStringLiteral("Collegato.app"))));
        QCOMPARE(FirmaBundle::verifica(d.filePath(QStringLiteral("Collegato.app")), BundleProva::chiavePubblica()).esito,
                 Esito::illeggibile);
    }

    void signingRefusesWhatCouldNeverBeValid()
    {
        QTemporaryDir d;
        const QString b = d.filePath(QStringLiteral("Halvora.app"));
        QVERIFY(BundleProva::crea(b));
        QVERIFY(::mkfifo(QFile::encodeName(b + QStringLiteral("/tubo")).constData(), 0644) == 0);
        QVERIFY(!BundleProva::firma(b).isEmpty());
        QVERIFY(!QFile::exists(b + QStringLiteral("/Firma")));
        QVERIFY(QFile::remove(b + QStringLiteral("/tubo")));
        QVERIFY(FirmaBundle::firma(b, "not a key").has_value());
    }

    void theSigningToolAnswersTheReleaseScript()
    {
        QTemporaryDir d;
        const QString b = d.filePath(QStringLiteral("Halvora.app"));
        QVERIFY(BundleProva::crea(b));
        QFile pem(d.filePath(QStringLiteral("chiave.pem")));
        QVERIFY(pem.open(QIODevice::WriteOnly) && pem.write(BundleProva::chiavePrivata()) > 0);
        pem.close();
        const QString strumento = QStringLiteral(HALVORA_FIRMA);
        QCOMPARE(QProcess::execute(strumento, {QStringLiteral("firma"), b, pem.fileName()}), 0);
        QCOMPARE(QProcess::execute(strumento, {QStringLiteral("verifica"), b,
                                               QString::fromLatin1(BundleProva::chiavePubblica().toHex())}),
                 0);
        QCOMPARE(QProcess::execute(strumento, {QStringLiteral("verifica"), b, QStringLiteral("00")}), 1);
    }
};

QTEST_GUILESS_MAIN(TestFirmaBundle)
#include "tst_FirmaBundle.moc"
