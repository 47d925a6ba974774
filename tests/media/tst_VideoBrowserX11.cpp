// The notch video against the stand-in browser on a private bus and
// display: the real now-playing helper, browser backend and front
// application, with a fake notch player.
#include "BrowserFinto.h"
#include "ControlloBrowserLinux.h"
#include "DesktopEntries.h"
#include "FakeClock.h"
#include "FakePlayerTacca.h"
#include "MediaManager.h"
#include "VideoNotchManager.h"
#include "X11Desktop.h"
#include "X11FrontApplication.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {
const QString kVideo = QStringLiteral("https://www.youtube.com/watch?v=dQw4w9WgXcQ");

void attiva(quint32 finestra)
{
    QProcess::execute(QStringLiteral("xdotool"), {"windowactivate", "--sync", QString::number(finestra)});
}
} // namespace

class TestVideoBrowserX11 : public QObject {
    Q_OBJECT
    QTemporaryDir casa;

private slots:
    void initTestCase()
    {
        // The browser's entry and profile folder, where the application looks for them.
        qputenv("XDG_DATA_HOME", casa.filePath("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", casa.filePath("config").toUtf8());
        QVERIFY(BrowserFinto::desktopEntry(HALVORA_FINTO_PLAYER, casa.filePath("data/applications"), "google-chrome",
                                           "Google Chrome", casa.filePath("inoltri")));
    }

    void offerOpenAndHandBack_data()
    {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<QString>("sessione");
        QTest::newRow("tabs with titles") << QStringList{"--dati", casa.filePath("config/google-chrome")} << QString();
        // Chromium after an address was typed: the tab untitled, in the profile its rewritten command line names.
        QTest::newRow("as Chromium writes")
            << QStringList{"--chromium-reale", "--user-data-dir=" + casa.filePath("altrove"), "--profile-directory=Prova"}
            << casa.filePath("altrove/Prova/Sessions/Session_1");
    }
    void offerOpenAndHandBack()
    {
        QFETCH(QStringList, argomenti);
        QFETCH(QString, sessione);
        QFile::remove(casa.filePath("inoltri"));
        BrowserFinto finto(HALVORA_FINTO_PLAYER,
                           QStringList{"--browser", "--titolo", "Song", "--url", kVideo, "--posizione-us", "42000000"} + argomenti);
        QVERIFY(finto.pronto());

        const DesktopEntries voci = DesktopEntries::daSistema();
        X11Desktop desktop;
        X11FrontApplication frontale(desktop, voci);
        ConfigurazioneMedia c;
        c.programmaHelper = QStringLiteral(HALVORA_NOWPLAYING_TEST);
        c.spotify = QStringLiteral("org.mpris.MediaPlayer2.nessuno");
        c.playerConfigurato = QStringLiteral("org.mpris.MediaPlayer2.nessuno2");
        c.baseRicerca = QUrl(QStringLiteral("http://127.0.0.1:9"));
        MediaManager media(Clock::system(), c);
        ControlloBrowserLinux browser(voci);
        FakePlayerTacca player;
        FakeClock orologio;
        VideoNotchManager video({.clock = orologio, .browser = browser, .player = &player, .appAttiva = frontale.currentId()});
        connect(&frontale, &FrontApplication::changed, this, [&] {
            const auto app = frontale.current();
            video.valutaSessione(app ? std::optional<QString>(app->desktopId) : std::nullopt, media.videoBrowser());
        });
        // The player, which calls itself "chromium", is known by its pid as the browser it is.
        QTRY_VERIFY_WITH_TIMEOUT(media.videoBrowser().has_value(), 10000);
        QCOMPARE(media.videoBrowser()->bundleIDApp, QStringLiteral("google-chrome"));
        QCOMPARE(media.videoBrowser()->pid, finto.pid());

        QWidget altra;
        altra.setWindowTitle(QStringLiteral("altra"));
        altra.setGeometry(900, 300, 300, 200);
        altra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&altra));
        const quint32 finestraBrowser = finto.finestra();
        QVERIFY(finestraBrowser);
        auto lascia = [&]() -> qint64 {
            attiva(finestraBrowser);
            if (!QTest::qWaitFor([&] { return frontale.currentId() == QLatin1String("google-chrome"); }, 5000))
                return -2;
            QElapsedTimer t;
            t.start();
            attiva(quint32(altra.winId()));
            return QTest::qWaitFor([&] { return video.proposta().has_value(); }, 3000) ? t.elapsed() : -1;
        };
        const qint64 ms = lascia();
        QVERIFY2(ms >= 0 && ms < 3000, qPrintable(QString::number(ms)));
        QCOMPARE(video.proposta()->nomeBrowser, QStringLiteral("Google Chrome"));
        // Back to the browser: withdrawn, not declined.
        attiva(finestraBrowser);
        QTRY_VERIFY(!video.proposta());
        QVERIFY(video.rifiutate().isEmpty());

