#include "Avvio.h"

#include "AperturaDisplay.h"
#include "AppDelegate.h"
#include "BarraSchede.h"
#include "AvvioAlLoginXdg.h"
#include "CompositoreFrontApplication.h"
#include "CustodeTasto.h"
#include "DesktopEntries.h"
#include "FabbricaManager.h"
#include "IstanzaSingola.h"
#include "LinguaManager.h"
#include "QtScreens.h"
#include "RegistrazioneCopia.h"
#include "Rilancio.h"
#include "ScorciatoiaTacca.h"
#include "SessioneDesktop.h"
#include "StatoDesktop.h"
#include "TastoGlobale.h"
#include "Traduzioni.h"
#include "UserDefaults.h"
#include "X11Desktop.h"
#include "X11FrontApplication.h"
#include "X11Puntatore.h"
#include "X11Scala.h"

#include <QApplication>
#include <malloc.h>
#include <QLocale>
#include <QSslCertificate>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThreadPool>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int segnaliFd[2] = {-1, -1};
volatile sig_atomic_t uscitaChiesta = 0;
timer_t sveglia {};
// How long the way out may take before the process ends all the same: a
// session ending or a user's kill waits for no more.
constexpr long kMsPerUscire = 1800;
// How long of it the way out waits for the desktop to take the hot key back
// (a few milliseconds as a rule).
constexpr int kMsPerCongedoTasto = 700;

// Whether the desktop holds the hot key (sway, KDE, GNOME) rather than the X server.
bool tastoDelDesktop()
{
    const auto tipo = SessioneDesktop::tipo();
    return tipo != SessioneDesktop::Tipo::x11 && tipo != SessioneDesktop::Tipo::wayland;
}

// SIGTERM and SIGINT end the event loop normally, so the hot-key grab and
// the single-instance socket are given back on the way out. The loop hears
// them only between two pieces of work: should one never end, SIGALRM's
// own action ends the process once the time to leave is over.
void installaUscitaSuSegnale(QApplication& app)
{
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, segnaliFd) != 0)
        return;
    sigevent evento {};
    evento.sigev_notify = SIGEV_SIGNAL;
    evento.sigev_signo = SIGALRM;
    if (timer_create(CLOCK_MONOTONIC, &evento, &sveglia) != 0)
        return;
    auto* n = new QSocketNotifier(segnaliFd[1], QSocketNotifier::Read, &app);
    QObject::connect(n, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
    struct sigaction sa {};
    sa.sa_handler = [](int) {
        if (!uscitaChiesta) {
            uscitaChiesta = 1;
            // timer_settime may be called here, unlike setitimer.
            itimerspec quando {};
            quando.it_value.tv_sec = kMsPerUscire / 1000;
            quando.it_value.tv_nsec = (kMsPerUscire % 1000) * 1000000;
            timer_settime(sveglia, 0, &quando, nullptr);
        }
        const char c = 1;
        [[maybe_unused]] auto r = ::write(segnaliFd[0], &c, 1);
    };
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    signal(SIGALRM, SIG_DFL);
}

// Qt draws at the scale the desktop's Xft.dpi asks for by itself; a scale
// the desktop tells otherwise is added, and where the tallest open panel
// would then not fit below the top panel, the scale is lowered until it
// does. Read once, as the application starts; the helpers started later
// choose for themselves. Whether it set one.
bool impostaScala()
{
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        return false;
    const auto desktop = X11Scala::leggi();
    if (!desktop)
        return false;
    double altezza = NotchStateManager::kDimensioneGuida.height();
    for (NotchTab t : BarraSchede::ordine())
        altezza = std::max(altezza, NotchStateManager::dimensioneScheda(t).height());
    const double f = X11Scala::fattore(*desktop, altezza);
    if (std::abs(f - desktop->scalaDiQt) < 0.01)
        return false;
    qputenv("QT_SCALE_FACTOR", QByteArray::number(f / desktop->scalaDiQt, 'f', 3));
    return true;
}

// How the update checker reads its feed, whom it trusts and where it installs.
FabbricaManager::Aggiornamenti aggiornamenti(const Avvio::Configurazione& c, const NotchGeometry::Posizione& posizione)
{
    FabbricaManager::Aggiornamenti a;
    if (!c.feed.isEmpty())
        a.feed.endpoint = c.feed;
    if (!c.autorita.isEmpty()) {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.setCaCertificates(QSslCertificate::fromPath(c.autorita));
        a.feed.ssl = ssl;
        a.manager.installazione.ssl = ssl;
    }
    a.manager.installazione.chiave = c.chiave;
    a.manager.installazione.destinazione = posizione.destinazione();
    return a;
}

} // namespace

