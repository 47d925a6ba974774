// halvora-video: plays the notch's video in a page of our own, in a web
// engine that lives only as long as this process. The application starts
// it with the service and page origins and speaks to it over stdio.
#include "AiutanteVideo.h"
#include "ProtocolloVideo.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    // Our video must never show up as a browser's player on the bus.
    flags += " --disable-features=HardwareMediaKeyHandling";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    // The engine's sandbox refuses to run as root; only then is it left out.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList a = app.arguments();
    auto valore = [&](const char* nome) {
        const int i = a.indexOf(QLatin1String(nome));
        return i >= 0 && i + 1 < a.size() ? a.at(i + 1) : QString();
    };
    const auto servizio = ProtocolloVideo::origine(valore("--servizio"));
    const auto origine = ProtocolloVideo::origine(valore("--origine"));
    if (!servizio || !origine) {
        std::fputs("halvora-video: --servizio and --origine need an https origin (http only on loopback)\n", stderr);
        return 2;
    }
    AiutanteVideo finestra(*servizio, *origine);
    finestra.avvia();
    return app.exec();
}
