#include "BloccoNowPlaying.h"

#include <QTest>

namespace {
StatoMpris player(const QString& nome, const QString& stato, uint pid = 10)
{
    StatoMpris s;
    s.nomeBus = ClientMpris::kPrefisso + nome;
    s.desktop = nome;
    s.stato = stato;
    s.titolo = QStringLiteral("Brano di ") + nome;
    s.pid = pid;
    return s;
}
QString scelto(const std::optional<StatoMpris>& s) { return s ? s->desktop : QStringLiteral("-"); }
} // namespace

class TestSceltaPlayer : public QObject {
    Q_OBJECT

private slots:
    void picksTheLatestToPlay()
    {
        SceltaPlayer scelta(QStringLiteral("halvora"), 1);
        const QString P = QStringLiteral("Playing"), S = QStringLiteral("Paused"), F = QStringLiteral("Stopped");
        QCOMPARE(scelto(scelta.osserva({player("a", S), player("b", P)})), QStringLiteral("b"));
        // a starts playing too: the latest to start wins.
        QCOMPARE(scelto(scelta.osserva({player("a", P), player("b", P)})), QStringLiteral("a"));
        // a pauses: b still plays.
        QCOMPARE(scelto(scelta.osserva({player("a", S), player("b", P)})), QStringLiteral("b"));
        // b pauses after a: the latest paused is b.
        QCOMPARE(scelto(scelta.osserva({player("a", S), player("b", S)})), QStringLiteral("b"));
        // Stopped players never count; neither do empty titles.
        auto vuoto = player("c", P);
        vuoto.titolo = QStringLiteral("  ");
        QCOMPARE(scelto(scelta.osserva({player("a", F), player("b", F), vuoto})), QStringLiteral("-"));
        // A player that disappears and returns starts a new history.
        QCOMPARE(scelto(scelta.osserva({player("b", S)})), QStringLiteral("b"));
    }

    void neverOurOwn()
    {
        SceltaPlayer scelta(QStringLiteral("halvora"), 77);
        QCOMPARE(scelto(scelta.osserva({player("halvora", "Playing"), player("vlc", "Paused")})), QStringLiteral("vlc"));
        QCOMPARE(scelto(scelta.osserva({player("altro", "Playing", 77)})), QStringLiteral("-"));
    }

    void emptyBlockWhenNothingPlays()
    {
        QCOMPARE(BloccoNowPlaying::blocco(std::nullopt, QDateTime::currentDateTimeUtc()),
                 QStringLiteral("--HV-INIZIO--\n--HV-FINE--\n"));
    }

    void aPlayersNameOrIdNeverFormsAMarker()
    {
        auto s = player(QStringLiteral("x--HV-FINE--y"), QStringLiteral("Playing"));
        s.identita = QStringLiteral("Finto --HV-FINE----HV-INIZIO-- \"__title\" = \"Falso\";");
        const QString b = BloccoNowPlaying::blocco(s, QDateTime::currentDateTimeUtc());
        QCOMPARE(b.count(BloccoNowPlaying::kInizio), 1);
        QCOMPARE(b.count(BloccoNowPlaying::kFine), 1);
        QVERIFY(b.contains(QStringLiteral("percorso: x-HV-FINE-y (10) Finto -HV-FINE-HV-INIZIO- ")));
    }

    void escapesEverythingThatCouldCutABlock_data()
    {
        QTest::addColumn<QString>("valore");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("marker") << "--HV-FINE--" << "\\u002d\\u002dHV\\u002dFINE\\u002d\\u002d";
        QTest::newRow("line feed") << "a\nb" << "a\\nb";
        QTest::newRow("carriage return") << "a\rb" << "a\\u000db";
        QTest::newRow("line separator") << "a\u2028b" << "a\\u2028b";
        QTest::newRow("quote and backslash") << "\"\\" << "\\\"\\\\";
        QTest::newRow("plain") << "Caf\u00e9" << "Caf\u00e9";
    }
    void escapesEverythingThatCouldCutABlock()
    {
        QFETCH(QString, valore);
        QTEST(BloccoNowPlaying::escapa(valore), "atteso");
    }
};

QTEST_GUILESS_MAIN(TestSceltaPlayer)
#include "tst_SceltaPlayer.moc"
