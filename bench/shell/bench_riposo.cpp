// What the application costs at rest, beside an empty Qt Widgets window on
// the same display in the same run: wake-ups of its GUI thread, CPU over a
// minute, resident memory with its biggest mappings, and the time from the
// pointer entering the strip to the first frame of the notch drawn open.
// Run on a display of its own: cmake --build build --target misura_riposo
#include "BancoApplicazione.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QWidget>
#include <cstdio>

using namespace Banco;

namespace {

int finestraVuota(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w;
    w.resize(320, 200);
    w.show();
    std::puts("pronta");
    std::fflush(stdout);
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (argc > 1 && qstrcmp(argv[1], "--finestra-vuota") == 0)
        return finestraVuota(argc, argv);
    QCoreApplication app(argc, argv);
    const QStringList arg = app.arguments();
    const int secondi = arg.contains(QStringLiteral("--secondi")) ? arg.value(arg.indexOf(QStringLiteral("--secondi")) + 1).toInt() : 60;
    const QString eseguibile = arg.contains(QStringLiteral("--app")) ? arg.value(arg.indexOf(QStringLiteral("--app")) + 1)
                                                                      : QStringLiteral(HALVORA_ESEGUIBILE);
    Puntatore puntatore;
    if (!puntatore.valido()) {
        std::fputs("bench_riposo: needs an X display (scripts/con-xvfb.sh)\n", stderr);
        return 2;
    }
    const int mezzo = puntatore.larghezza() / 2;
    puntatore.muovi(100, 900); // far from the notch

    Applicazione halvoraApp(eseguibile);
    QProcess vuota;
    vuota.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    vuota.start(app.applicationFilePath(), {QStringLiteral("--finestra-vuota")});
    Righe righeVuota(vuota);
    Righe& righe = halvoraApp.righe();
    if (!halvoraApp.avviata() || righeVuota.aspetta(QStringLiteral("pronta"), 20000) < 0) {
        std::fputs("bench_riposo: the application or the empty window did not start\n", stderr);
        return 1;
    }
    QProcess& halvora = halvoraApp.processo();

    std::printf("At rest for %d s: closed notch, pointer far away, nothing playing.\n", secondi);
    const Campione a0 = campiona(halvora.processId()), v0 = campiona(vuota.processId());
    QThread::sleep(secondi);
    const Campione a1 = campiona(halvora.processId()), v1 = campiona(vuota.processId());
    const double risvegli = (a1.risvegli - a0.risvegli) / secondi;
    const double risvegliVuota = (v1.risvegli - v0.risvegli) / secondi;
    const double cpu = 100 * (a1.cpu - a0.cpu) / secondi;
    const double cpuVuota = 100 * (v1.cpu - v0.cpu) / secondi;
    // The ratio from the threads' own nanosecond counts, which an idle window still moves.
    auto suiFili = [](const Campione& da, const Campione& a) {
        double s = 0;
        for (auto it = a.fili.cbegin(); it != a.fili.cend(); ++it)
            s += it.value() - da.fili.value(it.key());
        return s;
    };
    const double rapporto = suiFili(v0, v1) > 0 ? suiFili(a0, a1) / suiFili(v0, v1) : -1;
    const double rss = residenteMB(halvora.processId()), rssVuota = residenteMB(vuota.processId());
    riga("GUI thread wake-ups", risvegli, "/s", QStringLiteral("<= 2"), risvegli <= 2,
         QStringLiteral("(empty window %1/s)").arg(risvegliVuota, 0, 'f', 2));
    riga("CPU, share of one core", cpu, "%", QStringLiteral("< 0.1"), cpu < 0.1,
         QStringLiteral("(empty window %1 %; on CPU %2 ms against %3 ms, ratio %4)")
             .arg(cpuVuota, 0, 'f', 3)
             .arg(suiFili(a0, a1) * 1000, 0, 'f', 1)
             .arg(suiFili(v0, v1) * 1000, 0, 'f', 2)
             .arg(rapporto >= 0 ? QString::number(rapporto, 'f', 1) : QStringLiteral("undefined")));
    riga("Resident memory", rss, "MB", QStringLiteral("< 60"), rss < 60,
         QStringLiteral("(empty window %1 MB)").arg(rssVuota, 0, 'f', 1));
    std::puts("Threads that ran (CPU over the window):");
    for (auto it = a1.fili.cbegin(); it != a1.fili.cend(); ++it)
        if (const double d = it.value() - a0.fili.value(it.key()); d > 0.0001)
            std::printf("  %8.2f ms  %s\n", d * 1000, qPrintable(it.key()));
    std::puts("Biggest mappings (resident):");
    const auto mappe = mappature(halvora.processId());
    for (int i = 0; i < qMin(12, int(mappe.size())); ++i)
        std::printf("  %8.1f MB  %s\n", mappe[i].first / 1024, qPrintable(mappe[i].second));
    vuota.kill();
    vuota.waitForFinished();

    // Pointer into the strip, first frame of the open notch.
    QList<double> tempi, stati;
    for (int i = 0; i < 40; ++i) {
        puntatore.muovi(100, 900);
        if (i > 0 && righe.aspetta(QStringLiteral("stato chiusa"), 3000) < 0)
            break;
        // The closing springs come to rest in about 0.8 s: each opening starts from a still notch.
        QThread::msleep(1200);
        righe.scarta();
        QElapsedTimer t;
        t.start();
        puntatore.muovi(mezzo, 10);
        if (righe.aspetta(QStringLiteral("stato aperta"), 2000) < 0)
            break;
        stati.append(t.nsecsElapsed() / 1e6);
        // A build without the drawing line still gives the state's time.
        if (const double d = righe.aspetta(QStringLiteral("disegnata aperta"), tempi.isEmpty() && i > 0 ? 50 : 2000); d >= 0)
            tempi.append(t.nsecsElapsed() / 1e6);
    }
    const double mediana = percentile(tempi, 0.5), p95 = percentile(tempi, 0.95);
    riga("Pointer in to drawn open, median", mediana, "ms", QStringLiteral("< 16"), mediana >= 0 && mediana < 16,
         QStringLiteral("(%1 openings)").arg(tempi.size()));
    riga("Pointer in to drawn open, p95", p95, "ms", QStringLiteral("-"), p95 >= 0);
    riga("Pointer in to state open, median", percentile(stati, 0.5), "ms", QStringLiteral("-"), !stati.isEmpty(),
         QStringLiteral("(p95 %1 ms)").arg(percentile(stati, 0.95), 0, 'f', 1));
    return 0;
}