        // Accepting pauses the browser (Pause, not a toggle) and starts the notch where the tab was.
        QVERIFY(lascia() >= 0);
        video.accettaProposta(media.videoBrowser());
        QTRY_COMPARE(player.chiamate.filter("carica"), QStringList{"carica dQw4w9WgXcQ 42.00 suono"});
        QVERIFY(finto.ricevuti().contains("Pause"));
        QVERIFY(!finto.ricevuti().contains("PlayPause"));
        player.invia(R"({"tipo":"stato","valore":1,"t":60})");
        QCOMPARE(video.stato().tipo, VideoNotchManager::Stato::Tipo::inRiproduzione);

        // Handing back seeks the browser to the notch's time, plays it and brings it forward.
        player.tempo = 77.5;
        attiva(quint32(altra.winId()));
        video.riportaNelBrowser();
        QTRY_VERIFY(finto.ricevuti().contains("Play"));
        const QStringList ricevuti = finto.ricevuti();
        QVERIFY(ricevuti.contains("SetPosition /org/chromium/MediaPlayer2/TrackList/Track1 77500000"));
        QVERIFY(ricevuti.indexOf("Play") > ricevuti.indexOf("SetPosition /org/chromium/MediaPlayer2/TrackList/Track1 77500000"));
        QTRY_COMPARE(frontale.currentId(), QStringLiteral("google-chrome"));
        QVERIFY(!QFile::exists(casa.filePath("inoltri"))); // in the same tab, no second one

        if (!sessione.isEmpty()) {
            // A session file caught mid-write names no tab for that call; the next call reads it again.
            const IstanzaBrowser ib = VideoNotchManager::istanza(*media.videoBrowser());
            QCOMPARE(browser.schede(ib).size(), 1);
            QVERIFY(QFile::resize(sessione, 24));
            QVERIFY(browser.schede(ib).isEmpty());
            QVERIFY(finto.comanda("titolo Song"));
            QCOMPARE(browser.schede(ib).size(), 1);
        }

        // Unanswered for 10 s: declined, and not offered again.
        QTRY_VERIFY_WITH_TIMEOUT(media.videoBrowser() && media.videoBrowser()->inRiproduzione, 10000);
        QVERIFY(lascia() >= 0);
        orologio.advance(10);
        QVERIFY(!video.proposta());
        QCOMPARE(video.rifiutate().size(), 1);
        attiva(finestraBrowser);
        QTRY_COMPARE(frontale.currentId(), QStringLiteral("google-chrome"));
        attiva(quint32(altra.winId()));
        QTest::qWait(500);
        QVERIFY(!video.proposta());

        // A video of another site cannot be watched in the notch.
        QVERIFY(finto.comanda("url https://vimeo.com/1"));
        video.guardaNellaTacca(*media.videoBrowser());
        QTRY_COMPARE(video.stato().testo,
                     QStringLiteral("Nella tacca si possono guardare solo i video di YouTube: adesso sta suonando vimeo.com."));
    }

    void noTabGoesBackThroughTheDesktopEntry()
    {
        // The player names its address, no session file: the watch page opens through the entry's Exec.
        BrowserFinto finto(HALVORA_FINTO_PLAYER, {"--browser", "--titolo", "Other", "--url", kVideo, "--xesam"});
        QVERIFY(finto.pronto());
        const DesktopEntries voci = DesktopEntries::daSistema();
        ControlloBrowserLinux browser(voci);
        const IstanzaBrowser ib{QStringLiteral("google-chrome"), finto.pid(), {}};
        QTRY_VERIFY(finto.finestra() != 0);
        const auto schede = browser.schede(ib);
        QCOMPARE(schede.size(), 1);
        QVERIFY(schede.first().attiva); // its title is the window's
        QCOMPARE(browser.suona(ib), SuonoBrowser::nonSo); // no sound server here
        QVERIFY(browser.apri(ib, QUrl(kVideo + "&t=5s")));
        auto inoltrati = [this] {
            QFile f(casa.filePath("inoltri"));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QTRY_VERIFY(inoltrati().contains("watch?v=dQw4w9WgXcQ&t=5s"));
        QVERIFY(!browser.apri(ib, QUrl(QStringLiteral("file:///etc/passwd"))));
    }
};

QTEST_MAIN(TestVideoBrowserX11)
#include "tst_VideoBrowserX11.moc"
