// The real application on a virtual display, installed in an Applications
// folder of its own: the loopback feed offers 2.1.0, the update card shows
// it, and "Aggiorna" puts the signed package in place and opens it.
#include "AppRealeX11.h"
#include "BundleProva.h"
#include "FirmaBundle.h"
#include "InfoBundle.h"
#include "ServerHttpsLocale.h"
#include "TestOutput.h"
#include "ZipProva.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

// The card hangs 8 under the 32-high strip, centred on the 1920-wide screen.
const QRect kZonaScheda(774, 40, 372, 46);

QImage schermo(const QRect& zona = kZonaScheda)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, zona.x(), zona.y(), zona.width(), zona.height()).toImage();
}

int blu(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += c.blue() > 180 && c.red() < 100;
        }
    return n;
}

// The right edge of the white capsule at the card's trailing end, on its
// middle row; -1 when there is none.
int bordoCapsula(const QImage& img)
{
    const int y = img.height() / 2;
    for (int x = img.width() - 1; x > img.width() - 60; --x) {
        const QColor c = img.pixelColor(x, y);
        if (c.red() > 235 && c.green() > 235 && c.blue() > 235)
            return x;
    }
    return -1;
}

// The processes whose executable lies under `cartella`.
QList<qint64> processiDa(const QString& cartella)
{
    QList<qint64> pid;
    for (const QString& voce : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numero = false;
        const qint64 p = voce.toLongLong(&numero);
        if (numero && QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(voce)).startsWith(cartella + '/'))
            pid << p;
    }
    return pid;
}

} // namespace

class TestAggiornamentoX11 : public QObject {
    Q_OBJECT
    QTemporaryDir casa;

    QString applicazioni() const { return casa.filePath(QStringLiteral("Applications")); }

private slots:
    void cleanupTestCase()
    {
        for (qint64 p : processiDa(casa.path()))
            ::kill(pid_t(p), SIGKILL);
    }

