#include "FakeClock.h"
#include "FakeControlloBrowser.h"
#include "FakePlayerTacca.h"
#include "VideoNotchManager.h"

#include <QTest>

namespace {

using Tipo = VideoNotchManager::Stato::Tipo;
const QString kChrome = QStringLiteral("google-chrome");
const QString kVideo = QStringLiteral("https://www.youtube.com/watch?v=dQw4w9WgXcQ");

SorgenteSistema::Brano brano(const QString& titolo = QStringLiteral("Song"), bool suona = true,
                             const QString& app = kChrome)
{
    SorgenteSistema::Brano b;
    b.titolo = titolo;
    b.inRiproduzione = suona;
    b.posizione = 30;
    b.bundleIDApp = app;
    b.pid = 4242;
    b.campionatoIl = QDateTime(QDate(2026, 3, 2), QTime(9, 0), Qt::LocalTime);
    return b;
}

struct Banco {
    FakeClock clock;
    FakeControlloBrowser browser;
    FakePlayerTacca player;
    VideoNotchManager m{{.clock = clock, .browser = browser, .player = &player, .appAttiva = kChrome}};

    Banco()
    {
        browser.imposta([](FakeControlloBrowser::Stato& s) {
            s.schede = {{1, 1, false, QStringLiteral("https://example.org/"), QStringLiteral("Mail")},
                        {1, 2, true, kVideo, QStringLiteral("(1) Song - YouTube")}};
            s.media = MediaBrowser{QStringLiteral("Song"), {}, 61.5, true};
            s.nomi.insert(kChrome, QStringLiteral("Google Chrome"));
        });
    }
    // Leaves the browser for another application; true when an offer shows.
    bool lascia(const QString& verso = QStringLiteral("org.gnome.Nautilus"), const SorgenteSistema::Brano& b = brano())
    {
        m.valutaSessione(verso, b);
        return QTest::qWaitFor([&] { return m.proposta().has_value(); }, 5000);
    }
    // The same, when no offer may come: the worker gets a moment to answer.
    bool nonOffre(const QString& verso = QStringLiteral("org.gnome.Nautilus"), const SorgenteSistema::Brano& b = brano())
    {
        m.valutaSessione(verso, b);
        QTest::qWait(200);
        return !m.proposta();
    }
    void apri()
    {
        m.guardaNellaTacca(brano());
        QTRY_VERIFY(!player.chiamate.filter(QStringLiteral("carica")).isEmpty());
    }
};

} // namespace

class TestVideoNotchManager : public QObject {
    Q_OBJECT

private slots:
    void offersWhenLeavingAPlayingBrowser()
    {
        Banco b;
        QVERIFY(b.lascia());
        QCOMPARE(b.m.proposta()->nomeBrowser, QStringLiteral("Google Chrome"));
        // Back to the browser: withdrawn at once, not declined; leaving again offers again.
        b.m.valutaSessione(kChrome, brano());
        QVERIFY(!b.m.proposta());
        QVERIFY(b.m.rifiutate().isEmpty());
        QVERIFY(b.lascia());
        // Unanswered for 10 s: declined; the same title from that browser is not offered again.
        b.clock.advance(9.9);
        QVERIFY(b.m.proposta());
        b.clock.advance(0.2);
        QVERIFY(!b.m.proposta());
        QCOMPARE(b.m.rifiutate(), QSet<QString>{kChrome + QStringLiteral("|song")});
        b.m.valutaSessione(kChrome, brano());
        QVERIFY(b.nonOffre(QStringLiteral("org.gnome.Nautilus"), brano(QStringLiteral("(4) SONG - YouTube Music"))));
        // ...but from another browser it is.
        b.m.valutaSessione(QStringLiteral("chromium"), brano(QStringLiteral("Song"), true, QStringLiteral("chromium")));
        QVERIFY(b.lascia(QStringLiteral("org.gnome.Nautilus"), brano(QStringLiteral("Song"), true, QStringLiteral("chromium"))));
    }

