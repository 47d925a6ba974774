// What the application costs while it moves, beside an empty translucent
// window on the same display in the same run: CPU of all its threads in the
// 2 s after each opening of the notch, each tab change and each closing,
// with the longest frame of each opening and of each tab change (ten of
// each, medians); CPU while the music card plays; resident memory at rest.
// Run on a display and a bus of their own: cmake --build build --target misura_costi
//   [--volte N] [--app PATH] [--player PATH]
#include "BancoApplicazione.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>
#include <QVariantAnimation>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

using namespace Banco;

namespace {

constexpr int kFinestraMs = 2000;

// An empty translucent window: "cresci" on its input grows it from the
// closed strip's size to an open panel's over 0.8 s, "restringi" shrinks it.
int finestraVuota(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w(nullptr, Qt::FramelessWindowHint);
    w.setAttribute(Qt::WA_TranslucentBackground);
    const QSize chiusa(180, 32), aperta(460, 390);
    w.setGeometry(40, 200, chiusa.width(), chiusa.height());
    QVariantAnimation crescita;
    crescita.setDuration(800);
    crescita.setEasingCurve(QEasingCurve::OutCubic);
    QObject::connect(&crescita, &QVariantAnimation::valueChanged, &w, [&w](const QVariant& v) { w.resize(v.toSize()); });
    QSocketNotifier comandi(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&comandi, &QSocketNotifier::activated, &app, [&] {
        char r[64];
        if (!std::fgets(r, sizeof r, stdin)) {
            app.quit();
            return;
        }
        crescita.stop();
        crescita.setStartValue(w.size());
        crescita.setEndValue(qstrncmp(r, "cresci", 6) == 0 ? aperta : chiusa);
        crescita.start();
    });
    w.show();
    std::puts("pronta");
    std::fflush(stdout);
    return app.exec();
}

// The application's lines over a stretch of time, read as they come.
QStringList raccogli(Righe& righe, int ms)
{
    QStringList lette;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        lette += righe.disponibili();
        QThread::msleep(10);
    }
    return lette + righe.disponibili();
}

// Seconds on a CPU between two samples, by thread name (a pool's threads together).
QMap<QString, double> perNome(const Campione& da, const Campione& a)
{
    QMap<QString, double> m;
    for (auto it = a.fili.cbegin(); it != a.fili.cend(); ++it)
        m[it.key().section(QLatin1Char(' '), 0, -2)] += it.value() - da.fili.value(it.key());
    return m;
}

double totale(const QMap<QString, double>& fili)
{
    double s = 0;
    for (double v : fili)
        s += v;
    return s;
}

struct Misura {
    double cpu = 0;        // seconds, every thread
    double principale = 0; // seconds, the GUI thread
    double risvegli = 0;
    QMap<QString, double> fili;
};

class Misuratore {
public:
    explicit Misuratore(qint64 pid) : pid_(pid) { riparti(); }
    void riparti()
    {
        campione_ = campiona(pid_);
        principale_ = cpuFiloPrincipale(pid_);
    }
    // Since the last start, and starts again.
    Misura misura()
    {
        const Campione ora = campiona(pid_);
        const double principale = cpuFiloPrincipale(pid_);
        Misura m{0, principale - principale_, ora.risvegli - campione_.risvegli, perNome(campione_, ora)};
        m.cpu = totale(m.fili);
        campione_ = ora;
        principale_ = principale;
        return m;
    }

private:
    qint64 pid_;
    Campione campione_;
    double principale_ = 0;
};

// The longest frame among the lines, wall and CPU time in ms.
std::pair<double, double> fotogrammaPiuLungo(const QStringList& righe)
{
    double muro = 0, cpu = 0;
    for (const QString& r : righe) {
        const QStringList parti = r.split(QLatin1Char(' '));
        if (parti.size() == 3 && parti[0] == QLatin1String("fotogramma")) {
            muro = std::max(muro, parti[1].toDouble());
            cpu = std::max(cpu, parti[2].toDouble());
        }
    }
    return {muro, cpu};
}

QList<double> scelti(const QList<Misura>& m, double Misura::*campo)
{
    QList<double> v;
    for (const Misura& x : m)
        v << x.*campo;
    return v;
}

void somma(QMap<QString, double>& in, const QMap<QString, double>& da)
{
    for (auto it = da.cbegin(); it != da.cend(); ++it)
        in[it.key()] += it.value();
}

