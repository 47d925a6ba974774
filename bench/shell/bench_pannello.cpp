// The running panel's cost: CPU and memory of the application left closed
// and idle for 60 s, and the time from the pointer entering the strip to the
// notch being open. Needs an X display (scripts/con-xvfb.sh).
#include "AppDelegate.h"
#include "NotchPanel.h"
#include "QtScreens.h"
#include "ScorciatoiaTacca.h"
#include "SystemClock.h"
#include "UserDefaults.h"
#include "X11Puntatore.h"
#include "X11TastoGlobale.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {

// utime + stime of a process, in seconds.
double tempoCpu(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray riga = f.readAll();
    const QList<QByteArray> campi = riga.mid(riga.lastIndexOf(')') + 2).split(' ');
    return (campi.value(11).toDouble() + campi.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
}

double residenteMB(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& r : f.readAll().split('\n'))
        if (r.startsWith("VmRSS:"))
            return r.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

void BM_ApplicazioneInattiva(benchmark::State& state)
{
    QTemporaryDir casa;
    for (auto _ : state) {
        QProcess app;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), casa.filePath(QStringLiteral("c")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), casa.path());
        app.setProcessEnvironment(env);
        app.start(QStringLiteral(HALVORA_ESEGUIBILE), {});
        app.waitForStarted();
        QThread::sleep(3); // start-up done, notch closed, pointer still
        const double inizio = tempoCpu(app.processId());
        QElapsedTimer t;
        t.start();
        QThread::sleep(60);
        const double cpu = tempoCpu(app.processId()) - inizio;
        state.SetIterationTime(t.elapsed() / 1000.0);
        state.counters["cpu_percento"] = 100.0 * cpu / (t.elapsed() / 1000.0);
        state.counters["residente_MB"] = residenteMB(app.processId());
        app.terminate();
        app.waitForFinished();
    }
}
BENCHMARK(BM_ApplicazioneInattiva)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Moves the real pointer with XTest, as a device would, and waits on the
// event loop for the state to open.
void BM_DaPuntatoreAdAperta(benchmark::State& state)
{
    QTemporaryDir casa;
    UserDefaults impostazioni(casa.filePath(QStringLiteral("b.ini")));
    QtScreens schermi;
    X11Puntatore puntatore;
    X11TastoGlobale tasto;
    ScorciatoiaTacca scorciatoia(tasto, impostazioni);
    AppDelegate d({Clock::system(), schermi, puntatore, impostazioni, scorciatoia, {}, {}});
    d.applicationDidFinishLaunching();
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const xcb_window_t radice = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const QRect frame = d.window()->geometry();
    auto muovi = [&](int x, int y) {
        xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, radice, static_cast<int16_t>(x),
                            static_cast<int16_t>(y), 0);
        xcb_flush(c);
    };
    for (auto _ : state) {
        muovi(frame.center().x(), 700);
        d.stateManager().chiudiSubito();
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        muovi(frame.center().x(), 10);
        while (d.stateManager().currentState() != NotchState::expanded && t.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
    }
    xcb_disconnect(c);
    state.counters["xinput2"] = puntatore.usaXInput2() ? 1 : 0;
}
BENCHMARK(BM_DaPuntatoreAdAperta)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
