// A refresh of a large store: 10 calendars holding 5,000 events (a tenth of
// them repeating) and 2,000 reminders. Measured: the store's read from cold
// and from its parsed copies; the manager's first refresh through its worker
// thread; and a running manager picking up a file changed by another
// program. While the manager works, the GUI thread runs a 1 ms timer and
// reports the longest it went without running it; the "CPU" column of the
// manager cases is the GUI thread's own time.
#include "ArchivioCalendario.h"
#include "CalendarioManager.h"
#include "CodaArchivio.h"
#include "SystemClock.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

constexpr int kCalendari = 10;
constexpr int kEventi = 5000;
constexpr int kPromemoria = 2000;

QString ics(const QDateTime& d) { return d.toString(QStringLiteral("yyyyMMdd'T'HHmmss")); }

// The store, built once per run.
QString cartella()
{
    static QTemporaryDir dir;
    static bool pronta = false;
    if (!pronta) {
        pronta = true;
        const QDateTime oggi = QDate::currentDate().startOfDay();
        for (int c = 0; c < kCalendari; ++c) {
            QString testo = QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//IT\r\nCOLOR:#%1\r\n")
                                .arg(0x204080 + c * 0x101010, 6, 16, QLatin1Char('0'));
            for (int i = 0; i < kEventi / kCalendari; ++i) {
                const int n = c * 1000 + i;
                // Spread over a year before and after today, at varied hours.
                const QDateTime inizio = oggi.addDays((n * 37) % 730 - 365).addSecs(3600 * (7 + n % 12));
                QString righe = QStringLiteral("DTSTART:%1\r\nDTEND:%2\r\n").arg(ics(inizio), ics(inizio.addSecs(2700)));
                if (i % 10 == 0)
                    righe += (i % 20 == 0) ? QStringLiteral("RRULE:FREQ=DAILY\r\n") : QStringLiteral("RRULE:FREQ=WEEKLY\r\n");
                testo += QStringLiteral("BEGIN:VEVENT\r\nUID:ev-%1\r\nSUMMARY:Evento %1\r\nLOCATION:Sala %2\r\n%3END:VEVENT\r\n")
                             .arg(n)
                             .arg(n % 7)
                             .arg(righe);
            }
            for (int i = 0; i < kPromemoria / kCalendari; ++i) {
                const int n = c * 1000 + i;
                QString righe;
                if (i % 8 != 0)
                    righe += QStringLiteral("DUE:%1\r\n").arg(ics(oggi.addDays(n % 30 - 20).addSecs(3600 * (8 + n % 10))));
                if (i % 5 == 0)
                    righe += QStringLiteral("STATUS:COMPLETED\r\n");
                if (i % 11 == 0)
                    righe += QStringLiteral("RRULE:FREQ=WEEKLY\r\n");
                testo += QStringLiteral("BEGIN:VTODO\r\nUID:pr-%1\r\nSUMMARY:Promemoria %1\r\n%2END:VTODO\r\n").arg(n).arg(righe);
            }
            testo += QStringLiteral("END:VCALENDAR\r\n");
            QFile f(dir.filePath(QStringLiteral("calendario%1.ics").arg(c)));
            f.open(QIODevice::WriteOnly);
            f.write(testo.toUtf8());
        }
    }
    return dir.path();
}

void leggiTutto(ArchivioCalendario& archivio)
{
    const QDateTime ora = QDateTime::currentDateTime();
    auto impegni = archivio.impegni(ora.date().startOfDay(), ora.date().addDays(1).startOfDay());
    auto promemoria = archivio.promemoria(ora.date().addDays(1).startOfDay());
    benchmark::DoNotOptimize(impegni);
    benchmark::DoNotOptimize(promemoria);
}

void BM_LetturaDaFreddo(benchmark::State& state)
{
    const QString dir = cartella();
    for (auto _ : state) {
        ArchivioCalendario archivio(dir); // nothing parsed yet
        leggiTutto(archivio);
    }
}
BENCHMARK(BM_LetturaDaFreddo)->Unit(benchmark::kMillisecond);

