#include "ColoreCopertina.h"
#include "FakeClock.h"
#include "MediaPlayerView.h"
#include "TestOutput.h"

#include <QLinearGradient>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <limits>

namespace {

QImage copertinaDiProva()
{
    QImage img(120, 120, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    QLinearGradient g(0, 0, 120, 120);
    g.setColorAt(0, QColor(230, 80, 40));
    g.setColorAt(1, QColor(120, 20, 90));
    p.fillRect(img.rect(), g);
    p.setBrush(QColor(250, 210, 90));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(60, 60), 30, 30);
    return img;
}

StatoMedia brano()
{
    StatoMedia s;
    s.trackTitle = QStringLiteral("Notturno in sol minore");
    s.trackArtist = QStringLiteral("Orchestra della Sera");
    s.albumArt = copertinaDiProva();
    s.albumTint = coloreDaCopertina(s.albumArt);
    s.isPlaying = true;
    s.currentTime = 83;
    s.totalDuration = 245;
    s.activeAppDisplayName = QStringLiteral("Spotify");
    s.simboloSorgente = QStringLiteral("waveform.circle.fill");
    return s;
}

// A track, or nothing playing.
StatoMedia branoNelLayout(bool niente)
{
    StatoMedia s = brano();
    if (niente)
        s.trackTitle.clear();
    return s;
}

// The same case in both layouts.
void dueLayout()
{
    QTest::addColumn<bool>("niente");
    QTest::newRow("player layout") << false;
    QTest::newRow("nothing-playing layout") << true;
}

} // namespace

class TestMediaPlayerView : public QObject {
    Q_OBJECT
    FakeClock clock;

private slots:
    void timeFormat_data()
    {
        QTest::addColumn<double>("secondi");
        QTest::addColumn<QString>("testo");
        QTest::newRow("over an hour") << 3725.0 << "62:05";
        QTest::newRow("truncates") << 59.9 << "00:59";
        QTest::newRow("zero") << 0.0 << "00:00";
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "00:00";
        QTest::newRow("not a number") << std::nan("") << "00:00";
        QTest::newRow("huge stays defined") << 1e300 << QString::asprintf("%02lld:%02lld", 9200000000000000000LL / 60, 9200000000000000000LL % 60);
    }
    void timeFormat()
    {
        QFETCH(double, secondi);
        QTEST(MediaPlayerView::formattaTempo(secondi), "testo");
    }

    void layoutFollowsTheState()
    {
        MediaPlayerView v(nullptr, clock);
        v.resize(400, 190);
        StatoMedia s = brano();
        s.trackTitle = QStringLiteral("Nessuna riproduzione");
        v.setStato(s);
        QVERIFY(MediaPlayerView::nienteInRiproduzione(v.stato()));
        QCOMPARE(v.zona(MediaPlayerView::Zona::playPause).size(), QSizeF(40, 40));
        QVERIFY(v.zona(MediaPlayerView::Zona::cursore).isEmpty());

        s = brano();
        s.totalDuration = 0.5; // a slider from 0 to 1
        v.setStato(s);
        QVERIFY(!v.zona(MediaPlayerView::Zona::cursore).isEmpty());
        s.totalDuration = 0; // live: no slider
        v.setStato(s);
        QVERIFY(v.zona(MediaPlayerView::Zona::cursore).isEmpty());
    }

    void dragSendsOneSeekOnRelease()
    {
        MediaPlayerView v(nullptr, clock);
        v.resize(400, 190);
        StatoMedia s = brano();
        s.currentTime = 30;
        s.totalDuration = 120;
        v.setStato(s);
        QStringList eventi;
        connect(&v, &MediaPlayerView::trascinamento, this, [&](bool on) { eventi << QStringLiteral("drag %1").arg(on); });
        connect(&v, &MediaPlayerView::seek, this, [&](double t) { eventi << QStringLiteral("seek %1").arg(t); });
        QSignalSpy posizioni(&v, &MediaPlayerView::posizioneTrascinata);
        const QRectF z = v.zona(MediaPlayerView::Zona::cursore);
        const double x0 = z.left() + 6, larghezza = z.width() - 12;
        auto xPer = [&](double t) { return QPoint(int(std::lround(x0 + larghezza * t / 120)), int(z.center().y())); };
        QTest::mousePress(&v, Qt::LeftButton, {}, xPer(30));
        QTest::mouseMove(&v, xPer(60));
        QTest::mouseMove(&v, xPer(90));
        QTest::mouseRelease(&v, Qt::LeftButton, {}, xPer(90));
        QCOMPARE(eventi.size(), 3);
        QCOMPARE(eventi.at(0), QStringLiteral("drag 1"));
        QCOMPARE(eventi.at(1), QStringLiteral("drag 0"));
        QVERIFY(eventi.at(2).startsWith(QStringLiteral("seek ")));
        QVERIFY(std::abs(eventi.at(2).mid(5).toDouble() - 90) < 0.6);
        QVERIFY(posizioni.size() >= 3);
        QVERIFY(std::abs(posizioni.last().at(0).toDouble() - 90) < 0.6);
    }