    void offersOnlyWhatCanBeWatched()
    {
        Banco b;
        // Our own panel taking focus changes nothing: leaving it is still leaving the browser.
        b.m.valutaSessione(QStringLiteral("halvora"), brano());
        QVERIFY(b.lascia());
        b.m.rifiutaProposta();
        QCOMPARE(b.m.rifiutate().size(), 1);

        Banco c;
        QVERIFY(c.nonOffre(QStringLiteral("a"), brano(QStringLiteral("Song"), false))); // paused
        c.m.valutaSessione(QStringLiteral("b"), brano());                                // between two others
        QVERIFY(c.nonOffre(QStringLiteral("c")));
        c.m.valutaSessione(kChrome, brano());
        QVERIFY(c.nonOffre(QStringLiteral("d"), brano(QStringLiteral("Song"), true, QStringLiteral("vlc")))); // not a browser
        c.browser.imposta([](auto& s) { s.suono = SuonoBrowser::no; });
        c.m.valutaSessione(kChrome, brano());
        QVERIFY(c.nonOffre());
        c.browser.imposta([](auto& s) {
            s.suono = SuonoBrowser::si;
            s.permesso = PermessoAutomazione::serveConsenso;
        });
        c.m.valutaSessione(kChrome, brano());
        QVERIFY(c.nonOffre()); // an offer never asks for permission
        QVERIFY(!c.browser.comandi().contains(QStringLiteral("chiedi")));
        c.browser.imposta([](auto& s) {
            s.permesso = PermessoAutomazione::concesso;
            s.media = MediaBrowser{QStringLiteral("Clip"), {}, 0, true};
            s.schede = {{1, 1, true, QStringLiteral("https://vimeo.com/1"), QStringLiteral("Clip")}};
        });
        c.m.valutaSessione(kChrome, brano(QStringLiteral("Clip")));
        QVERIFY(c.nonOffre(QStringLiteral("e"), brano(QStringLiteral("Clip"))));
        // While a video is open nothing is offered.
        c.browser.imposta([](auto& s) {
            s.media = MediaBrowser{QStringLiteral("Song"), {}, 61.5, true};
            s.schede = {{1, 1, true, kVideo, QStringLiteral("Song")}};
        });
        c.apri();
        c.m.valutaSessione(kChrome, brano());
        QVERIFY(c.nonOffre());
    }

    void acceptingPausesTheBrowserAndStartsWhereItWas()
    {
        Banco b;
        QVERIFY(b.lascia());
        b.m.accettaProposta(brano());
        QVERIFY(!b.m.proposta());
        QCOMPARE(b.m.stato().tipo, Tipo::caricamento);
        QTRY_COMPARE(b.player.chiamate.value(1), QStringLiteral("carica dQw4w9WgXcQ 61.50 suono"));
        QCOMPARE(b.browser.comandi(), QStringList{QStringLiteral("pausa google-chrome")});
        QCOMPARE(b.m.nomeBrowserOrigine(), QStringLiteral("Google Chrome"));
        // Ready: paused card, aligned to the start; playing once the page says so.
        b.player.invia(R"({"tipo":"pronto"})");
        QCOMPARE(b.m.stato().tipo, Tipo::inPausa);
        QTRY_VERIFY(b.player.chiamate.contains(QStringLiteral("allinea 61.50")));
        b.player.invia(R"({"tipo":"stato","valore":1,"t":62})");
        QCOMPARE(b.m.stato().tipo, Tipo::inRiproduzione);
        b.clock.advance(12);
        QCOMPARE(b.m.stato().tipo, Tipo::inRiproduzione); // the load deadline was cancelled
        // Closing remembers the place; reopening after the sample's last update resumes there.
        b.player.invia(R"({"tipo":"tempo","t":70.25})");
        b.m.chiudi();
        QCOMPARE(b.m.stato().tipo, Tipo::chiuso);
        QCOMPARE(b.player.chiamate.last(), QStringLiteral("svuota"));
        QTRY_VERIFY(b.browser.comandi().contains(QStringLiteral("posiziona 70.25")));
        auto campione = brano();
        campione.aggiornatoIl = b.clock.now().addSecs(-5);
        b.browser.imposta([](auto& s) { s.media.reset(); }); // no tab can tell: the sample and the memory decide
        b.m.guardaNellaTacca(campione);
        QTRY_VERIFY(b.player.chiamate.last().startsWith(QStringLiteral("carica dQw4w9WgXcQ 70.25")));
    }

