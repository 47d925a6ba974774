#pragma once

// What the benchmarks that drive the real application share: reading a
// process's CPU, wake-ups and memory from /proc, moving and clicking the
// pointer through XTest, waiting for the application's diagnostic lines,
// and starting it in a new user's home, with a window of the benchmark's
// own beside it.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <utility>

struct xcb_connection_t;

namespace Banco {

QByteArray leggi(const QString& percorso);
// The number after `chiave` in a /proc status file; -1 when absent.
double campo(const QByteArray& testo, const QByteArray& chiave);

struct Campione {
    double risvegli = 0;         // voluntary context switches of the GUI thread
    double cpu = 0;              // seconds on a CPU, every thread, those gone included
    QMap<QString, double> fili;  // seconds on a CPU by thread ("name tid")
};
Campione campiona(qint64 pid);
// Seconds on a CPU of the process's main (GUI) thread, to the nanosecond.
double cpuFiloPrincipale(qint64 pid);
double residenteMB(qint64 pid);
// Open file descriptors and threads of a process.
int descrittori(qint64 pid);
int fili(qint64 pid);
// Resident kilobytes by mapped file (anonymous mappings by their name), largest first.
QList<std::pair<double, QString>> mappature(qint64 pid);

class Puntatore {
public:
    Puntatore();
    ~Puntatore();
    Puntatore(const Puntatore&) = delete;
    Puntatore& operator=(const Puntatore&) = delete;
    bool valido() const;
    int larghezza() const { return larghezza_; }
    // An XTest motion, as a device makes: the server has it when this returns.
    void muovi(int x, int y);
    // A press and release of the left button where the pointer is.
    void clic();
    // The left button pressed, and let go, apart: a drag between them.
    void premi();
    void rilascia();

private:
    void sincronizza();
    xcb_connection_t* c_;
    unsigned radice_ = 0;
    int larghezza_ = 0;
};

// The application's diagnostic lines, waited for one at a time.
class Righe {
public:
    explicit Righe(QProcess& p) : p_(p) {}
    // Milliseconds until the line `attesa` arrives; negative past `ms`.
    double aspetta(const QString& attesa, int ms);
    // The first line starting with `inizio` within `ms`; empty past it.
    QString aspettaInizio(const QString& inizio, int ms);
    // Every whole line that arrived by now.
    QStringList disponibili();
    void scarta();

private:
    QProcess& p_;
};

double percentile(QList<double> v, double p);
double mediana(const QList<double>& v);

// One result line: value, unit, target and whether it was met.
void riga(const char* cosa, double valore, const char* unita, const QString& obiettivo, bool riuscito,
          const QString& accanto = {});

// The word after `nome` on the command line, else `predefinito`.
QString opzione(const char* nome, const QString& predefinito);
// The load average over 1, 5 and 15 minutes.
QString carico();
// A line to a process's standard input.
void comanda(QProcess& p, const QByteArray& riga);
// The fake player on the bus (`--player`, else `predefinito`), playing the
// same four-minute piece in every benchmark.
void avviaPlayer(QProcess& player, const QString& predefinito);

// Whether this runs where the benchmarks that drive the application can:
// an X display and a session bus; says so on standard error when not.
bool ambientePronto(const char* programma, const Puntatore& puntatore);
// A user who has seen the start-up notices: no card comes and goes by itself.
void avvisiGiaVisti(const QString& casa);

// The application started in a new user's home (guide already seen), with
// its diagnostic lines on its standard output.
class Applicazione {
public:
    // `prepara` may fill the home (its path given) before the start.
    explicit Applicazione(const QString& eseguibile, const std::function<void(const QString&)>& prepara = {});
    ~Applicazione();
    // Waits for "pronta" and lets start-up work settle for `assestamento` seconds.
    bool avviata(int assestamento = 5);
    qint64 pid() const { return processo_.processId(); }
    QProcess& processo() { return processo_; }
    Righe& righe() { return righe_; }
    QString casa() const { return casa_.path(); }

private:
    QTemporaryDir casa_;
    QProcess processo_;
    Righe righe_;
};

// The main() of a benchmark with a floor window: started again as that
// window (by Affiancati), it runs `finestra`; else `misura`, on X with a
// session bus and the pointer far from the notch (2 without them).
int principale(int argc, char** argv, const char* programma, int (*finestra)(int, char**),
               int (*misura)(Puntatore&));

// The application, and beside it the benchmark's floor window: this same
// program started again as principale() tells, which says "pronta" once
// shown and reads its commands on its standard input.
class Affiancati {
public:
    // `prepara` as for Applicazione.
    Affiancati(const QString& eseguibile, const std::function<void(const QString&)>& prepara);
    ~Affiancati();
    // Both ready and the application settled; else says which one is not,
    // on standard error under the name `programma`.
    bool avviati(const char* programma);
    Applicazione& halvora() { return halvora_; }
    QProcess& vuota() { return vuota_; }
    Righe& righeVuota() { return righeVuota_; }

private:
    Applicazione halvora_;
    QProcess vuota_;
    Righe righeVuota_;
};

} // namespace Banco
