#include "SuonoPulse.h"

#include <QTest>

class TestSuonoPulse : public QObject {
    Q_OBJECT

private slots:
    void browserSoundsOnlyWithAPlayingStreamOfItsTree()
    {
        using F = SuonoPulse::Flusso;
        const auto delBrowser = [](qint64 pid) { return pid == 10 || pid == 11; }; // the browser and its audio child
        const QList<F> suona{{99, false}, {11, false}};
        QCOMPARE(SuonoPulse::suona(suona, true, delBrowser), std::optional<bool>(true));
        // Its player paused: an open stream does not count.
        QCOMPARE(SuonoPulse::suona(suona, false, delBrowser), std::optional<bool>(false));
        // Corked, another program's, or a stream without a pid.
        QCOMPARE(SuonoPulse::suona(QList<F>{{11, true}, {99, false}, {0, false}}, true, delBrowser), std::optional<bool>(false));
        // No sound server: cannot tell.
        QCOMPARE(SuonoPulse::suona(std::nullopt, true, delBrowser), std::nullopt);
        // This machine's own: with no server running the real query cannot tell either.
        qputenv("PULSE_SERVER", "unix:/nonexistent/pulse");
        QVERIFY(!SuonoPulse::flussi(500));
    }
};

QTEST_GUILESS_MAIN(TestSuonoPulse)
#include "tst_SuonoPulse.moc"
