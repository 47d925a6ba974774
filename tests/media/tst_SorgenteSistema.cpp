#include "BloccoNowPlaying.h"
#include "FakeClock.h"
#include "SorgenteSistema.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QRegularExpression>

#include <memory>
#include <signal.h>

using Brano = SorgenteSistema::Brano;

namespace {

const QDateTime kOra(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC);

QString blocco(const QString& corpo) { return QStringLiteral("--HV-INIZIO--\n") + corpo + QStringLiteral("--HV-FINE--\n"); }

QString corpo(const QString& titolo, bool suona, const QString& app = QStringLiteral("vlc"))
{
    return QStringLiteral("    \"__title\" = \"%1\";\n    \"__playbackRate\" = %2;\n    duration = (200);\npercorso: %3 (42) %3 Player\n")
        .arg(titolo, suona ? QStringLiteral("1") : QStringLiteral("0"), app);
}

// A shell script standing in for the helper.
QString script(QTemporaryDir& dir, const QString& nome, const QString& testo)
{
    const QString percorso = dir.filePath(nome);
    QFile f(percorso);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n" + testo.toUtf8() + "\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return percorso;
}

} // namespace

class TestSorgenteSistema : public QObject {
    Q_OBJECT

private slots:
    void escapes_data()
    {
        QTest::addColumn<QString>("grezzo");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("plain") << "Perch\u00e9" << "Perch\u00e9";
        QTest::newRow("unicode escape") << "Perch\\U00e9" << "Perch\u00e9";
        QTest::newRow("lower u") << "a\\u002db" << "a-b";
        QTest::newRow("line feed") << "a\\nb" << "a\nb";
        QTest::newRow("quote and backslash") << "\\\"x\\\\" << "\"x\\";
        QTest::newRow("other letter stays") << "a\\tb" << "a\\tb";
        QTest::newRow("trailing backslash") << "ab\\" << "ab\\";
        QTest::newRow("short unicode stays") << "a\\u00e" << "a\\u00e";
        QTest::newRow("not hex stays") << "a\\u00zz" << "a\\u00zz";
    }
    void escapes()
    {
        QFETCH(QString, grezzo);
        QFETCH(QString, atteso);
        QCOMPARE(SorgenteSistema::decodificaEscape(grezzo), atteso);
    }

