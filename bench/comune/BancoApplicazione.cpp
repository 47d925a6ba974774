#include "BancoApplicazione.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace Banco {

QByteArray leggi(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double campo(const QByteArray& testo, const QByteArray& chiave)
{
    for (const QByteArray& r : testo.split('\n'))
        if (r.startsWith(chiave))
            return r.mid(chiave.size()).trimmed().split(' ').first().toDouble();
    return -1;
}

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

double cpuFiloPrincipale(qint64 pid)
{
    return leggi(QStringLiteral("/proc/%1/task/%1/schedstat").arg(pid)).split(' ').first().toDouble() / 1e9;
}

double residenteMB(qint64 pid)
{
    return campo(leggi(QStringLiteral("/proc/%1/status").arg(pid)), "VmRSS:") / 1024;
}

int descrittori(qint64 pid)
{
    return int(QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size());
}

int fili(qint64 pid)
{
    return int(QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

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

Puntatore::Puntatore() : c_(xcb_connect(nullptr, nullptr))
{
    if (xcb_connection_has_error(c_))
        return;
    const xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    radice_ = s->root;
    larghezza_ = s->width_in_pixels;
}

Puntatore::~Puntatore() { xcb_disconnect(c_); }

bool Puntatore::valido() const { return !xcb_connection_has_error(c_); }

void Puntatore::sincronizza() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

void Puntatore::muovi(int x, int y)
{
    xcb_test_fake_input(c_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, radice_, int16_t(x), int16_t(y), 0);
    sincronizza();
}

void Puntatore::clic()
{
    xcb_test_fake_input(c_, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(c_, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    sincronizza();
}

void Puntatore::premi()
{
    xcb_test_fake_input(c_, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    sincronizza();
}

void Puntatore::rilascia()
{
    xcb_test_fake_input(c_, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    sincronizza();
}

namespace {
// The first argument that starts a benchmark again as its floor window.
constexpr char kFinestraVuota[] = "--finestra-vuota";

// BANCO_RIGHE=1 echoes every line read to standard error.
QString letta(QProcess& p)
{
    const QString r = QString::fromUtf8(p.readLine()).trimmed();
    static const bool eco = qEnvironmentVariableIsSet("BANCO_RIGHE");
    if (eco)
        std::fprintf(stderr, "  < %s\n", qPrintable(r.left(100)));
    return r;
}
} // namespace

double Righe::aspetta(const QString& attesa, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        while (p_.canReadLine())
            if (letta(p_) == attesa)
                return t.nsecsElapsed() / 1e6;
        p_.waitForReadyRead(5);
    }
    return -1;
}

QString Righe::aspettaInizio(const QString& inizio, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        while (p_.canReadLine()) {
            const QString r = letta(p_);
            if (r.startsWith(inizio))
                return r;
        }
        p_.waitForReadyRead(5);
    }
    return {};
}

QStringList Righe::disponibili()
{
    p_.waitForReadyRead(0);
    QStringList l;
    while (p_.canReadLine())
        l << letta(p_);
    return l;
}

void Righe::scarta()
{
    p_.waitForReadyRead(0);
    p_.readAll();
}

double percentile(QList<double> v, double p)
{
    if (v.isEmpty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[qMin(v.size() - 1, int(p * (v.size() - 1) + 0.5))];
}

double mediana(const QList<double>& v) { return percentile(v, 0.5); }

void riga(const char* cosa, double valore, const char* unita, const QString& obiettivo, bool riuscito,
          const QString& accanto)
{
    std::printf("%-34s %10.3f %-4s  target %-10s %-6s %s\n", cosa, valore, unita, qPrintable(obiettivo),
                riuscito ? "ok" : "MISSED", qPrintable(accanto));
    std::fflush(stdout);
}

QString opzione(const char* nome, const QString& predefinito)
{
    const QStringList a = QCoreApplication::arguments();
    const int i = a.indexOf(QLatin1String(nome));
    return i >= 0 ? a.value(i + 1, predefinito) : predefinito;
}

QString carico()
{
    return QString::fromUtf8(leggi(QStringLiteral("/proc/loadavg"))).section(QLatin1Char(' '), 0, 2);
}

void comanda(QProcess& p, const QByteArray& riga)
{
    p.write(riga + '\n');
    p.waitForBytesWritten(1000);
}

void avviaPlayer(QProcess& player, const QString& predefinito)
{
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.start(opzione("--player", predefinito),
                 {QStringLiteral("--titolo"), QStringLiteral("Notturno in si bemolle"), QStringLiteral("--artista"),
                  QStringLiteral("Quartetto"), QStringLiteral("--durata-us"), QStringLiteral("240000000")});
}

bool ambientePronto(const char* programma, const Puntatore& puntatore)
{
    if (puntatore.valido() && !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    std::fprintf(stderr, "%s: needs an X display and a session bus (dbus-run-session -- scripts/con-xvfb.sh)\n",
                 programma);
    return false;
}

void avvisiGiaVisti(const QString& casa)
{
    QFile ini(casa + QStringLiteral("/config/Halvora/Halvora.ini"));
    if (ini.open(QIODevice::Append))
        ini.write("avvisoPosizioneMostrato=true\nbenvenutoOrbelleMostrato=true\n");
}

Applicazione::Applicazione(const QString& eseguibile, const std::function<void(const QString&)>& prepara)
    : righe_(processo_)
{
    QDir().mkpath(casa_.filePath(QStringLiteral("config/Halvora")));
    QFile ini(casa_.filePath(QStringLiteral("config/Halvora/Halvora.ini")));
    if (!ini.open(QIODevice::WriteOnly) || ini.write("[General]\nguidaVista=true\n") <= 0)
        return;
    ini.close();
    if (prepara)
        prepara(casa_.path());
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HALVORA_DIAGNOSTICA"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), casa_.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), casa_.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), casa_.path());
    processo_.setProcessEnvironment(env);
    processo_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    processo_.start(eseguibile, {});
}

Applicazione::~Applicazione()
{
    processo_.terminate();
    if (!processo_.waitForFinished(5000))
        processo_.kill();
    processo_.waitForFinished(2000);
}

bool Applicazione::avviata(int assestamento)
{
    if (righe_.aspetta(QStringLiteral("pronta"), 20000) < 0)
        return false;
    QThread::sleep(assestamento);
    righe_.scarta();
    return true;
}

int principale(int argc, char** argv, const char* programma, int (*finestra)(int, char**),
               int (*misura)(Puntatore&))
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (argc > 1 && qstrcmp(argv[1], kFinestraVuota) == 0)
        return finestra(argc, argv);
    QCoreApplication app(argc, argv);
    Puntatore puntatore;
    if (!ambientePronto(programma, puntatore))
        return 2;
    puntatore.muovi(100, 900);
    return misura(puntatore);
}

Affiancati::Affiancati(const QString& eseguibile, const std::function<void(const QString&)>& prepara)
    : halvora_(eseguibile, prepara), righeVuota_(vuota_)
{
    vuota_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    vuota_.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kFinestraVuota)});
}

Affiancati::~Affiancati()
{
    vuota_.kill();
    vuota_.waitForFinished();
}

bool Affiancati::avviati(const char* programma)
{
    if (!halvora_.avviata()) {
        std::fprintf(stderr, "%s: the application did not start\n", programma);
        return false;
    }
    if (righeVuota_.aspetta(QStringLiteral("pronta"), 20000) < 0) {
        std::fprintf(stderr, "%s: the floor window did not start\n", programma);
        return false;
    }
    return true;
}

} // namespace Banco
