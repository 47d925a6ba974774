// What the closed notch's animated cards cost, beside the floor (a small
// translucent Qt window that only stands there) and with the X server's own
// cost, in one run on a display and a bus of their own: at rest with nothing
// to show, the music card alone (a player playing), the appointment card
// alone, the two taking turns, and the pulsing card of a due reminder. For
// each: CPU of every thread, wake-ups of every thread, the frames the
// application drew, pooled threads seen, the X server's CPU and wake-ups.
//   cmake --build build --target misura_animazioni   [--secondi N] [--app PATH] [--player PATH]
#include "BancoApplicazione.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QSocketNotifier>
#include <QThread>
#include <QTimeZone>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

using namespace Banco;

namespace {

// The floor: a translucent frameless window that draws itself once.
class Vuota final : public QWidget {
public:
    Vuota() : QWidget(nullptr, Qt::FramelessWindowHint) { setAttribute(Qt::WA_TranslucentBackground); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(30, 30, 34, 215));
        p.drawRoundedRect(rect(), 16, 16);
    }
};

// What the cheapest animation of a card costs: a spot of the floor window
// as big as the waves, painted again 15 times a second.
class Macchia final : public QWidget {
public:
    explicit Macchia(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(150, 16, 18, 14);
    }
    int passo = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(30, 30, 34));
        p.fillRect(QRect(0, 7 - passo % 7, 18, 2 * (passo % 7)), Qt::white);
        std::puts("dipinto");
        std::fflush(stdout);
    }
};

// The floor window; "anima" on its input starts the spot moving, "ferma" stops it.
int finestraVuota(int argc, char** argv)
{
    QApplication app(argc, argv);
    Vuota w;
    w.setGeometry(40, 200, 180, 46);
    Macchia m(&w);
    QTimer t;
    t.setTimerType(Qt::PreciseTimer);
    t.setInterval(1000 / 15);
    QObject::connect(&t, &QTimer::timeout, &m, [&m] {
        ++m.passo;
        m.update();
    });
    QSocketNotifier comandi(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&comandi, &QSocketNotifier::activated, &app, [&] {
        char r[64];
        if (!std::fgets(r, sizeof r, stdin))
            return app.quit();
        if (qstrncmp(r, "anima", 5) == 0)
            t.start();
        else
            t.stop();
    });
    w.show();
    std::puts("pronta");
    std::fflush(stdout);
    return app.exec();
}

// Every thread of a process: wake-ups (voluntary context switches) and
// seconds on a CPU, by "name tid"; and the process's CPU ticks, threads
// gone included.
struct Conto {
    QMap<QString, std::pair<double, double>> fili;
    double secondiTick = 0;
};

