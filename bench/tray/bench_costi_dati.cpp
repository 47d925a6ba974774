// What data costs the real application on a display of its own: GUI-thread
// CPU per clipboard copy with an empty history, with a few and with fifty
// large texts in it; wake-ups while the clipboard is empty; the first
// frame of the memo tab holding 500 memos; and a flood of copies from
// xclip (sizes log-uniform up to 1 MB, one every 0.4 s): how many reach
// the history, and the resident memory after it.
// Run on a display of its own: scripts/con-xvfb.sh build/bench/tray/bench_costi_dati
//   [--copie N] [--intervallo S] [--memo N] [--solo-memo | --solo-diluvio] [--app PATH]
#include "BancoApplicazione.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPoint>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <cmath>
#include <cstdio>
#include <optional>

using namespace Banco;

namespace {

int memoDaPreparare = 500;
constexpr int kGrande = 1 << 20;

QString argomento(const QStringList& arg, const QString& nome, const QString& predefinito)
{
    const int i = arg.indexOf(nome);
    return i >= 0 ? arg.value(i + 1, predefinito) : predefinito;
}

// Words and line breaks as a person's text has them, cut to any length.
QByteArray testoDiFondo()
{
    static const char* const parole[] = {"appunto", "riunione", "la", "di", "progetto", "domani", "alle", "ore",
                                         "lista", "spesa", "e", "con", "indirizzo", "numero", "codice", "nota"};
    QRandomGenerator g(7);
    QByteArray t;
    t.reserve(kGrande + 64);
    while (t.size() < kGrande) {
        t += parole[g.bounded(16)];
        t += g.bounded(12) == 0 ? '\n' : ' ';
    }
    return t;
}

QByteArray testoCopia(int n, int lunghezza)
{
    static const QByteArray fondo = testoDiFondo();
    const QByteArray inizio = QByteArrayLiteral("copia ") + QByteArray::number(n).rightJustified(5, '0') + ' ';
    return inizio + fondo.left(std::max(0, lunghezza - int(inizio.size())));
}

QString etichetta(int n) { return QStringLiteral("copia %1").arg(n, 5, 10, QLatin1Char('0')); }

// Another application copies: xclip reads the text, keeps the clipboard
// in a forked child until someone else takes it, and returns.
bool copia(const QByteArray& testo)
{
    QProcess p;
    p.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")});
    if (!p.waitForStarted(5000))
        return false;
    p.write(testo);
    p.closeWriteChannel();
    return p.waitForFinished(10000) && p.exitCode() == 0;
}

class Copie {
public:
    explicit Copie(Applicazione& app) : app_(app) {}

    // GUI-thread CPU per second at rest, taken off every window measured.
    void misuraRiposo()
    {
        const double c0 = cpuFiloPrincipale(app_.pid());
        QThread::sleep(3);
        riposo_ = (cpuFiloPrincipale(app_.pid()) - c0) / 3;
    }

    // Waits until the history's newest entry is copy `n`; false past `ms`.
    bool aspettaAppunto(int n, int ms)
    {
        const QString cercata = etichetta(n);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            const QString r = app_.righe().aspettaInizio(QStringLiteral("appunti "), int(ms - t.elapsed()));
            if (r.section(QLatin1Char(' '), 2).startsWith(cercata))
                return true;
        }
        return false;
    }

    // Seconds of GUI CPU the copy cost, from the copy until the thread is
    // quiet again; none when the copy never reached the history.
    std::optional<double> costoCopia(int n, int lunghezza)
    {
        const double c0 = cpuFiloPrincipale(app_.pid());
        QElapsedTimer t;
        t.start();
        if (!copia(testoCopia(n, lunghezza)) || !aspettaAppunto(n, 20000))
            return std::nullopt;
        // Quiet: under half a millisecond of GUI CPU in 200 ms.
        double prima = cpuFiloPrincipale(app_.pid());
        for (int i = 0; i < 100; ++i) {
            QThread::msleep(200);
            const double ora = cpuFiloPrincipale(app_.pid());
            if (ora - prima < 0.0005)
                break;
            prima = ora;
        }
        return std::max(0.0, cpuFiloPrincipale(app_.pid()) - c0 - riposo_ * t.elapsed() / 1000.0);
    }

