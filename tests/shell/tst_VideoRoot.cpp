#include "AttivitaManager.h"
#include "FakeClock.h"
#include "FakeControlloBrowser.h"
#include "FakeFrontApplication.h"
#include "FakePlayerTacca.h"
#include "MediaManager.h"
#include "MediaPlayerView.h"
#include "NotchStateManager.h"
#include "PropostaVideoCardView.h"
#include "RootNotchView.h"
#include "SlotScheda.h"
#include "UserDefaults.h"
#include "VideoNotchManager.h"
#include "X11Desktop.h"

#include <QAbstractButton>
#include <QTemporaryDir>
#include <QTest>

// The root view's side of the notch video: activations reach the video
// manager with the media manager's browser sample, the offer card hangs in
// the slot with the manager's answers, and the media tab opens the video.
class TestVideoRoot : public QObject {
    Q_OBJECT

private slots:
    void offerCardAndMediaTabAction()
    {
        QTemporaryDir dir;
        FakeClock clock;
        NotchStateManager stato(clock);
        AttivitaManager attivita(clock);
        UserDefaults impostazioni(dir.filePath("impostazioni.ini"));
        X11Desktop desktop;
        FakeFrontApplication frontale;
        FakeControlloBrowser browser;
        FakePlayerTacca player;
        browser.imposta([](auto& s) {
            s.schede = {{1, 1, true, QStringLiteral("https://youtu.be/dQw4w9WgXcQ"), QStringLiteral("Song - YouTube")}};
            s.media = MediaBrowser{QStringLiteral("Song"), {}, 30, true};
            s.nomi.insert(QStringLiteral("google-chrome"), QStringLiteral("Google Chrome"));
        });
        FabbricaManager f;
        f.media = [&] {
            ConfigurazioneMedia c;
            c.programmaHelper = dir.filePath("nessun-helper");
            c.spotify = c.playerConfigurato = QStringLiteral("org.mpris.MediaPlayer2.nessuno");
            return std::make_unique<MediaManager>(clock, c);
        };
        f.video = [&] {
            return std::make_unique<VideoNotchManager>(VideoNotchManager::Dipendenze{
                .clock = clock, .browser = browser, .player = &player, .appAttiva = QStringLiteral("google-chrome")});
        };
        f.frontale = &frontale;
        RootNotchView root(stato, attivita, QSize(800, 600),
                           {clock, impostazioni, desktop, NotchGeometry::Posizione::corrente(), {}, std::move(f)});
        MediaManager& media = *root.mediaManager();
        VideoNotchManager& video = *root.videoNotch();
        QVERIFY(video.haSessioneCorrente());
        // The browser's sample as the now-playing helper gives it.
        media.sorgenteSistema().accodaTesto(QStringLiteral("--HV-INIZIO--\n{\n    \"__title\" = \"Song\";\n"
                                                           "    \"__playbackRate\" = 1.000;\n    elapsedTime = (30.000);\n}\n"
                                                           "percorso: google-chrome (4242) Google Chrome\n--HV-FINE--\n"));
        media.eseguiGiro();
        QTRY_VERIFY(media.videoBrowser().has_value());

        frontale.attivaId(QStringLiteral("org.gnome.Nautilus"));
        QTRY_VERIFY(qobject_cast<PropostaVideoCardView*>(root.slot()->scheda()));
        auto* carta = qobject_cast<PropostaVideoCardView*>(root.slot()->scheda());
        QCOMPARE(carta->proposta().sessione.titolo, QStringLiteral("Song"));
        QVERIFY(stato.schedaRichiedeClick());
        carta->pulsanteNo()->click();
        QCOMPARE(video.rifiutate().size(), 1);
        QVERIFY(!root.slot()->scheda() || !qobject_cast<PropostaVideoCardView*>(root.slot()->scheda()));

        // The media tab's pill opens the browser's video and closes the notch at once.
        stato.setState(NotchState::expanded);
        stato.setActiveTab(NotchTab::media);
        auto* vista = root.findChild<MediaPlayerView*>();
        QVERIFY(vista);
        const QRectF pillola = vista->zona(MediaPlayerView::Zona::apriNellaTacca);
        QVERIFY(!pillola.isEmpty());
        QTest::mouseClick(vista, Qt::LeftButton, {}, pillola.center().toPoint());
        QCOMPARE(stato.currentState(), NotchState::compact);
        QCOMPARE(video.stato().tipo, VideoNotchManager::Stato::Tipo::caricamento);
        QTRY_VERIFY(player.chiamate.contains(QStringLiteral("carica dQw4w9WgXcQ 30.00 suono")));
    }
};

QTEST_MAIN(TestVideoRoot)
#include "tst_VideoRoot.moc"
