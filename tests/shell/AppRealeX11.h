#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>
#include <QWidget>
#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

// What the tests that drive the real application on a virtual display share.
namespace AppRealeX11 {

// Runs `invia(connection, root)` on a connection of its own and returns
// once the server has handled what it sent.
template <class F>
inline void suConnessione(F invia)
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (!xcb_connection_has_error(c)) {
        invia(c, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
    xcb_disconnect(c);
}

// Moves the pointer through XTest, as a device does, so the application
// sees the move among its raw input events.
inline void muoviPuntatore(int x, int y)
{
    suConnessione([&](xcb_connection_t* c, xcb_window_t radice) {
        xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, radice, static_cast<int16_t>(x),
                            static_cast<int16_t>(y), 0);
    });
}

// Puts the pointer there at once, as keyboard pointer tools and xdotool's
// absolute move do (XWarpPointer): no device moves, so no raw event comes.
inline void saltaPuntatore(int x, int y)
{
    suConnessione([&](xcb_connection_t* c, xcb_window_t radice) {
        xcb_warp_pointer(c, XCB_NONE, radice, 0, 0, 0, 0, static_cast<int16_t>(x), static_cast<int16_t>(y));
    });
}

// xdotool, with "mousemove X Y" made by XTest.
inline void xdotool(const QStringList& argomenti)
{
    if (argomenti.size() == 3 && argomenti[0] == QLatin1String("mousemove"))
        return muoviPuntatore(argomenti[1].toInt(), argomenti[2].toInt());
    QProcess::execute(QStringLiteral("xdotool"), argomenti);
}

// The screen's `zona` once it rests: three grabs 150 ms apart alike, since
// a busy machine can stall the application between two; up to `ms`.
inline QImage aRiposo(const QRect& zona, int ms = 8000)
{
    auto grab = [&] {
        return QGuiApplication::primaryScreen()->grabWindow(0, zona.x(), zona.y(), zona.width(), zona.height()).toImage();
    };
    QImage ora = grab();
    int uguali = 0;
    QElapsedTimer t;
    t.start();
    while (uguali < 2 && t.elapsed() < ms) {
        QTest::qWait(150);
        QImage nuova = grab();
        uguali = nuova == ora ? uguali + 1 : 0;
        ora = std::move(nuova);
    }
    return ora;
}

// The application's environment: its settings, data and instance lock all
// under `casa`, with a line on its standard output for every change.
inline QProcessEnvironment ambiente(const QTemporaryDir& casa)
{
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HALVORA_DIAGNOSTICA"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), casa.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), casa.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), casa.path());
    return env;
}

// The guide has been seen, and so have the location card and the rename
// notice: a first launch from the build folder would otherwise start with
// them.
inline bool segnaGuidaVista(const QTemporaryDir& casa)
{
    QDir().mkpath(casa.filePath(QStringLiteral("config/Halvora")));
    QFile ini(casa.filePath(QStringLiteral("config/Halvora/Halvora.ini")));
    return ini.open(QIODevice::WriteOnly)
           && ini.write("[General]\nguidaVista=true\navvisoPosizioneMostrato=true\nbenvenutoOrbelleMostrato=true\n") > 0;
}

// The diagnostic lines of a running copy, read as they come from its
// output channel, or from the file its output goes to.
class Righe {
public:
    explicit Righe(QIODevice& app) : app_(app) {}

    // Waits for the next line equal to `riga`, up to `ms`; the lines before
    // it are passed over. Built with the sanitizers, the application takes a
    // few times as long to get anywhere: the limit grows with it.
    bool aspetta(const QString& riga, int ms = 5000)
    {
#ifdef __SANITIZE_ADDRESS__
        ms *= 4;
#endif
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            parziale_ += app_.readAll();
            for (qsizetype a; (a = parziale_.indexOf('\n')) >= 0; parziale_.remove(0, a + 1))
                righe_ << QString::fromUtf8(parziale_.left(a)).trimmed();
            while (letto_ < righe_.size())
                if (righe_[letto_++] == riga)
                    return true;
            if (!app_.waitForReadyRead(20) && !app_.isSequential())
                QThread::msleep(20); // a file says nothing of what comes
            QCoreApplication::processEvents();
        }
        return false;
    }

private:
    QIODevice& app_;
    QByteArray parziale_;
    QStringList righe_;
    qsizetype letto_ = 0;
};

// Starts `eseguibile` with the environment of `casa` over a desktop of one
// colour, short of the whole screen: the window manager raises an
// undecorated window covering all of it as full screen. True once the
// application is ready and the desktop is shown.
inline bool avviaSuSfondo(QProcess& app, Righe& righe, const QTemporaryDir& casa, QWidget& sfondo,
                          const QColor& colore, const QString& eseguibile)
{
    sfondo.setStyleSheet(QStringLiteral("background: %1").arg(colore.name()));
    sfondo.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint);
    sfondo.setGeometry(0, 0, 1920, 1000);
    muoviPuntatore(960, 700);
    app.setProcessEnvironment(ambiente(casa));
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(eseguibile);
    if (!righe.aspetta(QStringLiteral("pronta"), 10000))
        return false;
    // Shown once the panel stands: a window mapped while the panel takes
    // its place may leave the panel's idea of its position stale.
    sfondo.show();
    if (!QTest::qWaitForWindowExposed(&sfondo))
        return false;
    QTest::qWait(500);
    return true;
}

// Starts `eseguibile` with `env` in the Wayland session the test runs in
// (sway, or KWin standing for Plasma, whose sessions say so). True once the
// application is ready, within `ms`.
inline bool avviaSuWayland(QProcess& app, Righe& righe, QProcessEnvironment env, const QString& eseguibile, int ms)
{
    if (qEnvironmentVariableIsEmpty("SWAYSOCK"))
        env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("KDE"));
    app.setProcessEnvironment(env);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(eseguibile);
    return righe.aspetta(QStringLiteral("pronta"), ms);
}

} // namespace AppRealeX11