    // The median GUI CPU in milliseconds over `volte` copies of `lunghezza` bytes.
    double costoMediano(int volte, int lunghezza, int* perse = nullptr)
    {
        QList<double> costi;
        for (int i = 0; i < volte; ++i) {
            const auto c = costoCopia(prossima_++, lunghezza);
            if (c)
                costi << *c * 1000;
            else if (perse)
                ++*perse;
        }
        return mediana(costi);
    }

    int prossima() { return prossima_++; }

private:
    Applicazione& app_;
    double riposo_ = 0;
    int prossima_ = 1;
};

// Where each tab's button is on screen, from the line the application writes on opening.
QMap<QString, QPoint> posizioniSchede(const QString& riga)
{
    QMap<QString, QPoint> m;
    for (const QString& parte : riga.split(QLatin1Char(' ')).mid(1)) {
        const QString nome = parte.section(QLatin1Char('='), 0, 0);
        const QStringList xy = parte.section(QLatin1Char('='), 1).split(QLatin1Char(','));
        if (xy.size() == 2)
            m.insert(nome, QPoint(xy[0].toInt(), xy[1].toInt()));
    }
    return m;
}

// Opens the notch, chooses a tab and lets the notch close again, so that
// tab's module stays built behind the closed notch.
bool lasciaSullaScheda(Applicazione& app, Puntatore& puntatore, const QString& scheda, int mezzo)
{
    app.righe().scarta();
    puntatore.muovi(mezzo, 10);
    const QMap<QString, QPoint> schede = posizioniSchede(app.righe().aspettaInizio(QStringLiteral("schede "), 5000));
    if (!schede.contains(scheda))
        return false;
    QThread::msleep(1200);
    puntatore.muovi(schede[scheda].x(), schede[scheda].y());
    puntatore.clic();
    const bool disegnata = app.righe().aspetta(QStringLiteral("disegnata scheda ") + scheda, 5000) >= 0;
    QThread::msleep(800);
    puntatore.muovi(100, 900);
    app.righe().aspetta(QStringLiteral("stato chiusa"), 3000);
    QThread::sleep(2);
    app.righe().scarta();
    return disegnata;
}

double risvegliAlSecondo(qint64 pid, int secondi)
{
    const Campione a = campiona(pid);
    QThread::sleep(secondi);
    return (campiona(pid).risvegli - a.risvegli) / secondi;
}

