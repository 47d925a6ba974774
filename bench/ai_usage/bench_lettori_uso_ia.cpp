// The two usage readers on trees of realistic size: the session logs with
// 2,000 files and one 500 MB log, and a web cache of 400 entries.
#include "FixtureUsoIA.h"
#include "LettoreClaudeDesktop.h"
#include "LettoreCodex.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

using namespace FixtureUsoIA;

namespace {

QDateTime ora()
{
    return QDateTime::currentDateTimeUtc();
}

QByteArray rigaLimiti(const QDateTime& t, double usata)
{
    return rigaCodex(t.toString(Qt::ISODateWithMs), Finestra{usata, std::nullopt, 3600}, Finestra{20, 1.8e9, {}});
}

// <radice>: 2,000 small logs over 200 days, and today's 500 MB log, sparse
// but for its last megabyte of lines.
struct AlberoSessioni {
    QTemporaryDir dir;
    QString radice = dir.path() + "/.codex/sessions";
    QString grande;

    AlberoSessioni()
    {
        const QDate oggi = QDate::currentDate();
        const QDateTime adesso = ora();
        for (int i = 0; i < 2000; ++i) {
            const QDate giorno = oggi.addDays(-(i / 10) - 1);
            scriviLog(radice, giorno, QString("rollout-%1.jsonl").arg(i),
                      {rigaSenzaLimiti(), rigaLimiti(adesso.addDays(-(i / 10) - 1), 10), rigaSenzaLimiti()},
                      adesso.addDays(-(i / 10) - 1));
        }
        grande = scriviLog(radice, oggi, "rollout-grande.jsonl", {}, adesso);
        const qint64 dimensione = 500LL * 1024 * 1024;
        QByteArray coda;
        while (coda.size() < 1024 * 1024)
            coda += rigaSenzaLimiti(QString(300, 'z')) + '\n';
        coda += rigaLimiti(adesso, 42) + '\n';
        const int fd = ::open(QFile::encodeName(grande).constData(), O_WRONLY);
        if (fd < 0 || ::ftruncate(fd, dimensione - coda.size()) != 0
            || ::pwrite(fd, coda.constData(), static_cast<size_t>(coda.size()), dimensione - coda.size()) != coda.size())
            qFatal("cannot write the big log");
        ::close(fd);
        tocca(grande, adesso);
    }
};

void LettoreCodex_LetturaDopoLaScansione(benchmark::State& state)
{
    static AlberoSessioni albero;
    LettoreCodex lettore(ora, albero.radice);
    if (!lettore.leggiUso()) { // the first read walks the whole tree
        state.SkipWithError("no reading");
        return;
    }
    // Kept across runs: each touch must give a time not seen before.
    static QDateTime modifica = ora();
    for (auto _ : state) {
        state.PauseTiming();
        modifica = modifica.addSecs(1); // the log grew: the next read parses its tail
        tocca(albero.grande, modifica);
        state.ResumeTiming();
        auto l = lettore.leggiUso();
        if (!l || l->sessione->percentuale != 42) {
            state.SkipWithError("wrong reading");
            break;
        }
        benchmark::DoNotOptimize(l);
    }
}
BENCHMARK(LettoreCodex_LetturaDopoLaScansione)->Unit(benchmark::kMillisecond);

void LettoreCodex_PrimaScansione(benchmark::State& state)
{
    static AlberoSessioni albero;
    for (auto _ : state) {
        LettoreCodex lettore(ora, albero.radice);
        benchmark::DoNotOptimize(lettore.leggiUso());
    }
}
BENCHMARK(LettoreCodex_PrimaScansione)->Unit(benchmark::kMillisecond);

// 400 entries of other requests around one usage entry.
struct CacheWeb {
    QTemporaryDir dir;
    QString cartella = dir.path() + "/Cache_Data";

    CacheWeb()
    {
        const QDateTime adesso = ora();
        for (int i = 0; i < 399; ++i) {
            Voce v;
            v.chiave = QString("1/0/_dk_https://claude.ai https://claude.ai https://claude.ai/api/organizations/o/"
                               "chat_conversations/%1")
                           .arg(i);
            v.corpo = zstd(QByteArray(8000 + i * 10, 'c'));
            v.coda = QByteArray(2000, 'h');
            scrivi(cartella, QString("%1_0").arg(i, 16, 16, QChar('0')), voce(v), adesso.addSecs(-i));
        }
        Voce uso;
        uso.corpo = zstd(rispostaNominata(37, 64, "2026-03-02T14:00:00.000+00:00", "2026-03-06T09:00:00Z"));
        scrivi(cartella, "ffffffffffffffff_0", voce(uso), adesso.addSecs(-200));
    }
};

void LettoreClaudeDesktop_Scansione400(benchmark::State& state)
{
    static CacheWeb cache;
    LettoreClaudeDesktop lettore(ora, {{cache.cartella}, {"claude.ai", "claude.com"}});
    for (auto _ : state) {
        lettore.dimentica(); // every read scans all 400 entries and parses the usage one
        auto l = lettore.leggiUso();
        if (!l || l->sessione->percentuale != 37) {
            state.SkipWithError("wrong reading");
            break;
        }
        benchmark::DoNotOptimize(l);
    }
}
BENCHMARK(LettoreClaudeDesktop_Scansione400)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
