#include "FakeClock.h"
#include "MediaManager.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QHostAddress>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QFile>
#include <QTest>
#include <memory>

namespace {

// One stand-in player process on the private bus.
class Finto {
public:
    explicit Finto(const QStringList& argomenti)
    {
        p.setProgram(QStringLiteral(HALVORA_FINTO_PLAYER));
        p.setArguments(argomenti);
        p.start();
        nome = QStringLiteral("org.mpris.MediaPlayer2.") + argomenti.at(argomenti.indexOf(QStringLiteral("--nome")) + 1);
    }
    ~Finto()
    {
        p.kill();
        p.waitForFinished(2000);
    }
    bool pronto()
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            if (QDBusConnection::sessionBus().interface()->isServiceRegistered(nome))
                return true;
            QTest::qWait(20);
        }
        return false;
    }
    // The commands it received so far.
    QStringList ricevuti()
    {
        uscita += QString::fromUtf8(p.readAllStandardOutput());
        return uscita.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Changes its state and waits until it took the change.
    void comanda(const QString& riga)
    {
        const QString conferma = QStringLiteral("ok ") + riga.section(QLatin1Char(' '), 0, 0);
        const auto prima = ricevuti().count(conferma);
        p.write((riga + QLatin1Char('\n')).toUtf8());
        QTRY_VERIFY(ricevuti().count(conferma) > prima);
    }

    QProcess p;
    QString nome;
    QString uscita;
};

QStringList spotify(const QString& stato, const QString& titolo = QStringLiteral("Uno"), const QString& arte = {})
{
    return {"--nome", "spotify", "--identita", "Spotify", "--desktop", "spotify", "--stato", stato, "--titolo", titolo,
            "--artista", "Gruppo", "--durata-us", "200000000", "--posizione-us", "10000000", "--traccia",
            "/org/halvora/traccia/1", "--arte", arte};
}

QStringList browser(const QString& stato)
{
    return {"--nome", "chromium.instance42", "--identita", "Chromium", "--desktop", "chromium", "--stato", stato,
            "--titolo", "Video", "--durata-us", "60000000"};
}

ConfigurazioneMedia configurazione(const QUrl& base = QUrl(QStringLiteral("http://127.0.0.1:9")))
{
    ConfigurazioneMedia c;
    c.programmaHelper = QStringLiteral(HALVORA_NOWPLAYING_TEST);
    c.baseRicerca = base;
    c.playerConfigurato = QStringLiteral("org.mpris.MediaPlayer2.finto_musica");
    return c;
}

bool giroFinito(MediaManager& m)
{
    m.eseguiGiro();
    QElapsedTimer t;
    t.start();
    while (m.isFetching() && t.elapsed() < 5000)
        QTest::qWait(10);
    return !m.isFetching();
}

// A shell script in `dir` that stands in for the now-playing helper.
QString scriptHelper(const QTemporaryDir& dir, const QByteArray& corpo)
{
    const QString percorso = dir.filePath(QStringLiteral("helper"));
    QFile f(percorso);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n" + corpo + "\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    return percorso;
}

// A one-colour PNG.
QByteArray png(QColor colore)
{
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(colore);
    QByteArray dati;
    QBuffer b(&dati);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "PNG");
    return dati;
}

// Serves /lenta.png after `ritardo` ms and /veloce.png at once.
class ServerImmagini : public QTcpServer {
public:
    int ritardo = 800;
    int servite = 0;
    ServerImmagini()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray richiesta = s->readAll();
                    const bool lenta = richiesta.contains("/lenta.png");
                    const QByteArray corpo = png(lenta ? Qt::red : Qt::green);
                    auto rispondi = [this, s, corpo] {
                        s->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nConnection: close\r\nContent-Length: "
                                 + QByteArray::number(corpo.size()) + "\r\n\r\n" + corpo);
                        s->disconnectFromHost();
                        ++servite;
                    };
                    if (lenta)
                        QTimer::singleShot(ritardo, s, rispondi);
                    else
                        rispondi();
                });
            }
        });
    }
    QString url(const char* percorso) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(percorso); }
};

} // namespace

class TestMediaManager : public QObject {
    Q_OBJECT

private slots:
    void nothingPlaying()
    {
        FakeClock clock;
        MediaManager m(clock, configurazione());
        QVERIFY(giroFinito(m));
        QCOMPARE(m.trackTitle(), QString());
        QCOMPARE(m.simboloSorgente(), QStringLiteral("applelogo"));
        QVERIFY(m.permetteSeek());
        // The system source was started and its first (empty) look changes nothing.
        QVERIFY(m.sorgenteSistema().inEsecuzione());
        QTRY_VERIFY_WITH_TIMEOUT(std::isfinite(m.sorgenteSistema().campioni().ultimoCampione), 8000);
        QVERIFY(giroFinito(m));
        QCOMPARE(m.trackTitle(), QString());
        QVERIFY(!m.videoBrowser());
    }

