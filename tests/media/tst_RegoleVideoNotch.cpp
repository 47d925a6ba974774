#include "ControlloBrowserLinux.h"
#include "RegoleVideoNotch.h"
#include "SessioneChromium.h"

#include <QTest>

using namespace RegoleVideoNotch;

namespace {
SchedaBrowser scheda(int n, bool attiva, const QString& url, const QString& titolo)
{
    return {1, n, attiva, url, titolo};
}
const QString kVideo = QStringLiteral("https://www.youtube.com/watch?v=dQw4w9WgXcQ");
const QString kAltro = QStringLiteral("https://www.youtube.com/watch?v=aaaaaaaaaaa");
} // namespace

class TestRegoleVideoNotch : public QObject {
    Q_OBJECT

private slots:
    void idVideo_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("id");
        QTest::newRow("watch") << kVideo << "dQw4w9WgXcQ";
        QTest::newRow("watch in a playlist") << "https://www.youtube.com/watch?v=dQw4w9WgXcQ&list=PL123&index=2"
                                             << "dQw4w9WgXcQ";
        QTest::newRow("short link with time") << "https://youtu.be/dQw4w9WgXcQ?t=42" << "dQw4w9WgXcQ";
        QTest::newRow("subdomain") << "https://m.youtube.com/watch?v=dQw4w9WgXcQ" << "dQw4w9WgXcQ";
        QTest::newRow("upper-case host") << "https://WWW.YOUTUBE.COM/watch?v=dQw4w9WgXcQ" << "dQw4w9WgXcQ";
        QTest::newRow("plain http") << "http://youtube.com/watch?v=dQw4w9WgXcQ" << "dQw4w9WgXcQ";
        QTest::newRow("look-alike host") << "https://evilyoutube.com/watch?v=dQw4w9WgXcQ" << "";
        QTest::newRow("look-alike short host") << "https://notyoutu.be/dQw4w9WgXcQ" << "";
        QTest::newRow("host as a prefix") << "https://youtube.com.evil.net/watch?v=dQw4w9WgXcQ" << "";
        QTest::newRow("other scheme") << "javascript://youtube.com/watch?v=dQw4w9WgXcQ" << "";
        QTest::newRow("another path") << "https://www.youtube.com/embed/dQw4w9WgXcQ" << "";
        QTest::newRow("ten characters") << "https://www.youtube.com/watch?v=dQw4w9WgXc" << "";
        QTest::newRow("twelve characters") << "https://youtu.be/dQw4w9WgXcQQ" << "";
        QTest::newRow("bad character") << "https://www.youtube.com/watch?v=dQw4w9Wg%22cQ" << "";
        QTest::newRow("not an address") << "youtube" << "";
    }
    void idVideo()
    {
        QFETCH(QString, url);
        QFETCH(QString, id);
        QCOMPARE(idVideoYouTube(url).value_or(QString()), id);
    }

    void titoli_data()
    {
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QString>("pulito");
        QTest::newRow("counter and suffix") << "(3) Song Title - YouTube" << "song title";
        QTest::newRow("music suffix") << "  Song TITLE - YouTube Music " << "song title";
        QTest::newRow("invisible marks") << QString::fromUtf8("\u200eSong\u200b Title - YouTube") << "song title";
        QTest::newRow("counter not at the start") << "Song (3) - YouTube" << "song (3)";
        QTest::newRow("empty") << "" << "";
    }
    void titoli()
    {
        QFETCH(QString, titolo);
        QFETCH(QString, pulito);
        QCOMPARE(pulisciTitolo(titolo), pulito);
    }

    void indirizzi()
    {
        QCOMPARE(urlGuarda("dQw4w9WgXcQ", 61.9).toString(), QStringLiteral("https://www.youtube.com/watch?v=dQw4w9WgXcQ&t=61s"));
        QCOMPARE(urlGuarda("dQw4w9WgXcQ", qQNaN()).toString(), QStringLiteral("https://www.youtube.com/watch?v=dQw4w9WgXcQ&t=0s"));
        QCOMPARE(urlGuarda("dQw4w9WgXcQ", -qInf()).toString(), QStringLiteral("https://www.youtube.com/watch?v=dQw4w9WgXcQ&t=0s"));
        QCOMPARE(host("https://www.vimeo.com/123"), QStringLiteral("vimeo.com"));
    }

    void sceltaDellaScheda()
    {
        const MediaBrowser suona{QStringLiteral("Song"), {}, 12.5, true};
        // The player plays the "Song" tab: chosen even when another tab is active.
        const QList<SchedaBrowser> schede{scheda(1, true, kAltro, "Other - YouTube"),
                                          scheda(2, false, kVideo, "(2) Song - YouTube")};
        auto s = scegliScheda(schede, suona, QStringLiteral("Song"));
        QVERIFY(s);
        QCOMPARE(s->scheda.scheda, 2);
        QCOMPARE(s->tempo, 12.5);
        QVERIFY(s->apribile);
        QVERIFY(s->altreFerme);
        // Two tabs of the same playing video: the active one, and the others are not known to be paused.
        const QList<SchedaBrowser> doppie{scheda(1, false, kVideo, "Song - YouTube"), scheda(2, true, kVideo, "Song - YouTube")};
        s = scegliScheda(doppie, suona, QStringLiteral("Something else"));
        QCOMPARE(s->scheda.scheda, 2);
        QVERIFY(!s->altreFerme);
        // A player that names its address matches by address (another title, same video).
        s = scegliScheda(schede, MediaBrowser{QStringLiteral("x"), QStringLiteral("https://youtu.be/dQw4w9WgXcQ"), 3, false},
                         QStringLiteral("x"));
        QCOMPARE(s->scheda.scheda, 2);
        // Another video site is chosen but cannot be opened.
        s = scegliScheda({scheda(1, true, "https://vimeo.com/1", "Clip")}, MediaBrowser{QStringLiteral("Clip"), {}, 0, true},
                         QStringLiteral("Clip"));
        QVERIFY(s && !s->apribile);
        // A page without a title: the player shows its address, whose id finds the tab.
        s = scegliScheda({scheda(1, false, kAltro, ""), scheda(2, false, kVideo, "")},
                         MediaBrowser{QStringLiteral("youtube.com/watch?v=dQw4w9WgXcQ"), {}, 3, true}, QString());
        QVERIFY(s && s->apribile);
        QCOMPARE(s->scheda.scheda, 2);
        // Nothing matches the player, or there is no player: no choice.
        QVERIFY(!scegliScheda(schede, MediaBrowser{QStringLiteral("Nope"), {}, 0, true}, QStringLiteral("Song")));
        QVERIFY(!scegliScheda(schede, std::nullopt, QStringLiteral("Song")));
    }

    void aTabAsChromiumWritesIt_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("after the address was typed") << "sessione-digitata";
        QTest::newRow("after a reload") << "sessione-ricaricata";
    }
    void aTabAsChromiumWritesIt()
    {
        QFETCH(QString, file);
        auto schede = SessioneChromium::leggi(QStringLiteral(HALVORA_DATI_CHROMIUM "/") + file);
        QVERIFY(schede);
        // What its window and its player showed meanwhile.
        ControlloBrowserLinux::segnaAttive(*schede, {"Canzone di prova - YouTube - Chromium"}, "Canzone di prova");
        const MediaBrowser player{QStringLiteral("Canzone di prova"), {}, 8.4, true};
        const auto s = scegliScheda(*schede, player, player.titolo);
        QVERIFY(s && s->apribile);
        QCOMPARE(s->scheda, (SchedaBrowser{1, 1, true, kVideo, "Canzone di prova - YouTube"}));
        QCOMPARE(idVideoYouTube(s->scheda.url), QStringLiteral("dQw4w9WgXcQ"));
    }

    void schedaPerTitoloSoltanto()
    {
        const QList<SchedaBrowser> schede{scheda(1, true, "https://vimeo.com/1", "Song"),
                                          scheda(2, false, kVideo, "(1) Song (Live) - YouTube")};
        QCOMPARE(schedaPerTitolo(schede, QStringLiteral("Song"))->scheda, 2);
        QCOMPARE(schedaPerTitolo(schede, QStringLiteral("the song (live) extended"))->scheda, 2);
        QVERIFY(!schedaPerTitolo(schede, QString()));
        QVERIFY(!schedaPerTitolo(schede, QStringLiteral("Different")));
    }
};

QTEST_GUILESS_MAIN(TestRegoleVideoNotch)
#include "tst_RegoleVideoNotch.moc"
