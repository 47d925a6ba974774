#include "FakeClock.h"
#include "FakeControlloBrowser.h"
#include "FakePlayerTacca.h"
#include "TestOutput.h"
#include "VideoNotchCardView.h"
#include "VideoNotchManager.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <cmath>

namespace {

const QString kChrome = QStringLiteral("google-chrome");

struct Banco {
    FakeClock clock;
    FakeControlloBrowser browser;
    FakePlayerTacca player;
    VideoNotchManager m{{.clock = clock, .browser = browser, .player = &player, .appAttiva = kChrome}};

    Banco()
    {
        browser.imposta([](FakeControlloBrowser::Stato& s) {
            s.schede = {{1, 1, true, QStringLiteral("https://www.youtube.com/watch?v=dQw4w9WgXcQ"),
                         QStringLiteral("Song - YouTube")}};
            s.media = MediaBrowser{QStringLiteral("Song"), {}, 61.5, true};
            s.nomi.insert(kChrome, QStringLiteral("Google Chrome"));
        });
    }
    void apri()
    {
        SorgenteSistema::Brano b;
        b.titolo = QStringLiteral("Song");
        b.inRiproduzione = true;
        b.bundleIDApp = kChrome;
        m.guardaNellaTacca(b);
        QTRY_VERIFY(!player.chiamate.filter(QStringLiteral("carica")).isEmpty());
    }
};

// The layers the player's window draws over a frame of video, as the helper shows them.
QImage sopraUnFotogramma(const VideoNotchCardView& v, bool sopra, const QString& nome)
{
    const QSizeF lato = v.rettangoloScheda().size();
    QImage img(lato.toSize(), QImage::Format_ARGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, lato.width(), lato.height());
    g.setColorAt(0, QColor(40, 90, 160));
    g.setColorAt(1, QColor(160, 60, 40));
    p.fillRect(img.rect(), g);
    SovrapposizioneVideo::disegna(p, lato, v.vista(), {sopra ? 1.0 : 0.0, sopra ? 1.0 : 0.0}, 0);
    p.end();
    img.save(QDir(cartellaOutputTest()).filePath(nome + QStringLiteral(".png")));
    return img;
}

} // namespace

class TestVideoNotchCardView : public QObject {
    Q_OBJECT

private slots:
    void sizeFollowsTheStoredWidth()
    {
        for (const auto& [salvata, l, h] : {std::tuple{100.0, 240.0, 135.0}, {1000.0, 560.0, 315.0},
                                           {320.0, 320.0, 180.0}, {NAN, 320.0, 180.0}, {INFINITY, 320.0, 180.0}})
            QCOMPARE(VideoNotchCardView::dimensione(salvata), QSizeF(l, h));
        const QPointF o(500, 500);
        QCOMPARE(VideoNotchCardView::propostaManiglia(o, 320, o + QPointF(50, 0)), 420.0);
        QCOMPARE(VideoNotchCardView::propostaManiglia(o, 320, o + QPointF(0, 45)), 400.0);
        QCOMPARE(VideoNotchCardView::propostaManiglia(o, 320, o + QPointF(50, 45)), 420.0); // the larger change
        QCOMPARE(VideoNotchCardView::propostaManiglia(o, 320, o + QPointF(9, 9)), 338.0);   // 18 vs 16: horizontal
        QCOMPARE(VideoNotchCardView::propostaManiglia(o, 320, o + QPointF(8, 9)), 336.0);   // a tie: horizontal
    }

    void draggingTheHandleResizesAndStoresTheClampedWidth()
    {
        Banco b;
        b.apri();
        QList<double> salvate;
        VideoNotchCardView v(b.m, 320, [&](double l) { salvate << l; });
        int cambi = 0;
        connect(&v, &VideoNotchCardView::dimensioneChanged, this, [&] { ++cambi; });
        emit b.player.maniglia(PlayerTacca::Fase::inizio, {500, 500});
        emit b.player.maniglia(PlayerTacca::Fase::sposta, {550, 500});
        QCOMPARE(v.rettangoloScheda().size(), QSizeF(420, 236.25));
        QVERIFY(salvate.isEmpty());
        emit b.player.maniglia(PlayerTacca::Fase::sposta, {900, 500}); // past the limit: shown clamped
        QCOMPARE(v.larghezza(), 560.0);
        emit b.player.maniglia(PlayerTacca::Fase::fine, {900, 500});
        QCOMPARE(salvate, QList<double>{560.0});
        QCOMPARE(v.larghezza(), 560.0);
        QVERIFY(cambi >= 3);
        // A move without a start proposes nothing.
        emit b.player.maniglia(PlayerTacca::Fase::sposta, {100, 100});
        QCOMPARE(v.larghezza(), 560.0);
    }

    void stateLayers()
    {
        Banco b;
        b.apri();
        VideoNotchCardView v(b.m, 320, {});
        // Opening: the spinner, the text and the close button only.
        auto apertura = v.vista();
        QCOMPARE(apertura.testo, QStringLiteral("Apro il video…"));
        QVERIFY(!apertura.aperto);
        salvaRender(v, QStringLiteral("video-card-caricamento"));
        // Open and paused, then playing with the browser still sounding.
        b.player.invia(R"({"tipo":"pronto"})");
        QVERIFY(v.vista().aperto && v.vista().inPausa);
        const QImage ferma = sopraUnFotogramma(v, true, QStringLiteral("video-card-pausa"));
        b.player.invia(R"({"tipo":"stato","valore":1,"t":62})");
        b.browser.imposta([](auto& s) { s.suono = SuonoBrowser::si; });
        b.clock.advance(1);
        QTRY_VERIFY(b.m.inAttesaDelSilenzio());
        QCOMPARE(v.vista().avviso, QStringLiteral("Metti in pausa Google Chrome per sentirlo qui"));
        const QImage suona = sopraUnFotogramma(v, true, QStringLiteral("video-card-riproduzione"));
        QVERIFY(ferma != suona);
        // Away from the card only the picture and the notice stay.
        const QImage via = sopraUnFotogramma(v, false, QStringLiteral("video-card-riproduzione-senza-puntatore"));
        QVERIFY(via != suona);
        // An error: the manager's text verbatim; the card's close button closes.
        b.player.invia(R"({"tipo":"errore","codice":150})");
        QCOMPARE(v.vista().testo, b.m.stato().testo);
        QCOMPARE(v.vista().pannello, SovrapposizioneVideo::Pannello::errore);
        salvaRender(v, QStringLiteral("video-card-errore"));
        const QPointF chiudi = v.rettangoloScheda().topRight() + QPointF(-20, 20);
        QTest::mouseClick(&v, Qt::LeftButton, {}, chiudi.toPoint());
        QCOMPARE(b.m.stato().tipo, VideoNotchManager::Stato::Tipo::chiuso);
    }
};

QTEST_MAIN(TestVideoNotchCardView)
#include "tst_VideoNotchCardView.moc"
