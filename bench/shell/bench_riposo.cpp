// What the application costs at rest, beside an empty Qt Widgets window on
// the same display in the same run: wake-ups of its GUI thread, CPU over a
// minute, resident memory with its biggest mappings, and the time from the
// pointer entering the strip to the first frame of the notch drawn open.
// Run on a display of its own: cmake --build build --target misura_riposo
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <xcb/xcb.h>
#include <unistd.h>
#include <xcb/xtest.h>

namespace {

QByteArray leggi(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The number after `chiave` in a /proc status file.
double campo(const QByteArray& testo, const QByteArray& chiave)
{
    for (const QByteArray& r : testo.split('\n'))
        if (r.startsWith(chiave))
            return r.mid(chiave.size()).trimmed().split(' ').first().toDouble();
    return -1;
}

struct Campione {
    double risvegli = 0;         // voluntary context switches of the GUI thread
    double cpu = 0;              // seconds on a CPU, every thread, those gone included
    QMap<QString, double> fili;  // seconds on a CPU by thread ("name tid")
};

Campione campiona(qint64 pid)
{
    Campione c;
    c.risvegli = campo(leggi(QStringLiteral("/proc/%1/task/%1/status").arg(pid)), "voluntary_ctxt_switches:");
    const QDir task(QStringLiteral("/proc/%1/task").arg(pid));
    const QByteArray stat = leggi(QStringLiteral("/proc/%1/stat").arg(pid));
    const QList<QByteArray> campi = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    c.cpu = (campi.value(11).toDouble() + campi.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
    for (const QString& t : task.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const double s = leggi(task.filePath(t + QStringLiteral("/schedstat"))).split(' ').first().toDouble() / 1e9;
        c.fili[QString::fromUtf8(leggi(task.filePath(t + QStringLiteral("/comm"))).trimmed()) + QLatin1Char(' ') + t] = s;
    }
    return c;
}

double residenteMB(qint64 pid)
{
    return campo(leggi(QStringLiteral("/proc/%1/status").arg(pid)), "VmRSS:") / 1024;
}

// Resident kilobytes by mapped file (anonymous mappings by their name).
QList<std::pair<double, QString>> mappature(qint64 pid)
{
    QMap<QString, double> perNome;
    QString nome;
    for (const QByteArray& r : leggi(QStringLiteral("/proc/%1/smaps").arg(pid)).split('\n')) {
        const QList<QByteArray> parti = r.simplified().split(' ');
        if (parti.size() >= 5 && parti[0].contains('-') && !parti[0].endsWith(':'))
            nome = parti.size() >= 6 ? QString::fromUtf8(parti.mid(5).join(' ')) : QStringLiteral("[anonima]");
        else if (r.startsWith("Rss:"))
            perNome[nome] += parti.value(1).toDouble();
    }
    QList<std::pair<double, QString>> l;
    for (auto it = perNome.cbegin(); it != perNome.cend(); ++it)
        l.append({it.value(), it.key()});
    std::sort(l.begin(), l.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    return l;
}

class Puntatore {
public:
    Puntatore() : c_(xcb_connect(nullptr, nullptr))
    {
        const xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        radice_ = s->root;
        larghezza_ = s->width_in_pixels;
    }
    ~Puntatore() { xcb_disconnect(c_); }
    bool valido() const { return !xcb_connection_has_error(c_); }
    int larghezza() const { return larghezza_; }

    // An XTest motion, as a device makes: the server has it when this returns.
    void muovi(int x, int y)
    {
        xcb_test_fake_input(c_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, radice_, int16_t(x), int16_t(y), 0);
        std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    }

private:
    xcb_connection_t* c_;
    xcb_window_t radice_ = 0;
    int larghezza_ = 0;
};

// The application's diagnostic lines, waited for one at a time.
class Righe {
public:
    explicit Righe(QProcess& p) : p_(p) {}
    // Milliseconds until the line `attesa` arrives; negative past `ms`.
    double aspetta(const QString& attesa, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            while (p_.canReadLine())
                if (QString::fromUtf8(p_.readLine()).trimmed() == attesa)
                    return t.nsecsElapsed() / 1e6;
            p_.waitForReadyRead(5);
        }
        return -1;
    }
    void scarta()
    {
        p_.waitForReadyRead(0);
        p_.readAll();
    }

private:
    QProcess& p_;
};

double percentile(QList<double> v, double p)
{
    if (v.isEmpty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[qMin(v.size() - 1, int(p * (v.size() - 1) + 0.5))];
}

void riga(const char* cosa, double valore, const char* unita, const QString& obiettivo, bool riuscito,
          const QString& accanto = {})
{
    std::printf("%-34s %10.3f %-4s  target %-10s %-6s %s\n", cosa, valore, unita, qPrintable(obiettivo),
                riuscito ? "ok" : "MISSED", qPrintable(accanto));
}

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

    // A new user's home, with the guide already seen.
    QTemporaryDir casa;
    QDir().mkpath(casa.filePath(QStringLiteral("config/Halvora")));
    QFile ini(casa.filePath(QStringLiteral("config/Halvora/Halvora.ini")));
    if (!ini.open(QIODevice::WriteOnly) || ini.write("[General]\nguidaVista=true\n") <= 0)
        return 2;
    ini.close();
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HALVORA_DIAGNOSTICA"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), casa.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), casa.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), casa.path());

    QProcess halvora, vuota;
    halvora.setProcessEnvironment(env);
    halvora.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    halvora.start(eseguibile, {});
    vuota.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    vuota.start(app.applicationFilePath(), {QStringLiteral("--finestra-vuota")});
    Righe righe(halvora), righeVuota(vuota);
    if (righe.aspetta(QStringLiteral("pronta"), 20000) < 0 || righeVuota.aspetta(QStringLiteral("pronta"), 20000) < 0) {
        std::fputs("bench_riposo: the application or the empty window did not start\n", stderr);
        return 1;
    }
    // Start-up work (the first update check, the first readings) settles.
    QThread::sleep(5);
    righe.scarta();

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
    halvora.terminate();
    halvora.waitForFinished(5000);
    return 0;
}
