#include "AttivitaManager.h"
#include "BundleProva.h"
#include "Colori.h"
#include "FakeClock.h"
#include "PuliziaAvvio.h"
#include "UserDefaults.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The launch housekeeping in a temporary home: its Applications folder, its
// trash and its settings.
class TestPuliziaAvvio : public QObject {
    Q_OBJECT
    QTemporaryDir casa;
    int n = 0;

    QString applicazioni() const { return casa.filePath(QStringLiteral("Applications")); }
    QString inUso() const { return applicazioni() + QStringLiteral("/Halvora.app"); }
    NotchGeometry::Posizione posizione() const
    {
        return {inUso(), inUso() + QStringLiteral("/halvora"), casa.path(), applicazioni()};
    }
    QString ini() { return casa.filePath(QStringLiteral("d%1.ini").arg(++n)); }

private slots:
    void initTestCase()
    {
        QVERIFY(casa.isValid());
        // The freedesktop trash of this home, on the file system of its Applications folder.
        qputenv("HOME", QFile::encodeName(casa.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(casa.filePath(QStringLiteral("dati"))));
    }
    void init()
    {
        QDir(applicazioni()).removeRecursively();
        QVERIFY(BundleProva::crea(inUso(), {}, QStringLiteral("2.1")));
    }

    void theRenameNoticeShowsOnceToEarlierUsers_data()
    {
        QTest::addColumn<QString>("chiave"); // stored before the launch
        QTest::addColumn<bool>("mostra");
        QTest::newRow("a fresh installation") << "" << false;
        QTest::newRow("the guide seen, even as false") << "guidaVista" << true;
        QTest::newRow("an update check") << "ultimaVerificaAggiornamento" << true;
        QTest::newRow("already shown") << "benvenutoOrbelleMostrato" << false;
    }
    void theRenameNoticeShowsOnceToEarlierUsers()
    {
        QFETCH(QString, chiave);
        QFETCH(bool, mostra);
        FakeClock clock;
        AttivitaManager attivita(clock);
        UserDefaults impostazioni(ini());
        if (!chiave.isEmpty())
            impostazioni.setValue(chiave, false);
        if (chiave == PuliziaAvvio::kBenvenutoMostrato) {
            impostazioni.setValue(chiave, true);
            impostazioni.setValue(QStringLiteral("guidaVista"), true);
        }
        PuliziaAvvio pulizia({clock, impostazioni, posizione()});
        // The location card writes its key on this very launch: no earlier use.
        impostazioni.setValue(QStringLiteral("avvisoPosizioneMostrato"), true);
        pulizia.controllaRinominaECopie(attivita);
        QVERIFY(impostazioni.boolValue(PuliziaAvvio::kBenvenutoMostrato, false));
        clock.advance(2.49);
        QVERIFY(!attivita.corrente());
        clock.advance(0.01);
        QCOMPARE(attivita.corrente().has_value(), mostra);
        if (mostra) {
            QCOMPARE(attivita.corrente()->titolo, QStringLiteral("Ora si chiama Orbelle"));
            QCOMPARE(attivita.corrente()->dettaglio, QStringLiteral("Prima era Halvora"));
            QCOMPARE(attivita.corrente()->simbolo, QStringLiteral("sparkles"));
            clock.advance(9.99);
            QVERIFY(attivita.corrente());
            clock.advance(0.01);
            QVERIFY(!attivita.corrente());
        }
        // The next launch never shows it.
        PuliziaAvvio dopo({clock, impostazioni, posizione()});
        QVERIFY(!dopo.avvisoRinominaDovuto());
    }

    void onlyAnOlderIdleCopyOfThisApplicationGoesToTheTrash_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("identificatore");
        QTest::addColumn<QString>("versione");
        QTest::addColumn<bool>("inEsecuzione");
        QTest::addColumn<bool>("cestinata");
        const QString nostra;
        QTest::newRow("older") << "Halvora vecchia.app" << nostra << "2.0" << false << true;
        QTest::newRow("older but running") << "Halvora vecchia.app" << nostra << "2.0" << true << false;
        QTest::newRow("newer") << "Halvora nuova.app" << nostra << "2.2" << false << false;
        QTest::newRow("the same version") << "Halvora copia.app" << nostra << "2.1" << false << false;
        QTest::newRow("another application") << "Altra.app" << "org.altra" << "1.0" << false << false;
        QTest::newRow("not a bundle name") << "Halvora vecchia" << nostra << "2.0" << false << false;
        QTest::newRow("hidden") << ".Halvora vecchia.app" << nostra << "2.0" << false << false;
        QTest::newRow("below the top level") << "Vecchie/Halvora.app" << nostra << "2.0" << false << false;
    }
    void onlyAnOlderIdleCopyOfThisApplicationGoesToTheTrash()
    {
        QFETCH(QString, nome);
        QFETCH(QString, identificatore);
        QFETCH(QString, versione);
        QFETCH(bool, inEsecuzione);
        QFETCH(bool, cestinata);
        const QString copia = QDir(applicazioni()).filePath(nome);
        QVERIFY(BundleProva::crea(copia, identificatore, versione, QStringLiteral("/bin/sleep")));
        QProcess processo;
        if (inEsecuzione) {
            processo.start(copia + QStringLiteral("/halvora"), {QStringLiteral("30")});
            QVERIFY(processo.waitForStarted());
        }
        FakeClock clock;
        AttivitaManager attivita(clock);
        UserDefaults impostazioni(ini());
        impostazioni.setValue(QStringLiteral("guidaVista"), true); // the rename notice comes first
        PuliziaAvvio pulizia({clock, impostazioni, posizione()});
        pulizia.controllaRinominaECopie(attivita);
        clock.advance(2.5);
        QCOMPARE(attivita.corrente()->titolo, QStringLiteral("Ora si chiama Orbelle"));
        if (cestinata) {
            QTRY_COMPARE(attivita.coda().size(), 1);
            const AttivitaNotch& a = attivita.coda()[0].attivita;
            QCOMPARE(a.titolo, QStringLiteral("Doppione cestinato"));
            QCOMPARE(a.dettaglio, QStringLiteral("Halvora vecchia"));
            QCOMPARE(a.simbolo, QStringLiteral("trash"));
            QCOMPARE(attivita.coda()[0].durata, 8.0);
            const QString cestino = casa.filePath(QStringLiteral("dati/Trash/"));
            QVERIFY(QFileInfo::exists(cestino + QStringLiteral("files/") + nome + QStringLiteral("/Info.json")));
            QVERIFY(QFileInfo::exists(cestino + QStringLiteral("info/") + nome + QStringLiteral(".trashinfo")));
        } else {
            QVERIFY(!pulizia.cercaCopiaPiuVecchia());
            QVERIFY(attivita.coda().isEmpty());
        }
        QCOMPARE(QFileInfo::exists(copia), !cestinata);
        QVERIFY(QFileInfo::exists(inUso()));
        processo.kill();
        processo.waitForFinished();
    }