void stampaFili(const char* titolo, const QMap<QString, double>& fili)
{
    std::puts(titolo);
    for (auto it = fili.cbegin(); it != fili.cend(); ++it)
        if (it.value() > 0.0005)
            std::printf("  %8.1f ms  %s\n", it.value() * 1000, qPrintable(it.key()));
}

void stampaMappe(qint64 pid, int quante)
{
    const auto mappe = mappature(pid);
    for (int i = 0; i < qMin(quante, int(mappe.size())); ++i)
        std::printf("  %8.1f MB  %s\n", mappe[i].first / 1024, qPrintable(mappe[i].second));
}

} // namespace

int costi(Puntatore& puntatore)
{
    const int volte = opzione("--volte", QStringLiteral("10")).toInt();
    const int mezzo = puntatore.larghezza() / 2;
    auto lontano = [&] { puntatore.muovi(100, 900); };

    // A new user who has seen the start-up notices, so that no card comes and goes.
    Affiancati banco(opzione("--app", QStringLiteral(HALVORA_ESEGUIBILE)), avvisiGiaVisti);
    const QString caricoPrima = carico();
    if (!banco.avviati("bench_costi"))
        return 1;
    Applicazione& halvora = banco.halvora();
    QProcess& vuota = banco.vuota();
    Righe& righe = halvora.righe();
    const qint64 pid = halvora.pid();
    const double rssAvvio = residenteMB(pid), rssVuota = residenteMB(vuota.processId());
    std::printf("Load average at the start: %s (8 cores).\n", qPrintable(caricoPrima));
    std::printf("Resident memory after start: %.1f MB (empty window %.1f MB); biggest mappings:\n", rssAvvio, rssVuota);
    stampaMappe(pid, 8);

    // Openings and closings: pointer into the strip, then far away; 2 s each.
    QList<Misura> aperture, chiusure, crescite, restringimenti;
    QList<double> fotMuro, fotCpu;
    QMap<QString, double> filiApertura;
    Misuratore misura(pid), misuraVuota(vuota.processId());
    for (int i = 0; i < volte; ++i) {
        righe.disponibili();
        misura.riparti();
        misuraVuota.riparti();
        puntatore.muovi(mezzo, 10);
        comanda(vuota, "cresci");
        QStringList lette = raccogli(righe, kFinestraMs);
        aperture << misura.misura();
        crescite << misuraVuota.misura();
        if (!lette.contains(QStringLiteral("stato aperta"))) {
            std::fputs("bench_costi: the notch did not open\n", stderr);
            return 1;
        }
        somma(filiApertura, aperture.last().fili);
        const auto [muro, cpu] = fotogrammaPiuLungo(lette);
        fotMuro << muro;
        fotCpu << cpu;
        lontano();
        comanda(vuota, "restringi");
        lette = raccogli(righe, kFinestraMs);
        chiusure << misura.misura();
        restringimenti << misuraVuota.misura();
        if (!lette.contains(QStringLiteral("stato chiusa"))) {
            std::fputs("bench_costi: the notch did not close\n", stderr);
            return 1;
        }
        raccogli(righe, 1000); // each opening starts from a still notch
    }

    // Tab changes: the pointer rests on a tab of the open panel, which opens
    // it; the row is centred on the screen, the power button before it.
    QList<Misura> cambi;
    QList<double> fotCambio, fotCambioCpu;
    puntatore.muovi(mezzo, 10);
    raccogli(righe, 1500);
    for (int i = 1; i <= volte; ++i) {
        misura.riparti();
        puntatore.muovi(mezzo - 100 + 40 * (i % 7), 64);
        const QStringList lette = raccogli(righe, kFinestraMs);
        cambi << misura.misura();
        const auto [muro, cpu] = fotogrammaPiuLungo(lette);
        fotCambio << muro;
        fotCambioCpu << cpu;
    }
    lontano();
    raccogli(righe, kFinestraMs);

    // The music card: a player on the bus plays, its position moving on.
    QProcess suona;
    avviaPlayer(suona, QStringLiteral(HALVORA_FINTO_PLAYER));
    qint64 posizione = 0;
    auto avanza = [&](int ms) {
        for (int fatto = 0; fatto < ms; fatto += 1000) {
            posizione += 1'000'000;
            comanda(suona, QByteArray("posizione-us ") + QByteArray::number(posizione));
            suona.readAll();
            raccogli(righe, std::min(1000, ms - fatto));
        }
    };
    QList<Misura> musica, musicaVuota;
    QMap<QString, double> filiMusica;
    if (!suona.waitForStarted(5000) || righe.aspetta(QStringLiteral("scheda musica"), 20000) < 0) {
        std::fputs("bench_costi: the music card did not show\n", stderr);
    } else {
        avanza(3000);
        for (int i = 0; i < volte; ++i) {
            misura.riparti();
            misuraVuota.riparti();
            avanza(3000);
            musica << misura.misura();
            musicaVuota << misuraVuota.misura();
            somma(filiMusica, musica.last().fili);
        }
    }
    suona.kill();
    suona.waitForFinished();

    // At rest again, after all of it.
    lontano();
    raccogli(righe, 8000);
    const double rssDopo = residenteMB(pid);

    std::printf("\nMedians of %d, CPU of every thread in the %d s after the action:\n", volte, kFinestraMs / 1000);
    auto ms = [](const QList<Misura>& m, double Misura::*campo) { return 1000 * mediana(scelti(m, campo)); };
    const double apertura = ms(aperture, &Misura::cpu);
    riga("Opening, CPU", apertura, "ms", QStringLiteral("<= 200"), apertura <= 200,
         QStringLiteral("(GUI thread %1 ms; empty window growing %2 ms)")
             .arg(ms(aperture, &Misura::principale), 0, 'f', 1)
             .arg(ms(crescite, &Misura::cpu), 0, 'f', 1));
    const double cambio = ms(cambi, &Misura::cpu);
    riga("Tab change, CPU", cambio, "ms", QStringLiteral("<= 150"), cambio <= 150,
         QStringLiteral("(GUI thread %1 ms)").arg(ms(cambi, &Misura::principale), 0, 'f', 1));
    const double chiusura = ms(chiusure, &Misura::cpu);
    riga("Closing, CPU", chiusura, "ms", QStringLiteral("<= 100"), chiusura <= 100,
         QStringLiteral("(GUI thread %1 ms; empty window shrinking %2 ms)")
             .arg(ms(chiusure, &Misura::principale), 0, 'f', 1)
             .arg(ms(restringimenti, &Misura::cpu), 0, 'f', 1));
    const double fotogramma = mediana(fotMuro);
    riga("Longest frame of an opening", fotogramma, "ms", QStringLiteral("<= 8"), fotogramma <= 8,
         QStringLiteral("(its CPU %1 ms; worst opening %2 ms)")
             .arg(mediana(fotCpu), 0, 'f', 2)
             .arg(percentile(fotMuro, 1), 0, 'f', 2));
    const double fotogrammaCambio = mediana(fotCambio);
    riga("Longest frame of a tab change", fotogrammaCambio, "ms", QStringLiteral("<= 8"), fotogrammaCambio <= 8,
         QStringLiteral("(its CPU %1 ms; worst change %2 ms)")
             .arg(mediana(fotCambioCpu), 0, 'f', 2)
             .arg(percentile(fotCambio, 1), 0, 'f', 2));
    if (!musica.isEmpty()) {
        const double quota = 100 * mediana(scelti(musica, &Misura::cpu)) / 3;
        riga("Music card playing, CPU", quota, "%", QStringLiteral("<= 0.5"), quota <= 0.5,
             QStringLiteral("(GUI wake-ups %1/s; empty window %2 %)")
                 .arg(mediana(scelti(musica, &Misura::risvegli)) / 3, 0, 'f', 1)
                 .arg(100 * mediana(scelti(musicaVuota, &Misura::cpu)) / 3, 0, 'f', 3));
    }
    riga("Resident memory at rest", rssDopo, "MB", QStringLiteral("< 50"), rssDopo < 50,
         QStringLiteral("(after start %1 MB; empty window %2 MB)").arg(rssAvvio, 0, 'f', 1).arg(rssVuota, 0, 'f', 1));
    stampaFili("Threads over the openings (CPU, all openings together):", filiApertura);
    if (!musica.isEmpty())
        stampaFili("Threads while the music card plays (CPU, all windows together):", filiMusica);
    std::puts("Biggest mappings at rest (resident):");
    stampaMappe(pid, 8);
    std::printf("Load average at the end: %s (8 cores).\n", qPrintable(carico()));
    return 0;
}

int main(int argc, char** argv) { return principale(argc, argv, "bench_costi", finestraVuota, costi); }