    void noSeekWhenNotAllowed()
    {
        MediaPlayerView v(nullptr, clock);
        v.resize(400, 190);
        StatoMedia s = brano();
        s.permetteSeek = false;
        v.setStato(s);
        QSignalSpy seek(&v, &MediaPlayerView::seek), drag(&v, &MediaPlayerView::trascinamento);
        const QPoint c = v.zona(MediaPlayerView::Zona::cursore).center().toPoint();
        QTest::mousePress(&v, Qt::LeftButton, {}, c);
        QTest::mouseRelease(&v, Qt::LeftButton, {}, c + QPoint(40, 0));
        QCOMPARE(seek.size(), 0);
        QCOMPARE(drag.size(), 0);
        QVERIFY(!v.cursoreAttivo());
    }

    void buttonsSendTheirCommands_data() { dueLayout(); }
    void buttonsSendTheirCommands()
    {
        QFETCH(bool, niente);
        MediaPlayerView v(nullptr, clock);
        v.resize(400, 190);
        StatoMedia s = branoNelLayout(niente);
        v.setStato(s);
        QSignalSpy prec(&v, &MediaPlayerView::previousTrack), play(&v, &MediaPlayerView::togglePlayPause),
            succ(&v, &MediaPlayerView::nextTrack);
        QTest::mouseClick(&v, Qt::LeftButton, {}, v.zona(MediaPlayerView::Zona::precedente).center().toPoint());
        QTest::mouseClick(&v, Qt::LeftButton, {}, v.zona(MediaPlayerView::Zona::playPause).center().toPoint());
        QTest::mouseClick(&v, Qt::LeftButton, {}, v.zona(MediaPlayerView::Zona::successivo).center().toPoint());
        QCOMPARE(prec.size(), 1);
        QCOMPARE(play.size(), 1);
        QCOMPARE(succ.size(), 1);
        if (niente) {
            // Round buttons take clicks on their circle only.
            QTest::mouseClick(&v, Qt::LeftButton, {}, v.zona(MediaPlayerView::Zona::playPause).topLeft().toPoint() + QPoint(2, 2));
            QCOMPARE(play.size(), 1);
        }
    }

    void openInNotchOnlyWithAnAction_data() { dueLayout(); }
    void openInNotchOnlyWithAnAction()
    {
        QFETCH(bool, niente);
        MediaPlayerView v(nullptr, clock);
        v.resize(400, 190);
        StatoMedia s = branoNelLayout(niente);
        s.titoloVideoBrowser = QStringLiteral("Un video");
        v.setStato(s);
        QVERIFY(v.zona(MediaPlayerView::Zona::apriNellaTacca).isEmpty());
        int aperture = 0;
        v.setApriNellaTacca([&] { ++aperture; });
        const QRectF z = v.zona(MediaPlayerView::Zona::apriNellaTacca);
        QVERIFY(!z.isEmpty());
        QTest::mouseClick(&v, Qt::LeftButton, {}, z.center().toPoint());
        QCOMPARE(aperture, 1);
        s.titoloVideoBrowser.reset();
        v.setStato(s);
        QVERIFY(v.zona(MediaPlayerView::Zona::apriNellaTacca).isEmpty());
    }

    void renders()
    {
        struct Caso {
            const char* nome;
            std::function<void(StatoMedia&)> cambia;
            bool apri;
        };
        const Caso casi[] = {
            {"media_tab_playing", [](StatoMedia&) {}, false},
            {"media_tab_paused_browser", [](StatoMedia& s) {
                 s.isPlaying = false;
                 s.albumArt = {};
                 s.albumTint.reset();
                 s.activeAppDisplayName = QStringLiteral("Chromium");
                 s.simboloSorgente = QStringLiteral("globe");
                 s.permetteSeek = false;
                 s.titoloVideoBrowser = QStringLiteral("Concerto");
             }, true},
            {"media_tab_live", [](StatoMedia& s) { s.totalDuration = 0; }, false},
            {"media_tab_nothing", [](StatoMedia& s) { s.trackTitle.clear(); }, false},
            {"media_tab_nothing_video", [](StatoMedia& s) {
                 s.trackTitle.clear();
                 s.titoloVideoBrowser = QStringLiteral("Concerto");
             }, true},
        };
        for (const Caso& c : casi) {
            QWidget fondo;
            fondo.resize(400, 190);
            fondo.setStyleSheet(QStringLiteral("background: #000"));
            MediaPlayerView v(&fondo, clock);
            v.resize(400, 190);
            StatoMedia s = brano();
            c.cambia(s);
            v.setStato(s);
            if (c.apri)
                v.setApriNellaTacca([] {});
            const QImage img = salvaRender(fondo, QString::fromLatin1(c.nome));
            QCOMPARE(img.size(), QSize(400, 190));
            // Something drawn in the middle band.
            bool chiaro = false;
            for (int x = 0; x < 400 && !chiaro; x += 2)
                for (int y = 60; y < 130 && !chiaro; ++y)
                    chiaro = qGray(img.pixel(x, y)) > 180;
            QVERIFY2(chiaro, c.nome);
        }
    }
};

QTEST_MAIN(TestMediaPlayerView)
#include "tst_MediaPlayerView.moc"