    void aRefusedTrashAsksTheUserAndNothingRunsOutsideApplications()
    {
        const QString copia = applicazioni() + QStringLiteral("/Vecchia.app");
        QVERIFY(BundleProva::crea(copia, {}, QStringLiteral("1.9")));
        FakeClock clock;
        AttivitaManager attivita(clock);
        UserDefaults impostazioni(ini());
        PuliziaAvvio pulizia({clock, impostazioni, posizione(), [](const QString&) { return false; }});
        pulizia.controllaRinominaECopie(attivita);
        clock.advance(2.5);
        QTRY_VERIFY(attivita.corrente());
        QCOMPARE(attivita.corrente()->titolo, QStringLiteral("Hai due copie"));
        QCOMPARE(attivita.corrente()->dettaglio, QStringLiteral("Cestina la più vecchia"));
        QCOMPARE(attivita.corrente()->tinta, std::optional(Colori::arancione()));
        QVERIFY(QFileInfo::exists(copia));

        // Run from elsewhere, the folder is not searched.
        NotchGeometry::Posizione altrove = posizione();
        altrove.bundle = casa.filePath(QStringLiteral("Scaricati/Halvora.app"));
        QVERIFY(BundleProva::crea(altrove.bundle, {}, QStringLiteral("2.1")));
        QVERIFY(!PuliziaAvvio({clock, impostazioni, altrove}).cercaCopiaPiuVecchia());
    }
};

QTEST_GUILESS_MAIN(TestPuliziaAvvio)
#include "tst_PuliziaAvvio.moc"