void BM_LetturaDaCaldo(benchmark::State& state)
{
    ArchivioCalendario archivio(cartella());
    leggiTutto(archivio);
    for (auto _ : state)
        leggiTutto(archivio);
}
BENCHMARK(BM_LetturaDaCaldo)->Unit(benchmark::kMillisecond);

// The manager's refresh, from the call on the GUI thread to both lists
// applied there. Every iteration starts from a store never parsed.
void BM_AggiornamentoManager(benchmark::State& state)
{
    const QString dir = cartella();
    QTemporaryDir impostazioniDir;
    UserDefaults impostazioni(impostazioniDir.filePath(QStringLiteral("i.ini")));
    SystemClock clock;
    qint64 pausaMassimaMs = 0;
    int impegniOggi = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto coda = std::make_unique<CodaThread>();
        CodaArchivio* c = coda.get();
        CalendarioManager manager(clock, impostazioni, std::make_shared<ArchivioCalendario>(dir), std::move(coda));
        QElapsedTimer battito;
        QTimer cuore;
        cuore.setInterval(1);
        qint64 ultimo = 0;
        QObject::connect(&cuore, &QTimer::timeout, [&] {
            const qint64 adesso = battito.elapsed();
            pausaMassimaMs = std::max(pausaMassimaMs, adesso - ultimo);
            ultimo = adesso;
        });
        state.ResumeTiming();

        battito.start();
        cuore.start();
        manager.avvia(); // the first refresh: events, then reminders
        bool fatto = false;
        c->accoda([&fatto] { QMetaObject::invokeMethod(qApp, [&fatto] { fatto = true; }, Qt::QueuedConnection); });
        while (!fatto)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

        state.PauseTiming();
        cuore.stop();
        impegniOggi = int(manager.impegniDiOggi().size());
        state.ResumeTiming();
    }
    state.counters["impegni_oggi"] = impegniOggi;
    state.counters["gui_pausa_max_ms"] = double(pausaMassimaMs);
}
BENCHMARK(BM_AggiornamentoManager)->Unit(benchmark::kMillisecond)->UseRealTime();

// A running manager seeing one calendar file changed by another program:
// from the write to the new list applied on the GUI thread.
void BM_ModificaEsterna(benchmark::State& state)
{
    const QString dir = cartella();
    QTemporaryDir impostazioniDir;
    UserDefaults impostazioni(impostazioniDir.filePath(QStringLiteral("i.ini")));
    SystemClock clock;
    CalendarioManager manager(clock, impostazioni, std::make_shared<ArchivioCalendario>(dir));
    manager.avvia();
    while (manager.impegniDiOggi().isEmpty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    const QString file = QDir(dir).filePath(QStringLiteral("calendario0.ics"));
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    const QByteArray originale = f.readAll();
    f.close();
    const QByteArray inPiu = QStringLiteral("BEGIN:VEVENT\r\nUID:in-piu\r\nSUMMARY:In piu\r\nDTSTART:%1\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")
                                 .arg(ics(QDateTime::currentDateTime()))
                                 .toUtf8();
    QByteArray modificato = originale;
    modificato.replace("END:VCALENDAR\r\n", inPiu);

    qint64 pausaMassimaMs = 0;
    bool conAggiunta = false;
    for (auto _ : state) {
        conAggiunta = !conAggiunta;
        const qsizetype attesi = manager.impegniDiOggi().size() + (conAggiunta ? 1 : -1);
        QElapsedTimer battito;
        battito.start();
        qint64 ultimo = 0;
        QTimer cuore;
        cuore.setInterval(1);
        QObject::connect(&cuore, &QTimer::timeout, [&] {
            const qint64 adesso = battito.elapsed();
            pausaMassimaMs = std::max(pausaMassimaMs, adesso - ultimo);
            ultimo = adesso;
        });
        cuore.start();
        QFile scrittura(file);
        scrittura.open(QIODevice::WriteOnly | QIODevice::Truncate);
        scrittura.write(conAggiunta ? modificato : originale);
        scrittura.close();
        while (manager.impegniDiOggi().size() != attesi)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QFile ripristino(file);
    ripristino.open(QIODevice::WriteOnly | QIODevice::Truncate);
    ripristino.write(originale);
    state.counters["gui_pausa_max_ms"] = double(pausaMassimaMs);
}
BENCHMARK(BM_ModificaEsterna)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