    void openingErrors_data()
    {
        QTest::addColumn<int>("permesso");
        QTest::addColumn<int>("dopo");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("testo");
        const int ok = int(PermessoAutomazione::concesso), chiedi = int(PermessoAutomazione::serveConsenso),
                  no = int(PermessoAutomazione::negato);
        QTest::newRow("refused") << no << ok << kVideo
                                 << "Serve il permesso di leggere le schede di Google Chrome: Impostazioni di Sistema › "
                                    "Privacy e sicurezza › Automazione.";
        QTest::newRow("asked, refused") << chiedi << no << kVideo << "Senza il permesso non posso leggere le schede di Google Chrome.";
        QTest::newRow("another site") << ok << ok << "https://www.vimeo.com/1"
                                      << "Nella tacca si possono guardare solo i video di YouTube: adesso sta suonando vimeo.com.";
        QTest::newRow("no tab") << ok << ok << "" << "Nessuna scheda di YouTube aperta in Google Chrome.";
    }
    void openingErrors()
    {
        QFETCH(int, permesso);
        QFETCH(int, dopo);
        QFETCH(QString, url);
        QFETCH(QString, testo);
        Banco b;
        b.browser.imposta([&](auto& s) {
            s.permesso = PermessoAutomazione(permesso);
            s.dopoLaDomanda = PermessoAutomazione(dopo);
            s.schede = url.isEmpty() ? QList<SchedaBrowser>{} : QList<SchedaBrowser>{{1, 1, true, url, QStringLiteral("Song")}};
        });
        b.m.guardaNellaTacca(brano());
        QTRY_COMPARE(b.m.stato(), (VideoNotchManager::Stato{Tipo::errore, testo}));
        QVERIFY(!b.browser.comandi().contains(QStringLiteral("pausa google-chrome")));
    }

    void askingForPermissionShowsTheWait()
    {
        Banco b;
        b.browser.imposta([](auto& s) { s.permesso = PermessoAutomazione::serveConsenso; });
        QList<Tipo> visti;
        connect(&b.m, &VideoNotchManager::statoChanged, this, [&] { visti << b.m.stato().tipo; });
        b.m.guardaNellaTacca(brano());
        QTRY_COMPARE(b.player.chiamate.size(), 2);
        QCOMPARE(visti, (QList<Tipo>{Tipo::caricamento, Tipo::attesaPermesso, Tipo::caricamento}));
    }

    void pageMessages_data()
    {
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<QString>("testo");
        QTest::newRow("gone") << R"({"tipo":"errore","codice":100})" << "Questo video non esiste più o è privato.";
        QTest::newRow("not embeddable") << R"({"tipo":"errore","codice":150})"
                                        << "Chi l'ha pubblicato non permette di guardarlo fuori da YouTube.";
        QTest::newRow("bad parameter") << R"({"tipo":"errore","codice":2})" << "Questo video non si apre qui.";
        QTest::newRow("never ready") << "" << "Questo video non si apre qui.";
    }
    void pageMessages()
    {
        QFETCH(QString, messaggio);
        QFETCH(QString, testo);
        Banco b;
        b.apri();
        // Not JSON objects, or without a usable type: ignored.
        for (const char* rumore : {"[]", "non json", R"({"tipo":"stato","valore":1,"t":1e999})"})
            b.player.invia(QString::fromLatin1(rumore));
        if (messaggio.isEmpty())
            b.clock.advance(12);
        else
            b.player.invia(messaggio);
        QCOMPARE(b.m.stato(), (VideoNotchManager::Stato{Tipo::errore, testo}));
        QCOMPARE(b.player.chiamate.last(), QStringLiteral("svuota"));
    }

    void syncTickKeepsBrowserAndNotchInStep()
    {
        Banco b;
        std::optional<SorgenteSistema::Brano> sorgente = brano();
        b.m.setSessioneCorrente([&] { return sorgente; });
        b.apri();
        b.player.invia(R"({"tipo":"stato","valore":1,"t":40})");
        b.browser.imposta([](auto& s) { s.suono = SuonoBrowser::si; });
        sorgente->posizione = 40.4;
        b.clock.advance(1); // first tick: no browser sync; a 0.4 s drift sends nothing
        QTRY_VERIFY(b.m.inAttesaDelSilenzio());
        QCOMPARE(b.player.chiamate.filter(QStringLiteral("allinea 40.40")).size(), 0);
        QVERIFY(b.player.chiamate.contains(QStringLiteral("muta")));
        sorgente->posizione = 40.6;
        b.browser.imposta([](auto& s) { s.suono = SuonoBrowser::no; });
        b.clock.advance(1); // second tick: the paused browser copy follows it, and never leads
        QVERIFY(!b.player.chiamate.contains(QStringLiteral("allinea 40.60")));
        QTRY_VERIFY(b.browser.comandi().contains(QStringLiteral("posiziona 40.00")));
        QTRY_VERIFY(!b.m.inAttesaDelSilenzio());
        QCOMPARE(b.player.chiamate.last(), QStringLiteral("smuta"));
    }