Conto conta(qint64 pid)
{
    Conto c;
    const QDir task(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& t : task.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const double risvegli = campo(leggi(task.filePath(t + QStringLiteral("/status"))), "voluntary_ctxt_switches:");
        const double s = leggi(task.filePath(t + QStringLiteral("/schedstat"))).split(' ').first().toDouble() / 1e9;
        const QString nome = QString::fromUtf8(leggi(task.filePath(t + QStringLiteral("/comm"))).trimmed());
        if (risvegli >= 0)
            c.fili[nome + QLatin1Char(' ') + t] = {risvegli, s};
    }
    const QByteArray stat = leggi(QStringLiteral("/proc/%1/stat").arg(pid));
    const QList<QByteArray> campi = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    c.secondiTick = (campi.value(11).toDouble() + campi.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
    return c;
}

// One process over a stretch of time.
struct Tratto {
    double secondi = 0;
    double cpu = 0;      // seconds, threads alive at the end (nanosecond counts)
    double cpuTick = 0;  // seconds, every thread (10 ms ticks)
    double risvegli = 0; // every thread alive at the end
    int fili = 0;        // the most seen at once
    int filiInPool = 0;  // pooled threads that woke in the stretch
    double risvegliInPool = 0;
    QMap<QString, double> cpuPerNome;
    double quota() const { return secondi > 0 ? 100 * std::max(cpu, cpuTick) / secondi : -1; }
    double risvegliAlSecondo() const { return secondi > 0 ? risvegli / secondi : -1; }
};

class Osservato {
public:
    explicit Osservato(qint64 pid) : pid_(pid) {}
    void inizia()
    {
        inizio_ = conta(pid_);
        massimo_ = 0;
        orologio_.start();
    }
    // Called now and then during the stretch, for the most threads at once.
    void guarda() { massimo_ = std::max(massimo_, int(conta(pid_).fili.size())); }
    Tratto finisci()
    {
        guarda();
        const Conto fine = conta(pid_);
        Tratto t;
        t.secondi = orologio_.nsecsElapsed() / 1e9;
        t.cpuTick = fine.secondiTick - inizio_.secondiTick;
        for (auto it = fine.fili.cbegin(); it != fine.fili.cend(); ++it) {
            const auto prima = inizio_.fili.value(it.key(), {0, 0});
            const double risvegli = it.value().first - prima.first;
            t.risvegli += risvegli;
            const double s = it.value().second - prima.second;
            t.cpu += s;
            t.cpuPerNome[it.key().section(QLatin1Char(' '), 0, -2)] += s;
            if (it.key().startsWith(QLatin1String("Thread (pooled)")) && risvegli > 0) {
                ++t.filiInPool;
                t.risvegliInPool += risvegli;
            }
        }
        t.fili = massimo_;
        return t;
    }

private:
    qint64 pid_;
    Conto inizio_;
    int massimo_ = 0;
    QElapsedTimer orologio_;
};

// The X server of this display: its lock file names it.
qint64 serverX()
{
    const QString display = qEnvironmentVariable("DISPLAY");
    const QString n = display.section(QLatin1Char(':'), 1).section(QLatin1Char('.'), 0, 0);
    return QString::fromLatin1(leggi(QStringLiteral("/tmp/.X%1-lock").arg(n)).trimmed()).toLongLong();
}

// A child of the script that started us (the display's compositor), by name.
qint64 fratello(const QByteArray& nome)
{
    const qint64 padre = getppid();
    for (const QByteArray& f : leggi(QStringLiteral("/proc/%1/task/%1/children").arg(padre)).split(' '))
        if (!f.trimmed().isEmpty() && leggi(QStringLiteral("/proc/%1/comm").arg(QString::fromLatin1(f))).trimmed() == nome)
            return f.toLongLong();
    return 0;
}

QString utc(const QDateTime& t)
{
    return t.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

// Writes an iCalendar file of the agenda's own folder whole, as a rename.
bool scriviCalendario(const QString& casa, const QString& nome, const QByteArray& voci)
{
    const QString cartella = casa + QStringLiteral("/data/Halvora/Halvora/calendario");
    QDir().mkpath(cartella);
    QFile f(cartella + QStringLiteral("/.") + nome);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Banco//IT\r\n" + voci + "END:VCALENDAR\r\n");
    f.close();
    QFile::remove(cartella + QLatin1Char('/') + nome);
    return f.rename(cartella + QLatin1Char('/') + nome);
}

QByteArray evento(const QDateTime& inizio)
{
    return "BEGIN:VEVENT\r\nUID:banco-impegno\r\nDTSTAMP:" + utc(inizio).toLatin1() + "\r\nDTSTART:"
           + utc(inizio).toLatin1() + "\r\nDTEND:" + utc(inizio.addSecs(3600)).toLatin1()
           + "\r\nSUMMARY:Revisione del progetto\r\nLOCATION:Sala 2\r\nEND:VEVENT\r\n";
}

QByteArray promemoria(const QDateTime& scadenza)
{
    return "BEGIN:VTODO\r\nUID:banco-promemoria\r\nDTSTAMP:" + utc(scadenza).toLatin1() + "\r\nDUE:"
           + utc(scadenza).toLatin1() + "\r\nSUMMARY:Chiamare il fornitore\r\nSTATUS:NEEDS-ACTION\r\nEND:VTODO\r\n";
}

struct Fase {
    QString nome;
    Tratto app, vuota, x, compositore;
    int fotogrammi = 0;
    int cambiScheda = 0;
    int fotogrammiVuota = 0;
};

} // namespace

int animazioni(Puntatore&)
{
    const int secondi = opzione("--secondi", QStringLiteral("30")).toInt();
    const qint64 pidX = serverX(), pidComp = fratello("xcompmgr");
    if (pidX <= 0) {
        std::fputs("bench_animazioni: the X server of this display was not found\n", stderr);
        return 2;
    }

    Affiancati banco(opzione("--app", QStringLiteral(HALVORA_ESEGUIBILE)), [](const QString& casa) {
        avvisiGiaVisti(casa);
        // The calendar was opened in an earlier run: its store is read from the start.
        QFile ini(casa + QStringLiteral("/config/Halvora/Halvora.ini"));
        if (ini.open(QIODevice::Append))
            ini.write("calendario.giaUsato=true\n");
        scriviCalendario(casa, QStringLiteral("banco.ics"), {});
    });
    const QString caricoPrima = carico();
    if (!banco.avviati("bench_animazioni"))
        return 1;
    Applicazione& halvora = banco.halvora();
    QProcess& vuota = banco.vuota();
    Righe &righe = halvora.righe(), &righeVuota = banco.righeVuota();
    Osservato oApp(halvora.pid()), oVuota(vuota.processId()), oX(pidX), oComp(pidComp);

    // One stretch: every process watched, the application's lines counted.
    auto misura = [&](const QString& nome) {
        Fase f{nome, {}, {}, {}, {}, 0, 0};
        righe.disponibili();
        for (Osservato* o : {&oApp, &oVuota, &oX, &oComp})
            o->inizia();
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < secondi * 1000) {
            QThread::msleep(200);
            for (const QString& r : righe.disponibili()) {
                if (r == QLatin1String("dipinto"))
                    ++f.fotogrammi;
                else if (r.startsWith(QLatin1String("scheda ")))
                    ++f.cambiScheda;
            }
            oApp.guarda();
        }
        f.app = oApp.finisci();
        f.vuota = oVuota.finisci();
        f.x = oX.finisci();
        if (pidComp > 0)
            f.compositore = oComp.finisci();
        std::fprintf(stderr, "  measured: %s\n", qPrintable(nome));
        return f;
    };
    // Waits for a card to show, then for the stretch it moves in to settle.
    auto aspettaScheda = [&](const char* scheda) {
        if (righe.aspetta(QStringLiteral("scheda ") + QLatin1String(scheda), 30000) < 0) {
            std::fprintf(stderr, "bench_animazioni: the card \"%s\" did not show\n", scheda);
            return false;
        }
        QThread::sleep(2);
        return true;
    };

    QList<Fase> fasi;
    fasi << misura(QStringLiteral("At rest, nothing to show"));
    // The floor animating a spot as big as the waves at their rate, the application at rest.
    vuota.write("anima\n");
    vuota.waitForBytesWritten(1000);
    righeVuota.scarta();
    Fase moto = misura(QStringLiteral("Floor window animating (at rest)"));
    moto.fotogrammiVuota = int(righeVuota.disponibili().count(QStringLiteral("dipinto")));
    vuota.write("ferma\n");
    vuota.waitForBytesWritten(1000);

    QProcess suona;
    avviaPlayer(suona, QStringLiteral(HALVORA_FINTO_PLAYER));
    if (!suona.waitForStarted(5000) || !aspettaScheda("musica"))
        return 1;
    fasi << misura(QStringLiteral("Music card"));

    // An appointment 10 minutes ahead: the two persistent cards take turns.
    scriviCalendario(halvora.casa(), QStringLiteral("banco.ics"), evento(QDateTime::currentDateTime().addSecs(600)));
    if (!aspettaScheda("impegno"))
        return 1;
    fasi << misura(QStringLiteral("Music and appointment, taking turns"));

    // The player leaves the bus: the appointment stays alone.
    suona.kill();
    suona.waitForFinished();
    {
        // The music card goes when the media manager next looks; the
        // appointment then stays, and no card changes for longer than a turn.
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 60000 && !righe.aspettaInizio(QStringLiteral("scheda "), 7000).isEmpty()) {
        }
    }
    fasi << misura(QStringLiteral("Appointment card"));

    // A reminder that fell due a minute ago: the pulsing card.
    scriviCalendario(halvora.casa(), QStringLiteral("banco.ics"),
                     evento(QDateTime::currentDateTime().addSecs(600)) + promemoria(QDateTime::currentDateTime().addSecs(-60)));
    if (!aspettaScheda("promemoria"))
        return 1;
    fasi << misura(QStringLiteral("Due reminder (pulsing)"));

    const Fase& riposo = fasi[0];
    const double xRiposo = riposo.x.risvegliAlSecondo();
    std::printf("\nLoad average at the start %s, at the end %s (8 cores). %d s a stretch.\n", qPrintable(caricoPrima),
                qPrintable(carico()), secondi);
    std::printf("Each figure: application (floor window in the same stretch); X server beside. %s\n\n",
                pidComp > 0 ? "A compositor (xcompmgr) runs: the X server also serves its answer to each frame."
                            : "No compositor runs.");
    std::printf("%-38s %8s %9s %7s %6s %6s | %8s %8s | %8s\n", "", "CPU %", "wakes/s", "frames", "thr", "pooled",
                "X CPU %", "X wk/s", "comp %");
    for (const Fase& f : fasi)
        std::printf("%-38s %8.3f %9.1f %7.1f %6d %6d | %8.3f %8.1f | %8.3f\n", qPrintable(f.nome), f.app.quota(),
                    f.app.risvegliAlSecondo(), f.fotogrammi / f.app.secondi, f.app.fili, f.app.filiInPool, f.x.quota(),
                    f.x.risvegliAlSecondo(), pidComp > 0 ? f.compositore.quota() : -1.0);
    std::printf("%-38s %8.3f %9.1f %7.1f %6s %6s | %8.3f %8.1f |\n", "Floor window animating a spot, 15/s",
                moto.vuota.quota(), moto.vuota.risvegliAlSecondo(), moto.fotogrammiVuota / moto.vuota.secondi, "", "",
                moto.x.quota(), moto.x.risvegliAlSecondo());
    std::printf("%-38s ", "Floor window, in each stretch");
    for (const Fase& f : fasi)
        std::printf("%.3f %% %.1f/s  ", f.vuota.quota(), f.vuota.risvegliAlSecondo());
    std::printf("\n\n");

    const Fase &musica = fasi[1], &turni = fasi[2], &impegno = fasi[3], &impulso = fasi[4];
    auto accanto = [](const Fase& f) {
        return QStringLiteral("(floor %1 %, %2/s; %3 frames/s; %4 pooled threads woke %5/s)")
            .arg(f.vuota.quota(), 0, 'f', 3)
            .arg(f.vuota.risvegliAlSecondo(), 0, 'f', 1)
            .arg(f.fotogrammi / f.app.secondi, 0, 'f', 1)
            .arg(f.app.filiInPool)
            .arg(f.app.risvegliInPool / f.app.secondi, 0, 'f', 1);
    };
    riga("Music card, CPU", musica.app.quota(), "%", QStringLiteral("<= 0.25"), musica.app.quota() <= 0.25,
         accanto(musica));
    riga("Music card, wake-ups (all threads)", musica.app.risvegliAlSecondo(), "/s", QStringLiteral("<= 65"),
         musica.app.risvegliAlSecondo() <= 65);
    riga("Due-reminder pulse, CPU", impulso.app.quota(), "%", QStringLiteral("<= 0.4"), impulso.app.quota() <= 0.4,
         accanto(impulso));
    riga("Due-reminder pulse, wake-ups", impulso.app.risvegliAlSecondo(), "/s", QStringLiteral("-"), true);
    // A swap: the turns' cost beyond the two cards' own, over the swaps made.
    const double cambiAlSecondo = turni.cambiScheda / turni.app.secondi;
    const double proprie = (musica.app.quota() + impegno.app.quota()) / 2;
    const double perCambio = cambiAlSecondo > 0 ? 10 * (turni.app.quota() - proprie) / cambiAlSecondo : -1;
    constexpr double kCambioMs = 10;
    const double piuCara = std::max(musica.app.quota(), impegno.app.quota());
    const double limiteTurni = piuCara + cambiAlSecondo * kCambioMs / 10;
    riga("Swap of two cards, CPU each", perCambio, "ms", QStringLiteral("<= %1").arg(kCambioMs),
         perCambio >= 0 && perCambio <= kCambioMs,
         QStringLiteral("(%1 swaps in %2 s)").arg(turni.cambiScheda).arg(turni.app.secondi, 0, 'f', 0));
    riga("Two cards taking turns, CPU", turni.app.quota(), "%", QStringLiteral("<= %1").arg(limiteTurni, 0, 'f', 3),
         turni.app.quota() <= limiteTurni,
         QStringLiteral("(dearer alone %1 % + swaps at %2 ms; appointment alone %3 %) %4")
             .arg(piuCara, 0, 'f', 3)
             .arg(kCambioMs)
             .arg(impegno.app.quota(), 0, 'f', 3)
             .arg(accanto(turni)));
    riga("Two cards taking turns, wake-ups", turni.app.risvegliAlSecondo(), "/s", QStringLiteral("-"), true,
         QStringLiteral("(threads at most %1)").arg(turni.app.fili));
    for (const Fase* f : {&musica, &turni, &impulso}) {
        const double extra = f->x.risvegliAlSecondo() - xRiposo;
        const double fotogrammi = f->fotogrammi / f->app.secondi;
        riga(qPrintable(QStringLiteral("X server extra wake-ups, %1").arg(f == &musica ? QStringLiteral("music")
                                                                       : f == &turni  ? QStringLiteral("turns")
                                                                                      : QStringLiteral("pulse"))),
             extra, "/s", QStringLiteral("<= %1").arg(fotogrammi, 0, 'f', 1), extra <= fotogrammi + 0.5,
             QStringLiteral("(X CPU +%1 %)").arg(f->x.quota() - riposo.x.quota(), 0, 'f', 3));
    }
    {
        const double extra = moto.x.risvegliAlSecondo() - xRiposo, fotogrammi = moto.fotogrammiVuota / moto.vuota.secondi;
        riga("X server extra wake-ups, floor", extra, "/s", QStringLiteral("-"), true,
             QStringLiteral("(its %1 frames/s; its CPU %2 %: the least a 15/s animation costs here)")
                 .arg(fotogrammi, 0, 'f', 1)
                 .arg(moto.vuota.quota(), 0, 'f', 3));
    }
    std::puts("\nThreads that ran (CPU, ms over each stretch):");
    for (const Fase& f : fasi) {
        std::printf("  %s:", qPrintable(f.nome));
        for (auto it = f.app.cpuPerNome.cbegin(); it != f.app.cpuPerNome.cend(); ++it)
            if (it.value() > 0.0005)
                std::printf("  %s %.1f", qPrintable(it.key()), it.value() * 1000);
        std::puts("");
    }
    return 0;
}

int main(int argc, char** argv) { return principale(argc, argv, "bench_animazioni", finestraVuota, animazioni); }
