// The clipboard history's costs: the 0.5 s tick when nothing changed (it
// runs for the whole session) and one confirmed capture, read on the
// manager's worker. What a copy costs the real application is measured by
// bench_costi_dati.
#include "ClipboardManager.h"
#include "FakeClock.h"
#include "FakeFrontApplication.h"
#include "FakePasteboard.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Ambiente {
    QTemporaryDir dir;
    UserDefaults defaults{dir.filePath(QStringLiteral("d.ini"))};
    FakeFrontApplication front;
    FakeClock clock;
};

void BM_TickSenzaCambi(benchmark::State& state)
{
    Ambiente a;
    a.front.attivaId(QStringLiteral("org.gnome.TextEditor"));
    FakePasteboard pb;
    ClipboardManager m(pb, a.front, a.defaults, a.clock);
    for (auto _ : state)
        m.checkForChanges();
}
BENCHMARK(BM_TickSenzaCambi);

void BM_Cattura(benchmark::State& state)
{
    Ambiente a;
    FakePasteboard pb;
    ClipboardManager m(pb, a.front, a.defaults, a.clock);
    const QString base = QStringLiteral("Una riga copiata da un editor di testo, abbastanza lunga da essere realistica ");
    qint64 n = 0;
    for (auto _ : state) {
        pb.copia(base + QString::number(n++));
        m.checkForChanges();
        a.clock.advance(ClipboardManager::kAttesaConferma);
        while (m.leggendo())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (m.copiedItems().size() != std::min<qint64>(n, ClipboardManager::kMassimoVoci))
        state.SkipWithError("the captures did not reach the history");
}
BENCHMARK(BM_Cattura);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