int Avvio::esegui(int argc, char* argv[], const Configurazione& c)
{
    // The desktop's hot key, run as a command: the press goes to the running
    // copy, and with none running nothing starts. The watcher of a copy that
    // died hands nothing over, it only looks for a running copy.
    const QString primo = argc == 2 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (primo == ScorciatoiaTacca::kArgomentoPressione || primo == CustodeTasto::kArgomento) {
        QCoreApplication app(argc, argv);
        QStringList testi;
        if (primo == ScorciatoiaTacca::kArgomentoPressione)
            testi << primo;
        if (IstanzaSingola().consegnaAllaPrimaIstanza(testi))
            return 0;
        // The binding outlived a copy that died without giving it back: it
        // goes, so that the next press reaches the programs again.
        if (tastoDelDesktop())
            SessioneDesktop::creaTastoGlobale({QCoreApplication::applicationFilePath(),
                                               ScorciatoiaTacca::kArgomentoPressione})
                ->liberaEAttendi(kMsPerCongedoTasto);
        return 0;
    }
    // The panel relies on X11 window types and input shapes; under Wayland it runs through XWayland.
#ifdef __GLIBC__
    // Pictures (frames, shapes, layers) come and go in many sizes, some made
    // on other threads: kept out of the heaps, a freed one goes back to the
    // system at once instead of staying behind as the heaps' spare room.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    qputenv("QT_QPA_PLATFORM", "xcb");
    // Said in one line with its cause, not as the toolkit's abort.
    if (const auto ostacolo = AperturaDisplay::ostacolo(qgetenv("DISPLAY"))) {
        std::fprintf(stderr, "halvora: %s\n", qPrintable(*ostacolo));
        return 1;
    }
    // The panel's frames are small and come often: sent over the connection
    // they cost less than through shared memory, where each frame into the
    // same place first waits for the server to let go of it. Read once, as
    // the connection opens; the helpers started later choose for themselves.
    const bool memoriaScelta = qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM");
    if (!memoriaScelta)
        qputenv("QT_XCB_NO_MITSHM", "1");
    const bool scalaImposta = impostaScala();
    QApplication app(argc, argv);
    if (!memoriaScelta)
        qunsetenv("QT_XCB_NO_MITSHM");
    if (scalaImposta)
        qunsetenv("QT_SCALE_FACTOR");
    QApplication::setApplicationName(QStringLiteral("Halvora"));
    QApplication::setOrganizationName(QStringLiteral("Halvora"));
    QApplication::setApplicationVersion(c.versione.isEmpty() ? QStringLiteral(HALVORA_VERSIONE) : c.versione);
    QApplication::setQuitOnLastWindowClosed(false);

    const QStringList argomenti = app.arguments().mid(1);
    IstanzaSingola istanza;
    if (istanza.consegnaAllaPrimaIstanza(argomenti))
        return 0;
    istanza.diventaPrima();
    installaUscitaSuSegnale(app);

    const QString lingua = Traduzioni::installa(LinguaManager::linguaAllAvvio(UserDefaults::shared())).codice();
    // Dates and numbers speak the interface's language; a desktop already in
    // that language keeps its own regional formats.
    if (QLocale::system().language() != QLocale(lingua).language())
        QLocale::setDefault(QLocale(lingua));

    X11Desktop& desktop = X11Desktop::shared();
    // Every applications folder is read on a worker; until it answers, no
    // window is matched to an installed application.
    DesktopEntries voci;
    QThreadPool::globalInstance()->start([&app, &voci] {
        QMetaObject::invokeMethod(
            &app, [&voci, lette = DesktopEntries::daSistema()]() mutable { voci = std::move(lette); },
            Qt::QueuedConnection);
    });
    X11FrontApplication frontaleX11(desktop, voci);
    // In a Wayland session the compositor tells of full screen, workspaces,
    // the focused application and its panels where it can; the X server
    // sees only XWayland's windows.
    const std::unique_ptr<StatoDesktop> compositore = SessioneDesktop::creaStatoDesktop();
    StatoDesktop& statoDesktop = compositore ? *compositore : static_cast<StatoDesktop&>(desktop);
    std::optional<CompositoreFrontApplication> frontaleCompositore;
    if (compositore)
        frontaleCompositore.emplace(*compositore, frontaleX11, voci);
    FrontApplication& frontale = frontaleCompositore ? static_cast<FrontApplication&>(*frontaleCompositore)
                                                     : static_cast<FrontApplication&>(frontaleX11);
    const std::unique_ptr<StatoDesktop> pannelli = SessioneDesktop::creaAreeDiLavoro();
    QList<StatoDesktop*> aree{&desktop};
    for (StatoDesktop* d : {pannelli.get(), compositore.get()})
        if (d)
            aree.prepend(d);
    QtScreens schermi(aree);
    X11Puntatore puntatore;
    SchemaURL::Contesto contesto{[&frontale] { return frontale.currentId(); }, &iconaApp};

    // Every switch to another copy, the language relaunch included, lets go
    // of the single-instance socket and the hot key so the new copy can take
    // them, and takes them back when the new copy does not start.
    ScorciatoiaTacca& scorciatoia = ScorciatoiaTacca::condivisa();
    // What the hot key registered with the desktop goes with the application,
    // however it ends: through the event loop (a signal, the settings' quit)
    // or from inside the toolkit, which calls exit() when the display goes.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app,
                     [&scorciatoia] { scorciatoia.congeda(kMsPerCongedoTasto); });
    std::atexit([] { ScorciatoiaTacca::condivisa().congeda(kMsPerCongedoTasto); });
    // A key the desktop holds (not an X11 grab, which goes with the
    // connection) is given back even when this process is killed.
    if (tastoDelDesktop())
        QObject::connect(&scorciatoia, &ScorciatoiaTacca::presa, &app,
                         [] { CustodeTasto::avvia(QCoreApplication::applicationFilePath()); });
    Rilancio rilancio({Clock::system(), IstanzaSingola::nomePredefinito(),
                       [&] {
                           istanza.rilascia();
                           scorciatoia.rilascia();
                       },
                       [&] {
                           istanza.riprendi();
                           scorciatoia.riprendi();
                       },
                       [] { QCoreApplication::quit(); }});
    LinguaManager::Riavvio riavvio;
    riavvio.avviaIstanza = [&rilancio](std::function<void(bool)> avviata) {
        rilancio.relaunchFrom(NotchGeometry::Posizione::corrente().bundle, std::move(avviata));
    };
    const auto posizione = NotchGeometry::Posizione::corrente(c.applicazioni);
    auto inAggiornamento = aggiornamenti(c, posizione);
    inAggiornamento.manager.rilancia = [&rilancio](const QString& bundle, std::function<void(bool)> avviata) {
        rilancio.relaunchFrom(bundle, std::move(avviata));
    };
    AppDelegate delegate({Clock::system(), schermi, puntatore, UserDefaults::shared(), scorciatoia, contesto,
                          posizione, &statoDesktop, riavvio,
                          FabbricaManager::reale(Clock::system(), UserDefaults::shared(), frontale, voci,
                                                 std::move(inAggiornamento)),
                          [&rilancio](const QString& bundle, std::function<void(bool)> avviata) {
                              rilancio.relaunchFrom(bundle, std::move(avviata));
                          }});
    delegate.applicationDidFinishLaunching();
    // The menu, URLs and login start the installed copy when there is one,
    // else this one.
    if (!NotchGeometry::isRunningFromTemporaryLocation(posizione))
        QThreadPool::globalInstance()->start([eseguibile = RegistrazioneCopia::copiaDaAvviare(posizione)] {
            AvvioAlLoginXdg avvio = AvvioAlLoginXdg::perUtente(eseguibile);
            RegistrazioneCopia::aggiorna(
                eseguibile,
                QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/applications"),
                avvio);
        });
    QObject::connect(&statoDesktop, &StatoDesktop::desktopCambiato, &delegate, &AppDelegate::activeSpaceDidChange);
    QObject::connect(&frontale, &FrontApplication::changed, &delegate, [&] {
        const auto app = frontale.current();
        delegate.anotherAppDidActivate(app ? std::optional<qint64>(app->pid) : std::nullopt);
    });
    QObject::connect(&istanza, &IstanzaSingola::testiRicevuti, &delegate, [&](QStringList testi) {
        if (testi.removeAll(ScorciatoiaTacca::kArgomentoPressione) > 0)
            scorciatoia.premuta();
        delegate.apriURL(SchemaURL::urlDaTesti(testi));
    });
    delegate.apriURL(SchemaURL::urlDaTesti(argomenti));
    const int esito = app.exec();
    // The reading of the applications must not outlive what it fills.
    QThreadPool::globalInstance()->waitForDone();
    return esito;
}
