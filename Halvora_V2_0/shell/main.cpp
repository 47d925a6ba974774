#include "AttivitaManager.h"
#include "LinguaManager.h"
#include "NotchStateManager.h"
#include "SchemaURL.h"
#include "SystemClock.h"
#include "Traduzioni.h"
#include "UserDefaults.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The panel relies on X11 window types and input shapes; under Wayland it runs through XWayland.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvora"));
    QApplication::setOrganizationName(QStringLiteral("Halvora"));
    QApplication::setApplicationVersion(QStringLiteral(HALVORA_VERSIONE));
    QApplication::setQuitOnLastWindowClosed(false);

    Traduzioni::installa(LinguaManager::linguaAllAvvio(UserDefaults::shared()));

    Clock& clock = Clock::system();
    NotchStateManager stato(clock);
    AttivitaManager attivita(clock);
    SchemaURL::instradaURL(SchemaURL::urlDaTesti(app.arguments().mid(1)), attivita, {});
    return app.exec();
}
