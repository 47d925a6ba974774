#include "ContrattoRiconoscimento.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

// One recognition by the helper, as the application runs it, on spoken
// memos of a few lengths: the time per second of audio and the helper's
// peak memory.

extern char** environ;

namespace {

struct Corsa {
    int stato = -1;
    long piccoKB = 0;
};

Corsa esegui(const QStringList& argomenti)
{
    std::vector<QByteArray> a;
    for (const QString& s : argomenti)
        a.push_back(s.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& s : a)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    posix_spawn_file_actions_addopen(&azioni, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    Corsa c;
    if (posix_spawn(&pid, argv[0], &azioni, nullptr, argv.data(), environ) == 0) {
        rusage uso{};
        wait4(pid, &c.stato, 0, &uso);
        c.piccoKB = uso.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&azioni);
    return c;
}

// A memo of the sentence said `volte` times, as AAC in MP4 like the
// recorder's; its length in seconds.
double memo(const QString& cartella, int volte, QString* percorso)
{
    const QString wav = cartella + QStringLiteral("/memo-%1.wav").arg(volte);
    *percorso = cartella + QStringLiteral("/memo-%1.m4a").arg(volte);
    QStringList frasi;
    for (int i = 0; i < volte; ++i)
        frasi << QStringLiteral("remind me to call my mother tomorrow morning.");
    esegui({HALVORA_FLITE, "-voice", "rms", "-t", frasi.join(' '), "-o", wav});
    esegui({HALVORA_GST_LAUNCH, "-q", "filesrc", "location=" + wav, "!", "wavparse", "!", "audioconvert", "!",
            "audioresample", "!", "audio/x-raw,rate=44100,channels=1", "!", "avenc_aac", "!", "mp4mux", "!",
            "filesink", "location=" + *percorso});
    // flite writes 16-bit mono at 16 kHz after a 44-byte header.
    return double(QFile(wav).size() - 44) / (2 * 16000);
}

void Riconoscimento(benchmark::State& state)
{
    QTemporaryDir dir;
    QString file;
    const double secondi = memo(dir.path(), int(state.range(0)), &file);
    const QStringList argomenti =
        QStringList{HALVORA_RICONOSCIMENTO}
        + ContrattoRiconoscimento::argomenti(QStringLiteral("/usr/share/pocketsphinx/model/en-us"), file);
    long picco = 0;
    double totale = 0;
    for (auto _ : state) {
        const auto inizio = std::chrono::steady_clock::now();
        const Corsa c = esegui(argomenti);
        totale += std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
        if (!WIFEXITED(c.stato) || WEXITSTATUS(c.stato) != ContrattoRiconoscimento::testo) {
            state.SkipWithError("the helper did not recognise the memo");
            break;
        }
        picco = std::max(picco, c.piccoKB);
    }
    state.counters["secondi_audio"] = secondi;
    state.counters["s_per_s_audio"] = totale / double(state.iterations()) / secondi;
    state.counters["picco_MB"] = double(picco) / 1024;
}
BENCHMARK(Riconoscimento)->Arg(1)->Arg(10)->Arg(40)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