    void spotifyPlayingIsPublishedAndTakesCommands()
    {
        Finto s(spotify(QStringLiteral("Playing")));
        QVERIFY(s.pronto());
        FakeClock clock;
        MediaManager m(clock, configurazione());
        QVERIFY(giroFinito(m));
        QCOMPARE(m.trackTitle(), QStringLiteral("Uno"));
        QCOMPARE(m.trackArtist(), QStringLiteral("Gruppo"));
        QVERIFY(m.isPlaying());
        QVERIFY(m.permetteSeek());
        QCOMPARE(m.simboloSorgente(), QStringLiteral("waveform.circle.fill"));
        QCOMPARE(m.activeAppDisplayName(), QStringLiteral("Spotify"));
        QCOMPARE(m.totalDuration(), 200.0);
        QCOMPARE(m.currentTime(), 10.0);
        QVERIFY(!m.sorgenteSistema().inEsecuzione()); // a playing scripted player needs no system source

        m.seek(83.456);
        QTRY_VERIFY(s.ricevuti().contains(QStringLiteral("SetPosition /org/halvora/traccia/1 83460000")));
        m.togglePlayPause();
        QVERIFY(!m.isPlaying()); // flipped at once
        QTRY_VERIFY(s.ricevuti().contains(QStringLiteral("PlayPause")));
        m.nextTrack();
        m.previousTrack();
        QTRY_VERIFY(s.ricevuti().contains(QStringLiteral("Previous")));
        QVERIFY(s.ricevuti().contains(QStringLiteral("Next")));

        // While the slider is dragged the poll leaves the position alone.
        m.setIsDraggingSlider(true);
        m.setCurrentTime(150);
        QVERIFY(giroFinito(m));
        QCOMPARE(m.currentTime(), 150.0);
        QCOMPARE(m.trackTitle(), QStringLiteral("Uno"));
    }

    void browserPlayingBeatsPausedSpotify()
    {
        Finto s(spotify(QStringLiteral("Paused")));
        Finto b(browser(QStringLiteral("Playing")));
        QVERIFY(s.pronto());
        QVERIFY(b.pronto());
        FakeClock clock;
        MediaManager m(clock, configurazione());
        QVERIFY(giroFinito(m));
        // First the paused reply stands; then the helper's first look reports the browser, and a new cycle follows by itself.
        QTRY_COMPARE_WITH_TIMEOUT(m.trackTitle(), QStringLiteral("Video"), 8000);
        QTRY_VERIFY(!m.isFetching());
        QVERIFY(m.isPlaying());
        QCOMPARE(m.simboloSorgente(), QStringLiteral("globe"));
        QVERIFY(!m.permetteSeek());
        QCOMPARE(m.activeAppDisplayName(), QStringLiteral("Chromium"));
        QVERIFY(m.videoBrowser());
        QCOMPARE(m.videoBrowser()->bundleIDApp, QStringLiteral("chromium"));
        QCOMPARE(m.totalDuration(), 60.0);
        QVERIFY(m.albumArt().isNull());

        // No seek for the system source; the transport goes to the browser's player.
        m.seek(20);
        m.nextTrack();
        QTRY_VERIFY(b.ricevuti().contains(QStringLiteral("Next")));
        QVERIFY(!s.ricevuti().join(QLatin1Char(' ')).contains(QStringLiteral("SetPosition")));
        QVERIFY(!b.ricevuti().join(QLatin1Char(' ')).contains(QStringLiteral("SetPosition")));

    }

    void staleSystemSampleIsIgnored()
    {
        // A helper that reports a playing browser once and then falls silent.
        QTemporaryDir dir;
        const QString helper = scriptHelper(dir, "printf -- '--HV-INIZIO--\\n\"__title\" = \"Video\";\\n\"__playbackRate\" = 1;\\n"
                                                 "percorso: chromium (42) Chromium\\n--HV-FINE--\\n' >&2\nexec sleep 60");
        Finto s(spotify(QStringLiteral("Paused")));
        QVERIFY(s.pronto());
        FakeClock clock;
        auto c = configurazione();
        c.programmaHelper = helper;
        MediaManager m(clock, c);
        QVERIFY(giroFinito(m));
        QTRY_COMPARE_WITH_TIMEOUT(m.trackTitle(), QStringLiteral("Video"), 5000);
        QTRY_VERIFY(!m.isFetching());
        clock.advance(5.9);
        QTRY_VERIFY(!m.isFetching());
        QVERIFY(giroFinito(m));
        QCOMPARE(m.trackTitle(), QStringLiteral("Video"));
        // At 6.0 s the sample is too old: the paused Spotify reply is published.
        clock.advance(0.1);
        QTRY_VERIFY(!m.isFetching());
        QVERIFY(giroFinito(m));
        QCOMPARE(m.trackTitle(), QStringLiteral("Uno"));
        QVERIFY(!m.isPlaying());
        QVERIFY(m.permetteSeek());
        QVERIFY(!m.videoBrowser());
    }