    void updateCardInstallsAndOpensTheNewVersion()
    {
        const QString installata = applicazioni() + QStringLiteral("/Halvora.app");
        const QString nuova = casa.filePath(QStringLiteral("nuova/Halvora.app"));
        QVERIFY(AppRealeX11::segnaGuidaVista(casa));
        QVERIFY(BundleProva::crea(installata, {}, QStringLiteral("2.0"), QStringLiteral(HALVORA_PROVA)));
        QVERIFY(BundleProva::crea(nuova, {}, QStringLiteral("2.1.0"), QStringLiteral(HALVORA_PROVA)));
        QCOMPARE(BundleProva::firma(nuova), QString());
        ZipProva zip;
        QVERIFY(zip.albero(nuova, "Halvora.app"));

        ServerHttpsLocale server;
        QVERIFY(server.avvia());
        const QByteArray base = server.endpoint().toString().toUtf8();
        server.percorsi["/aggiornamenti.json"].corpo = "{\"versione\": \"2.1.0\", \"download\": \"" + base +
                                                       "/scarica\", \"pacchetto\": \"" + base + "/Halvora.zip\"}";
        server.percorsi["/Halvora.zip"].corpo = zip.dati();
        qputenv("HALVORA_PROVA_APPLICAZIONI", applicazioni().toUtf8());
        qputenv("HALVORA_PROVA_FEED", base);
        qputenv("HALVORA_PROVA_AUTORITA", server.certificato().toUtf8());

        // Both copies write to one file: the new one inherits the old one's output.
        const QString percorsoUscita = casa.filePath(QStringLiteral("uscita"));
        QFile uscita(percorsoUscita);
        QVERIFY(uscita.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
        QProcess app;
        app.setStandardOutputFile(percorsoUscita, QIODevice::Append);
        AppRealeX11::Righe righe(uscita);
        QWidget sfondo;
        QVERIFY(AppRealeX11::avviaSuSfondo(app, righe, casa, sfondo, QColor(0x80, 0x80, 0x80),
                                           installata + QStringLiteral("/halvora")));
        const qint64 vecchia = app.processId();
        QVERIFY(righe.aspetta(QStringLiteral("scheda aggiornamento"), 30000));
        QTRY_VERIFY_WITH_TIMEOUT(blu(schermo()) > 8000, 10000);
        QTest::qWait(600); // the entry transition has ended
        schermo(kZonaScheda.adjusted(-40, -40, 40, 40))
            .save(QDir(cartellaOutputTest()).filePath(QStringLiteral("aggiornamento-x11.png")));
        QVERIFY(bordoCapsula(schermo()) > 0);

        // "Aggiorna"; then "Apri", should the new copy have been too slow to
        // listen and the old one kept running with the card of the installed version.
        for (int volta = 0; volta < 3; ++volta) {
            if (const int bordo = bordoCapsula(schermo()); bordo > 0) {
                AppRealeX11::xdotool({QStringLiteral("mousemove"), QString::number(kZonaScheda.x() + bordo - 20),
                                      QString::number(kZonaScheda.center().y())});
                QTest::qWait(300);
                AppRealeX11::xdotool({QStringLiteral("click"), QStringLiteral("1")});
            }
            if (QTest::qWaitFor([&] { return app.state() == QProcess::NotRunning; }, 40000))
                break;
        }
        // What the notch shows then: the new copy's, or the card that stayed.
        schermo(kZonaScheda.adjusted(-40, -40, 40, 40))
            .save(QDir(cartellaOutputTest()).filePath(QStringLiteral("aggiornamento-x11-dopo.png")));
        QCOMPARE(app.state(), QProcess::NotRunning);
        QCOMPARE(app.exitCode(), 0);
        // The new copy says its version.
        QVERIFY(righe.aspetta(QStringLiteral("versione 2.1.0"), 30000));
        QVERIFY(righe.aspetta(QStringLiteral("pronta"), 30000));
        const auto info = InfoBundle::daBundle(installata);
        QVERIFY(info);
        QCOMPARE(info->versione, QStringLiteral("2.1.0"));
        QVERIFY(FirmaBundle::verifica(installata, BundleProva::chiavePubblica()).valida());
        QCOMPARE(QDir(applicazioni()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Halvora.app")});
        const QList<qint64> nuove = processiDa(installata);
        QCOMPARE(nuove.size(), 1);
        QVERIFY(nuove[0] != vecchia);

        ::kill(pid_t(nuove[0]), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(QStringLiteral("/proc/%1/exe").arg(nuove[0])), 10000);
    }

    // The same copy, installed in an Applications folder that is a link.
    void aCopyStartedThroughALinkedApplicationsFolderCountsAsInstalled()
    {
        QTemporaryDir casa;
        QVERIFY(QDir().mkpath(casa.filePath(QStringLiteral("config/Halvora"))));
        QFile ini(casa.filePath(QStringLiteral("config/Halvora/Halvora.ini")));
        // No location card seen yet: one would show a second after the start.
        QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write("[General]\nguidaVista=true\nbenvenutoOrbelleMostrato=true\n") > 0);
        ini.close();
        const QString reale = casa.filePath(QStringLiteral("apps-real"));
        QVERIFY(BundleProva::crea(reale + QStringLiteral("/Halvora.app"), {}, QStringLiteral("2.0"), QStringLiteral(HALVORA_PROVA)));
        QVERIFY(QFile::link(QStringLiteral("apps-real"), casa.filePath(QStringLiteral("Applications"))));
        qputenv("HALVORA_PROVA_APPLICAZIONI", casa.filePath(QStringLiteral("Applications")).toUtf8());
        qputenv("HALVORA_PROVA_FEED", "https://127.0.0.1:9");

        QProcess app;
        AppRealeX11::Righe righe(app);
        QWidget sfondo;
        QVERIFY(AppRealeX11::avviaSuSfondo(app, righe, casa, sfondo, QColor(0x80, 0x80, 0x80),
                                           casa.filePath(QStringLiteral("Applications/Halvora.app/halvora"))));
        // Registered as the installed copy, under its real path.
        const QString voce = casa.filePath(QStringLiteral("data/applications/halvora.desktop"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(voce), 10000);
        QFile f(voce);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains(QFile::encodeName(QFileInfo(reale).canonicalFilePath() + "/Halvora.app/halvora")));
        QVERIFY(!righe.aspetta(QStringLiteral("scheda installazione"), 4000));
        schermo(kZonaScheda.adjusted(-40, -40, 40, 40))
            .save(QDir(cartellaOutputTest()).filePath(QStringLiteral("installata-da-collegamento.png")));
        QCOMPARE(blu(schermo()), 0);
        app.terminate();
        QVERIFY(app.waitForFinished(10000));
    }
};

QTEST_MAIN(TestAggiornamentoX11)
#include "tst_AggiornamentoX11.moc"