void preparaMemo(const QString& casa)
{
    const QString cartella = casa + QStringLiteral("/data/Halvora/Halvora/Documents/VoiceMemos");
    QDir().mkpath(cartella);
    const QDateTime inizio = QDateTime::currentDateTime().addDays(-30);
    for (int i = 0; i < memoDaPreparare; ++i) {
        const QString base = cartella + QStringLiteral("/Memo %1").arg(i + 1, 3, 10, QLatin1Char('0'));
        QFile f(base + QStringLiteral(".m4a"));
        if (!f.open(QIODevice::WriteOnly))
            continue;
        f.write(QByteArray(256, '\0'));
        f.setFileTime(inizio.addSecs(i * 60), QFileDevice::FileModificationTime);
        f.close();
        // Every third memo has a transcript of a line or two.
        if (i % 3 == 0) {
            QFile t(base + QStringLiteral(".txt"));
            if (t.open(QIODevice::WriteOnly))
                t.write("Promemoria per la riunione di domani: portare il preventivo e le note del progetto.");
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QCoreApplication qapp(argc, argv);
    const QStringList arg = qapp.arguments();
    const int copieDiluvio = argomento(arg, QStringLiteral("--copie"), QStringLiteral("5000")).toInt();
    const double intervallo = argomento(arg, QStringLiteral("--intervallo"), QStringLiteral("0.4")).toDouble();
    const QString eseguibile = argomento(arg, QStringLiteral("--app"), QStringLiteral(HALVORA_ESEGUIBILE));
    memoDaPreparare = argomento(arg, QStringLiteral("--memo"), QStringLiteral("500")).toInt();
    Puntatore puntatore;
    if (!puntatore.valido()) {
        std::fputs("bench_costi_dati: needs an X display (scripts/con-xvfb.sh)\n", stderr);
        return 2;
    }
    const int mezzo = puntatore.larghezza() / 2;
    puntatore.muovi(100, 900); // far from the notch

    Applicazione app(eseguibile, preparaMemo);
    if (!app.avviata()) {
        std::fputs("bench_costi_dati: the application did not start\n", stderr);
        return 1;
    }
    const qint64 pid = app.pid();
    Copie banco(app);
    banco.misuraRiposo();
    std::printf("Resident memory at start: %.1f MB (%d memos)\n", residenteMB(pid), memoDaPreparare);

    // A copy's GUI cost, small texts after small ones, then with large texts held.
    const bool soloMemo = arg.contains(QStringLiteral("--solo-memo"));
    const bool soloDiluvio = arg.contains(QStringLiteral("--solo-diluvio"));
    if (!soloMemo && !soloDiluvio) {
    // The clipboard tab was the last one used: its module is built behind the closed notch.
    if (!lasciaSullaScheda(app, puntatore, QStringLiteral("clipboard"), mezzo))
        std::puts("  (the clipboard tab could not be chosen)");
    std::puts("GUI CPU per copy (median of 10, from the copy until the GUI thread is quiet):");
    int perse = 0;
    const double vuota = banco.costoMediano(10, 20, &perse);
    riga("20-byte copy, small texts held", vuota, "ms", QStringLiteral("<= 5"), vuota >= 0 && vuota <= 5);
    const double grande = banco.costoMediano(5, kGrande, &perse);
    riga("1 MB copy", grande, "ms", QStringLiteral("<= 5"), grande >= 0 && grande <= 5);
    const double alcune = banco.costoMediano(10, 20, &perse);
    riga("20-byte copy, 5 x 1 MB held", alcune, "ms", QStringLiteral("<= 5"), alcune >= 0 && alcune <= 5);
    banco.costoMediano(50, kGrande, &perse);
    const double cinquanta = banco.costoMediano(10, 20, &perse);
    riga("20-byte copy, 50 x 1 MB held", cinquanta, "ms", QStringLiteral("<= 5"), cinquanta >= 0 && cinquanta <= 5);
    std::printf("  copies that never reached the history: %d of 85; resident memory %.1f MB\n", perse,
                residenteMB(pid));

    // The clipboard's last owner goes away: nothing is on offer until the next copy.
    const double conProprietario = risvegliAlSecondo(pid, 10);
    {
        QProcess proprietario;
        proprietario.start(QStringLiteral("xclip"),
                           {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-quiet")});
        const int n = banco.prossima();
        proprietario.waitForStarted(5000);
        proprietario.write(testoCopia(n, 40));
        proprietario.closeWriteChannel();
        banco.aspettaAppunto(n, 20000);
        proprietario.kill();
        proprietario.waitForFinished(5000);
    }
    QThread::sleep(2);
    const double senzaProprietario = risvegliAlSecondo(pid, 10);
    riga("GUI wake-ups, empty clipboard", senzaProprietario, "/s", QStringLiteral("no more"),
         senzaProprietario <= conProprietario + 0.5,
         QStringLiteral("(%1/s with an owner)").arg(conProprietario, 0, 'f', 2));
    }

    // The memo tab, opened from another tab, ten times.
    if (!soloDiluvio) {
    puntatore.muovi(mezzo, 10);
    const QMap<QString, QPoint> schede = posizioniSchede(app.righe().aspettaInizio(QStringLiteral("schede "), 5000));
    QList<double> primoDisegno, cpuMemo;
    if (schede.contains(QStringLiteral("memo")) && schede.contains(QStringLiteral("clipboard"))) {
        QThread::msleep(1500);
        for (int i = 0; i < 10; ++i) {
            puntatore.muovi(schede[QStringLiteral("clipboard")].x(), schede[QStringLiteral("clipboard")].y());
            puntatore.clic();
            app.righe().aspetta(QStringLiteral("disegnata scheda clipboard"), 5000);
            QThread::msleep(1200);
            app.righe().scarta();
            puntatore.muovi(schede[QStringLiteral("memo")].x(), schede[QStringLiteral("memo")].y());
            const double c0 = cpuFiloPrincipale(pid);
            QElapsedTimer t;
            t.start();
            puntatore.clic();
            if (app.righe().aspetta(QStringLiteral("disegnata scheda memo"), 10000) < 0)
                break;
            primoDisegno << t.nsecsElapsed() / 1e6;
            QThread::msleep(std::max<qint64>(0, 2000 - t.elapsed()));
            cpuMemo << (cpuFiloPrincipale(pid) - c0) * 1000;
        }
    }
    const double disegno = mediana(primoDisegno);
    riga(qPrintable(QStringLiteral("Memo tab (%1 memos) first paint").arg(memoDaPreparare)), disegno, "ms", QStringLiteral("<= 50"), disegno >= 0 && disegno <= 50,
         QStringLiteral("(p95 %1 ms, GUI CPU %2 ms in 2 s; %3 openings)")
             .arg(percentile(primoDisegno, 0.95), 0, 'f', 1)
             .arg(mediana(cpuMemo), 0, 'f', 1)
             .arg(primoDisegno.size()));
    std::printf("  resident memory with the memo tab shown: %.1f MB\n", residenteMB(pid));
    puntatore.muovi(100, 900);
    app.righe().aspetta(QStringLiteral("stato chiusa"), 3000);
    QThread::sleep(2);
    }

    // The flood, with the clipboard tab last used: one copy every `intervallo` seconds, sizes log-uniform from 12 bytes to 1 MB.
    std::printf("Flood: %d copies, one every %.2f s (about %.0f s)\n", copieDiluvio, intervallo,
                copieDiluvio * intervallo);
    std::fflush(stdout);
    lasciaSullaScheda(app, puntatore, QStringLiteral("clipboard"), mezzo);
    QRandomGenerator g(35);
    QSet<QString> arrivate;
    auto raccogli = [&] {
        for (const QString& r : app.righe().disponibili())
            if (r.startsWith(QStringLiteral("appunti ")))
                arrivate.insert(r.section(QLatin1Char(' '), 2, 3));
    };
    QList<QString> fatte;
    const double c0 = cpuFiloPrincipale(pid);
    QElapsedTimer orologio;
    orologio.start();
    for (int i = 0; i < copieDiluvio; ++i) {
        const qint64 quando = qint64(i * intervallo * 1000);
        while (orologio.elapsed() < quando) {
            raccogli();
            QThread::msleep(std::min<qint64>(20, quando - orologio.elapsed()));
        }
        const int n = banco.prossima();
        const int lunghezza = int(std::lround(std::exp(std::log(12.0) + g.generateDouble() * (std::log(double(kGrande)) - std::log(12.0)))));
        copia(testoCopia(n, lunghezza));
        fatte << etichetta(n);
        if ((i + 1) % 500 == 0) {
            std::printf("  %d copies made, %lld reached the history\n", i + 1, qlonglong(arrivate.size()));
            std::fflush(stdout);
        }
    }
    QThread::sleep(3);
    raccogli();
    const double cpuDiluvio = cpuFiloPrincipale(pid) - c0;
    int tenute = 0;
    for (const QString& f : fatte)
        tenute += arrivate.contains(f);
    riga("Flood copies in the history", tenute, "", QStringLiteral("= ") + QString::number(copieDiluvio),
         tenute == copieDiluvio, QStringLiteral("(GUI CPU %1 ms a copy on average)").arg(cpuDiluvio * 1000 / std::max(1, copieDiluvio), 0, 'f', 2));
    const double rss = residenteMB(pid);
    riga("Resident memory after the flood", rss, "MB", QStringLiteral("<= 80"), rss <= 80);
    // Opening the notch on the full history, then a key in its search field.
    app.righe().scarta();
    QElapsedTimer apertura;
    apertura.start();
    puntatore.muovi(mezzo, 10);
    const double aperta = app.righe().aspetta(QStringLiteral("disegnata aperta"), 30000) >= 0 ? apertura.nsecsElapsed() / 1e6 : -1;
    riga("Opening on the history, first frame", aperta, "ms", QStringLiteral("-"), aperta >= 0);
    puntatore.muovi(100, 900);
    std::puts("Biggest mappings (resident):");
    const auto mappe = mappature(pid);
    for (int i = 0; i < qMin(6, int(mappe.size())); ++i)
        std::printf("  %8.1f MB  %s\n", mappe[i].first / 1024, qPrintable(mappe[i].second));
    return 0;
}