    void alignmentFollowsOnlyABrowserPlayingOnItsOwn()
    {
        Banco b;
        b.browser.imposta([](auto& s) { s.media.reset(); }); // no tab known to play: not driven directly
        std::optional<SorgenteSistema::Brano> sorgente = brano();
        b.m.setSessioneCorrente([&] { return sorgente; });
        b.apri();
        b.player.invia(R"({"tipo":"stato","valore":1,"t":30})");
        b.clock.advance(1); // the sample was taken a second ago: its video is at 31
        QVERIFY(b.player.chiamate.contains(QStringLiteral("allinea 31.00")));
        sorgente->inRiproduzione = false;
        b.clock.advance(2);
        QVERIFY(!b.player.chiamate.contains(QStringLiteral("allinea 32.00")));
        QVERIFY(!b.player.chiamate.contains(QStringLiteral("allinea 30.00")));
    }

    void handingBack()
    {
        // With the origin tab known: seek the browser to the notch's time, play it, bring it forward.
        Banco b;
        b.apri();
        b.player.invia(R"({"tipo":"stato","valore":1})");
        b.player.tempo = 95.7;
        b.m.riportaNelBrowser();
        QCOMPARE(b.m.stato().tipo, Tipo::chiuso);
        QTRY_VERIFY(b.browser.comandi().contains(QStringLiteral("davanti google-chrome")));
        QCOMPARE(b.browser.comandi().mid(1), (QStringList{"posiziona 95.70", "posiziona 95.70", "riproduci google-chrome",
                                                          "davanti google-chrome"}));
        // Without it: the watch page at the notch's time in a new tab. A page that never answers keeps the last time.
        Banco c;
        c.browser.imposta([](auto& s) { s.media.reset(); });
        c.apri();
        QTRY_COMPARE(c.player.chiamate.size(), 2);
        c.player.invia(R"({"tipo":"stato","valore":1,"t":12.9})");
        c.player.tempo = qQNaN();
        c.m.riportaNelBrowser();
        QTRY_VERIFY2(c.browser.comandi().contains(QStringLiteral("davanti google-chrome")), qPrintable(c.browser.comandi().join(',')));
        QVERIFY(c.browser.comandi().contains(QStringLiteral("apri https://www.youtube.com/watch?v=dQw4w9WgXcQ&t=12s")));
        // Found by its title alone: a listed tab of that video takes it back while the player is that video's.
        Banco d;
        d.browser.imposta([](auto& s) { s.media->titolo = QStringLiteral("Loading"); });
        d.apri();
        d.player.invia(R"({"tipo":"stato","valore":1,"t":20})");
        d.browser.imposta([](auto& s) { s.media->titolo = QStringLiteral("Song - YouTube"); });
        d.player.tempo = 20;
        d.m.riportaNelBrowser();
        QTRY_VERIFY(d.browser.comandi().contains(QStringLiteral("davanti google-chrome")));
        QCOMPARE(d.browser.comandi().mid(1), (QStringList{"posiziona 20.00", "riproduci google-chrome", "davanti google-chrome"}));
    }

    void playPauseOfABrowserVideo()
    {
        Banco b;
        std::optional<bool> esito;
        b.m.comandoBrowser(brano(), [&](bool r) { esito = r; });
        QTRY_VERIFY(esito.has_value());
        QVERIFY(*esito);
        b.browser.imposta([](auto& s) { s.media->inRiproduzione = false; });
        esito.reset();
        b.m.comandoBrowser(brano(), [&](bool r) { esito = r; });
        QTRY_VERIFY(esito.has_value());
        QCOMPARE(b.browser.comandi(), (QStringList{"pausa google-chrome", "riproduci google-chrome"}));
        b.browser.imposta([](auto& s) { s.permesso = PermessoAutomazione::serveConsenso; });
        esito.reset();
        b.m.comandoBrowser(brano(), [&](bool r) { esito = r; });
        QTRY_VERIFY(esito.has_value());
        QVERIFY(!*esito);
        QVERIFY(!b.browser.comandi().contains(QStringLiteral("chiedi")));
    }
};

QTEST_GUILESS_MAIN(TestVideoNotchManager)
#include "tst_VideoNotchManager.moc"