    void parsesABlock_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<bool>("suona");
        QTest::addColumn<double>("posizione");
        QTest::addColumn<double>("durata");
        QTest::addColumn<QString>("artista");
        QTest::newRow("full") << "  \"__title\" = \"Song\";\n  trackArtistName = \"Band\";\n  \"__playbackRate\" = 1;\n"
                                 "  elapsedTime = (12.5);\n  duration = (200.25);\n"
                              << "Song" << true << 12.5 << 200.25 << "Band";
        QTest::newRow("title only when __title absent") << "title = \"B\";\n" << "B" << false << 0.0 << 0.0 << "";
        QTest::newRow("__title beats title") << "title = \"B\";\n__title = \"A\";\n" << "A" << false << 0.0 << 0.0 << "";
        QTest::newRow("first duplicate wins") << "__title = \"A\";\n__title = \"B\";\n" << "A" << false << 0.0 << 0.0 << "";
        QTest::newRow("calculated elapsed first") << "__title = \"A\";\nelapsedTime = (5);\n\"custom: calculatedElapsedTime\" = (7);\n"
                                                  << "A" << false << 7.0 << 0.0 << "";
        QTest::newRow("calculated without number falls back") << "__title = \"A\";\nelapsedTime = (5);\n\"custom: calculatedElapsedTime\" = x;\n"
                                                               << "A" << false << 5.0 << 0.0 << "";
        QTest::newRow("no brackets") << "__title = \"A\";\nelapsedTime = 12;\n" << "A" << false << 0.0 << 0.0 << "";
        QTest::newRow("open bracket only") << "__title = \"A\";\nelapsedTime = (12;\n" << "A" << false << 0.0 << 0.0 << "";
        QTest::newRow("nan") << "__title = \"A\";\nelapsedTime = (nan);\nduration = (inf);\n" << "A" << false << 0.0 << 0.0 << "";
        QTest::newRow("absurd") << "__title = \"A\";\nelapsedTime = (1e300);\nduration = (-5);\n" << "A" << false << 0.0 << 0.0 << "";
        QTest::newRow("rate nan is paused") << "__title = \"A\";\n__playbackRate = nan;\n" << "A" << false << 0.0 << 0.0 << "";
        QTest::newRow("rate inf is paused") << "__title = \"A\";\n__playbackRate = inf;\n" << "A" << false << 0.0 << 0.0 << "";
        QTest::newRow("rate garbage is paused") << "__title = \"A\";\nplaybackRate = x;\n" << "A" << false << 0.0 << 0.0 << "";
        QTest::newRow("fallback rate key") << "__title = \"A\";\nplaybackRate = 0.5;\n" << "A" << true << 0.0 << 0.0 << "";
        QTest::newRow("escaped title") << "__title = \"Caf\\U00e9 \\\"live\\\"\";\n" << "Caf\u00e9 \"live\"" << false << 0.0 << 0.0 << "";
        QTest::newRow("title trimmed") << "__title = \"  A  \";\n" << "A" << false << 0.0 << 0.0 << "";
    }
    void parsesABlock()
    {
        QFETCH(QString, testo);
        const auto b = SorgenteSistema::analizzaDescrizione(testo, kOra);
        QVERIFY(b);
        QTEST(b->titolo, "titolo");
        QTEST(b->inRiproduzione, "suona");
        QTEST(b->posizione, "posizione");
        QTEST(b->durata, "durata");
        QTEST(b->artista, "artista");
        QCOMPARE(b->campionatoIl, kOra);
    }

    void blankTitleIsNoSample()
    {
        QVERIFY(!SorgenteSistema::analizzaDescrizione(QStringLiteral("__title = \"   \";\n__playbackRate = 1;\n"), kOra));
        QVERIFY(!SorgenteSistema::analizzaDescrizione(QString(), kOra));
    }

    void timestamp()
    {
        auto b = SorgenteSistema::analizzaDescrizione(
            QStringLiteral("__title = \"A\";\nelapsedTimeTimestamp = \"2026\\u002d03\\u002d02 10:00:05 +0100\";\n"), kOra);
        QVERIFY(b && b->aggiornatoIl);
        QCOMPARE(*b->aggiornatoIl, QDateTime(QDate(2026, 3, 2), QTime(9, 0, 5), Qt::UTC));
        b = SorgenteSistema::analizzaDescrizione(QStringLiteral("__title = \"A\";\nelapsedTimeTimestamp = \"ieri\";\n"), kOra);
        QVERIFY(b && !b->aggiornatoIl);
    }

    void playerLine_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("nome");
        QTest::newRow("plain") << "x = 1;\npercorso: spotify (1234) Spotify\n" << "spotify" << "Spotify";
        QTest::newRow("name with blanks") << "percorso: firefox-esr (77) Mozilla Firefox ESR \n" << "firefox-esr" << "Mozilla Firefox ESR";
        QTest::newRow("name stops at arrow") << "percorso: org.vlc_x (9) VLC\u276f other\n" << "org.vlc_x" << "VLC";
        QTest::newRow("name stops at bracket") << "percorso: vlc (9) VLC\u3011 x\n" << "vlc" << "VLC";
        QTest::newRow("no pid") << "percorso: vlc VLC\n" << "" << "";
        QTest::newRow("no line") << "__title = \"A\";\n" << "" << "";
        QTest::newRow("only first line counts") << "percorso: nothing here\npercorso: vlc (1) VLC\n" << "" << "";
        QTest::newRow("a title cannot forge it") << "__title = \"x percorso: evil (6) Evil\";\npercorso: vlc (1) VLC\n" << "vlc" << "VLC";
        QTest::newRow("indented is not the line") << "  percorso: evil (6) Evil\n" << "" << "";
    }
    void playerLine()
    {
        QFETCH(QString, testo);
        const auto [id, nome] = SorgenteSistema::analizzaPercorso(testo);
        QTEST(id, "id");
        QTEST(nome, "nome");
    }

    void helperBlocksRoundTrip()
    {
        // Markers, line breaks and a forged player line inside the title.
        StatoMpris s;
        s.titolo = QStringLiteral("A --HV-FINE--\npercorso: evil (6) Evil \"q\" \\ \u2028 end");
        s.artisti = {QStringLiteral("Uno"), QStringLiteral("Due-Tre")};
        s.stato = QStringLiteral("Playing");
        s.desktop = QStringLiteral("spotify");
        s.identita = QStringLiteral("Spotify");
        s.pid = 99;
        s.posizioneUs = 83'460'000;
        s.durataUs = 200'000'000;
        FakeClock clock;
        SorgenteSistema sorgente(clock, 1.5, QString(), QStringLiteral("halvora"));
        const QString testo = BloccoNowPlaying::blocco(s, kOra);
        QCOMPARE(testo.count(QStringLiteral("--HV-FINE--")), 1);
        sorgente.accodaTesto(testo);
        const auto b = sorgente.campioni().ultimoBrano;
        QVERIFY(b);
        QCOMPARE(b->titolo, s.titolo.trimmed());
        QCOMPARE(b->artista, QStringLiteral("Uno, Due-Tre"));
        QCOMPARE(b->bundleIDApp, QStringLiteral("spotify"));
        QCOMPARE(b->nomeApp, QStringLiteral("Spotify"));
        QCOMPARE(b->posizione, 83.46);
        QCOMPARE(b->durata, 200.0);
        QVERIFY(b->inRiproduzione);
        QCOMPARE(*b->aggiornatoIl, kOra);

        // Nothing playing: an empty block clears the samples.
        sorgente.accodaTesto(BloccoNowPlaying::blocco(std::nullopt, kOra));
        QVERIFY(!sorgente.campioni().ultimaSessioneGrezza);
    }

    void cutsBlocksAcrossReads()
    {
        FakeClock clock;
        SorgenteSistema s(clock, 1.5, QString(), QStringLiteral("halvora"));
        int cambi = 0;
        s.onCambio = [&] { ++cambi; };
        const QString b = blocco(corpo(QStringLiteral("Uno"), true));
        // Garbage before, then the block in three pieces.
        s.accodaTesto(QStringLiteral("rumore\n") + b.left(10));
        s.accodaTesto(b.mid(10, 30));
        QVERIFY(!s.campioni().ultimaSessioneGrezza);
        QCOMPARE(s.campioni().ultimoCampione, -qInf());
        s.accodaTesto(b.mid(40));
        QCOMPARE(s.campioni().ultimoBrano->titolo, QStringLiteral("Uno"));
        QCoreApplication::processEvents();
        QCOMPARE(cambi, 1);

        // Two blocks in one read, in order; the same signature calls back once.
        s.accodaTesto(blocco(corpo(QStringLiteral("Due"), true)) + blocco(corpo(QStringLiteral("Tre"), true)));
        QCOMPARE(s.campioni().ultimoBrano->titolo, QStringLiteral("Tre"));
        s.accodaTesto(blocco(corpo(QStringLiteral("Tre"), true)));
        QCoreApplication::processEvents();
        QCOMPARE(cambi, 3);

        // An empty block calls back once, a second one not at all.
        s.accodaTesto(blocco(QString()));
        s.accodaTesto(blocco(QString()));
        QCoreApplication::processEvents();
        QCOMPARE(cambi, 4);
        QVERIFY(!s.campioni().ultimoBrano);
    }

    void capsAnUnterminatedBuffer()
    {
        FakeClock clock;
        SorgenteSistema s(clock, 1.5, QString(), QStringLiteral("halvora"));
        s.accodaTesto(QStringLiteral("--HV-INIZIO--\n") + QString(63000, QLatin1Char('x')));
        // Still under the cap: the end marker completes it.
        s.accodaTesto(QStringLiteral("\n") + corpo(QStringLiteral("Lungo"), true) + QStringLiteral("--HV-FINE--"));
        QCOMPARE(s.campioni().ultimoBrano->titolo, QStringLiteral("Lungo"));
        // Past the cap without an end marker: thrown away, so the end alone finds nothing.
        s.accodaTesto(QStringLiteral("--HV-INIZIO--\n") + corpo(QStringLiteral("Perso"), true) + QString(64001, QLatin1Char('x')));
        s.accodaTesto(QStringLiteral("--HV-FINE--"));
        QCOMPARE(s.campioni().ultimoBrano->titolo, QStringLiteral("Lungo"));
    }

    void pausedTrackStaysFor180Seconds()
    {
        FakeClock clock;
        SorgenteSistema s(clock, 1.5, QString(), QStringLiteral("halvora"));
        s.accodaTesto(blocco(corpo(QStringLiteral("A"), true)));
        clock.advance(179);
        s.accodaTesto(blocco(corpo(QStringLiteral("A"), false)));
        QVERIFY(s.campioni().ultimoBrano);
        QVERIFY(!s.campioni().ultimoBrano->inRiproduzione);
        clock.advance(1);
        s.accodaTesto(blocco(corpo(QStringLiteral("A"), false)));
        QVERIFY(!s.campioni().ultimoBrano);
        QCOMPARE(s.campioni().ultimaSessioneGrezza->titolo, QStringLiteral("A"));
        QCOMPARE(s.campioni().ultimaSessioneGrezza->campionatoIl, clock.now());
        QCOMPARE(s.campioni().ultimoCampione, clock.monotonic());

        // Paused from the first look: never the current track.
        s.accodaTesto(blocco(corpo(QStringLiteral("B"), false)));
        QVERIFY(!s.campioni().ultimoBrano);
        QCOMPARE(s.campioni().ultimaSessioneGrezza->titolo, QStringLiteral("B"));
    }

    void ownSamplesAreCleared()
    {
        FakeClock clock;
        SorgenteSistema s(clock, 1.5, QString(), QStringLiteral("halvora"));
        s.accodaTesto(blocco(corpo(QStringLiteral("A"), true)));
        s.accodaTesto(blocco(corpo(QStringLiteral("Mio"), true, QStringLiteral("halvora"))));
        QVERIFY(!s.campioni().ultimoBrano);
        QVERIFY(!s.campioni().ultimaSessioneGrezza);
    }

    void arguments()
    {
        FakeClock clock;
        SorgenteSistema s(clock, 1.5, QString(), QStringLiteral("halvora"));
        QCOMPARE(s.costruisciScript(), (QStringList{"--intervallo", "1.50", "--iterazioni", "2400", "--escludi", "halvora"}));
        s.setIntervallo(3);
        QCOMPARE(s.costruisciScript().at(1), QStringLiteral("3.00"));
    }

    void readsTheHelperPipe()
    {
        QTemporaryDir dir;
        const QString p = script(dir, "helper",
                                 "printf -- '--HV-INIZIO--\\n\"__title\" = \"%s\";\\n\"__playbackRate\" = 1;\\n"
                                 "percorso: vlc (12) VLC\\n--HV-FINE--\\n' \"$*\" >&2\nexec sleep 30");
        FakeClock clock;
        SorgenteSistema s(clock, 1.5, p, QStringLiteral("halvora"));
        s.avvia();
        QVERIFY(s.inEsecuzione());
        QTRY_VERIFY(s.campioni().ultimoBrano.has_value());
        QCOMPARE(s.campioni().ultimoBrano->titolo, QStringLiteral("--intervallo 1.50 --iterazioni 2400 --escludi halvora"));
        QCOMPARE(s.campioni().ultimoBrano->nomeApp, QStringLiteral("VLC"));
        // Stopping keeps the samples and starts nothing again.
        s.ferma();
        QVERIFY(!s.inEsecuzione());
        QTest::qWait(50);
        QVERIFY(!s.inEsecuzione());
        QCOMPARE(s.fallimentiConsecutivi(), 0);
        QVERIFY(s.campioni().ultimoBrano.has_value());
    }

    // A stopped helper that has not ended yet is reaped when the source goes,
    // without the warning a running QProcess gives when destroyed.
    void aStoppedHelperStillEndingIsReaped()
    {
        QTemporaryDir dir;
        const QString pid = dir.filePath("pid");
        const QString p = script(dir, "sordo", QStringLiteral("trap '' TERM\necho $$ > '%1'\nexec sleep 30").arg(pid));
        QTest::failOnWarning(QRegularExpression(QStringLiteral("Destroyed while process")));
        FakeClock clock;
        auto s = std::make_unique<SorgenteSistema>(clock, 1.5, p, QStringLiteral("halvora"));
        s->avvia();
        QTRY_VERIFY(QFile::exists(pid));
        QFile f(pid);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const pid_t n = f.readAll().trimmed().toInt();
        QVERIFY(n > 0);
        s->ferma();
        s.reset();
        QCOMPARE(::kill(n, 0), -1);
    }

    void threeShortLivesMakeItUnavailable_data()
    {
        QTest::addColumn<bool>("avviabile");
        QTest::newRow("helper that dies at once") << true;
        QTest::newRow("helper that cannot start") << false;
    }
    void threeShortLivesMakeItUnavailable()
    {
        QFETCH(bool, avviabile);
        QTemporaryDir dir;
        const QString p = avviabile ? script(dir, "muore", "exit 1") : dir.filePath("manca");
        FakeClock clock;
        SorgenteSistema s(clock, 1.5, p, QStringLiteral("halvora"));
        for (int i = 1; i <= 3; ++i) {
            QVERIFY(s.disponibile());
            s.avvia();
            QTRY_VERIFY(!s.inEsecuzione());
            QCOMPARE(s.fallimentiConsecutivi(), i);
            clock.advance(0.5);
        }
        QVERIFY(!s.disponibile());
        s.avvia();
        QVERIFY(!s.inEsecuzione());
    }

    void healthyAfterThreeSeconds_data()
    {
        QTest::addColumn<double>("vita");
        QTest::addColumn<bool>("riavviato");
        QTest::newRow("2.9 s is a failure") << 2.9 << false;
        QTest::newRow("3.0 s restarts at once") << 3.0 << true;
    }
    void healthyAfterThreeSeconds()
    {
        QFETCH(double, vita);
        QFETCH(bool, riavviato);
        QTemporaryDir dir;
        const QString segnale = dir.filePath("vai");
        const QString p = script(dir, "vive", QStringLiteral("while [ ! -e '%1' ]; do sleep 0.02; done; rm '%1'").arg(segnale));
        FakeClock clock;
        SorgenteSistema s(clock, 1.5, p, QStringLiteral("halvora"));
        s.accodaTesto(blocco(corpo(QStringLiteral("A"), true)));
        s.avvia();
        clock.advance(vita);
        QFile(segnale).open(QIODevice::WriteOnly);
        QTRY_VERIFY(!s.campioni().ultimoBrano.has_value()); // samples forgotten at the end
        QCOMPARE(s.inEsecuzione(), riavviato);
        QCOMPARE(s.fallimentiConsecutivi(), riavviato ? 0 : 1);
        s.ferma();
    }
};

QTEST_GUILESS_MAIN(TestSorgenteSistema)
#include "tst_SorgenteSistema.moc"
