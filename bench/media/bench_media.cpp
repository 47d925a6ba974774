// One poll cycle of the media model and the now-playing helper's CPU use.
// Run inside a private bus with a player on it:
//   dbus-run-session -- ./bench_media
#include "BloccoNowPlaying.h"
#include "FakeClock.h"
#include "MediaManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {

StatoMpris statoTipico()
{
    StatoMpris s;
    s.nomeBus = QStringLiteral("org.mpris.MediaPlayer2.chromium.instance42");
    s.desktop = QStringLiteral("chromium");
    s.identita = QStringLiteral("Chromium");
    s.pid = 4242;
    s.stato = QStringLiteral("Playing");
    s.titolo = QStringLiteral("Concerto per violino — Allegro \"live\"");
    s.artisti = {QStringLiteral("Orchestra della Sera")};
    s.posizioneUs = 83'460'000;
    s.durataUs = 245'000'000;
    return s;
}

// Reading and handling one block as it comes from the helper.
void BM_BloccoSorgente(benchmark::State& stato)
{
    FakeClock clock;
    SorgenteSistema s(clock, 1.5, QString(), QStringLiteral("halvora"));
    const QString blocco = BloccoNowPlaying::blocco(statoTipico(), QDateTime::currentDateTimeUtc());
    for (auto _ : stato)
        s.accodaTesto(blocco);
}
BENCHMARK(BM_BloccoSorgente);

// A whole cycle: the two players asked on the worker thread, the merge and the publishing.
void BM_GiroDiPoll(benchmark::State& stato)
{
    FakeClock clock;
    ConfigurazioneMedia c;
    c.programmaHelper = QStringLiteral("/nonexistent"); // the source is not what is measured here
    MediaManager m(clock, c);
    for (auto _ : stato) {
        m.eseguiGiro();
        while (m.isFetching())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}
BENCHMARK(BM_GiroDiPoll)->Unit(benchmark::kMicrosecond);

// CPU time of the helper over a stretch of real time at the 1.5 s interval.
double tickProcesso(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> campi = f.readAll().split(')').value(1).trimmed().split(' ');
    // After the command: state is field 3, utime 14 and stime 15 of the whole line.
    return campi.value(11).toDouble() + campi.value(12).toDouble();
}

void BM_CpuHelper(benchmark::State& stato)
{
    for (auto _ : stato) {
        QProcess p;
        p.setProgram(QStringLiteral(HALVORA_NOWPLAYING_BENCH));
        p.setArguments({QStringLiteral("--intervallo"), QStringLiteral("1.50"), QStringLiteral("--iterazioni"),
                        QStringLiteral("2400"), QStringLiteral("--escludi"), QStringLiteral("halvora")});
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start();
        p.waitForStarted();
        QThread::msleep(500); // past start-up
        p.readAllStandardError();
        const double prima = tickProcesso(p.processId());
        QElapsedTimer t;
        t.start();
        const int durata = int(stato.range(0));
        while (t.elapsed() < durata * 1000) {
            p.waitForReadyRead(200);
            p.readAllStandardError();
        }
        const double secondi = t.elapsed() / 1000.0;
        const double cpu = (tickProcesso(p.processId()) - prima) / double(sysconf(_SC_CLK_TCK));
        stato.counters["cpu_percent"] = 100.0 * cpu / secondi;
        p.kill();
        p.waitForFinished();
    }
}
BENCHMARK(BM_CpuHelper)->Arg(15)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