    void scriptedRepliesStopTheSystemSource()
    {
        QTemporaryDir dir;
        const QString helper = scriptHelper(dir, "exec sleep 60"); // alive and silent
        Finto s(spotify(QStringLiteral("Paused")));
        QVERIFY(s.pronto());
        FakeClock clock;
        auto c = configurazione();
        c.programmaHelper = helper;
        MediaManager m(clock, c);
        QVERIFY(giroFinito(m));
        QVERIFY(m.sorgenteSistema().inEsecuzione()); // no one plays: the merge starts it

        // A retune restarts it with the new interval; 1.5 s again while a browser plays.
        m.setIntervalloCorrente(6.0);
        m.aggiornaIntervalloSorgente();
        QCOMPARE(m.sorgenteSistema().intervallo(), 6.0);
        QVERIFY(m.sorgenteSistema().inEsecuzione());

        // The paused reply the merge published is the first of five in a row.
        s.comanda(QStringLiteral("stato Playing"));
        for (int i = 2; i <= 4; ++i) {
            QVERIFY(giroFinito(m));
            QVERIFY2(m.sorgenteSistema().inEsecuzione(), qPrintable(QString::number(i)));
        }
        QVERIFY(giroFinito(m));
        QVERIFY(!m.sorgenteSistema().inEsecuzione());
        QVERIFY(m.isPlaying());
        s.comanda(QStringLiteral("stato Paused"));
        QVERIFY(giroFinito(m));
        QVERIFY(m.sorgenteSistema().inEsecuzione());
    }

    void pausedSystemTrackLastsNoLongerThan180Seconds()
    {
        Finto b(browser(QStringLiteral("Playing")));
        QVERIFY(b.pronto());
        FakeClock clock;
        MediaManager m(clock, configurazione());
        QVERIFY(giroFinito(m));
        QTRY_COMPARE_WITH_TIMEOUT(m.trackTitle(), QStringLiteral("Video"), 8000);
        b.comanda(QStringLiteral("stato Paused"));
        QTRY_VERIFY_WITH_TIMEOUT(!m.isPlaying() && !m.isFetching(), 8000);
        QCOMPARE(m.trackTitle(), QStringLiteral("Video"));

        // 180 s later the next look drops the paused track, but the raw entry stays.
        clock.advance(180.0);
        const double dopo = clock.monotonic();
        QTRY_VERIFY_WITH_TIMEOUT(m.sorgenteSistema().campioni().ultimoCampione >= dopo, 8000);
        QTRY_VERIFY(!m.isFetching());
        QVERIFY(giroFinito(m));
        QCOMPARE(m.trackTitle(), QString());
        QVERIFY(m.videoBrowser());
    }

    void lateArtworkNeverDressesTheNextTrack()
    {
        ServerImmagini server;
        Finto s(spotify(QStringLiteral("Playing"), QStringLiteral("Uno"), server.url("/lenta.png")));
        QVERIFY(s.pronto());
        FakeClock clock;
        MediaManager m(clock, configurazione());
        QSignalSpy tinte(&m, &MediaManager::albumTintChanged);
        QVERIFY(giroFinito(m));
        QCOMPARE(m.trackTitle(), QStringLiteral("Uno"));
        // The next track starts before the first track's artwork arrives.
        s.comanda(QStringLiteral("arte ") + server.url("/veloce.png"));
        s.comanda(QStringLiteral("titolo Due"));
        QVERIFY(giroFinito(m));
        QCOMPARE(m.trackTitle(), QStringLiteral("Due"));
        QTRY_VERIFY(!m.albumArt().isNull());
        QTRY_COMPARE_WITH_TIMEOUT(server.servite, 2, 5000);
        QTest::qWait(100);
        QCOMPARE(m.albumArt().pixelColor(2, 2), QColor(Qt::green));
        QVERIFY(m.albumTint().has_value());
        QCOMPARE(m.albumTint()->hsvHueF() * 360, 120.0f);
    }
};

QTEST_MAIN(TestMediaManager)
#include "tst_MediaManager.moc"
