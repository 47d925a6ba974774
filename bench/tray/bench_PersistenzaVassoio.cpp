#include "PersistenzaVassoio.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// Copying a dropped folder of many small files into the tray.
static void CopiaCartella(benchmark::State& state)
{
    QTemporaryDir radice;
    const QString sorgente = radice.filePath(QStringLiteral("Sorgente"));
    QDir().mkpath(sorgente);
    for (int i = 0; i < state.range(0); ++i) {
        QFile f(sorgente + QStringLiteral("/file-%1.txt").arg(i));
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(4096, 'x'));
    }
    const QString tray = radice.filePath(QStringLiteral("Tray"));
    QDir().mkpath(tray);
    for (auto _ : state) {
        const auto copia = PersistenzaVassoio::persistFileURL(QUrl::fromLocalFile(sorgente), tray);
        benchmark::DoNotOptimize(copia);
        state.PauseTiming();
        QDir(QFileInfo(*copia).path()).removeRecursively();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(CopiaCartella)->Arg(10)->Arg(1000);

// Naming a long dropped text by its first line.
static void NomeTesto(benchmark::State& state)
{
    const QString testo = QString(200, QLatin1Char('a')) + QStringLiteral(":/\\") + QStringLiteral("\nriga\n").repeated(5000);
    for (auto _ : state)
        benchmark::DoNotOptimize(PersistenzaVassoio::nomeTesto(testo));
}
BENCHMARK(NomeTesto);

BENCHMARK_MAIN();
