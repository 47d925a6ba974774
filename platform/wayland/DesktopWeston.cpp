#include "DesktopWeston.h"

#include "QtScreens.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <wayland-client.h>

#include <cstring>

bool DesktopWeston::inEsecuzione()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return false;
    bool trovato = false;
    static const wl_registry_listener ascolto = {
        [](void* dati, wl_registry*, uint32_t, const char* interfaccia, uint32_t) {
            if (std::strcmp(interfaccia, "weston_desktop_shell") == 0)
                *static_cast<bool*>(dati) = true;
        },
        [](void*, wl_registry*, uint32_t) {},
    };
    wl_registry* registro = wl_display_get_registry(display);
    wl_registry_add_listener(registro, &ascolto, &trovato);
    wl_display_roundtrip(display);
    wl_registry_destroy(registro);
    wl_display_disconnect(display);
    return trovato;
}

DesktopWeston::DesktopWeston(QObject* parent) : StatoDesktop(parent), lato_(Qt::TopEdge)
{
    // Weston reads the first weston.ini it finds along the configuration folders.
    const QString ini = QStandardPaths::locate(QStandardPaths::GenericConfigLocation, QStringLiteral("weston.ini"));
    QFile f(ini);
    if (!ini.isEmpty() && f.open(QIODevice::ReadOnly))
        lato_ = latoPannello(f.readAll());
    connect(qApp, &QGuiApplication::screenAdded, this, &StatoDesktop::areeDiLavoroCambiate);
    connect(qApp, &QGuiApplication::screenRemoved, this, &StatoDesktop::areeDiLavoroCambiate);
}

std::optional<Qt::Edge> DesktopWeston::latoPannello(const QByteArray& ini)
{
    bool shell = false;
    for (QByteArray riga : ini.split('\n')) {
        riga = riga.trimmed();
        if (riga.startsWith('['))
            shell = riga == "[shell]";
        else if (shell && riga.startsWith("panel-position")) {
            const QByteArray valore = riga.mid(riga.indexOf('=') + 1).trimmed();
            if (valore == "none")
                return std::nullopt;
            if (valore == "bottom")
                return Qt::BottomEdge;
            if (valore == "left")
                return Qt::LeftEdge;
            if (valore == "right")
                return Qt::RightEdge;
            return Qt::TopEdge;
        }
    }
    return Qt::TopEdge;
}

QRect DesktopWeston::senzaPannello(const QRect& schermo, std::optional<Qt::Edge> lato)
{
    const int p = kProfonditaPannello;
    if (!lato)
        return schermo;
    switch (*lato) {
    case Qt::TopEdge:
        return schermo.adjusted(0, p, 0, 0);
    case Qt::BottomEdge:
        return schermo.adjusted(0, 0, 0, -p);
    case Qt::LeftEdge:
        return schermo.adjusted(p, 0, 0, 0);
    case Qt::RightEdge:
        return schermo.adjusted(0, 0, -p, 0);
    }
    return schermo;
}

QList<QRect> DesktopWeston::areeDiLavoro() const
{
    QList<QRect> aree;
    for (const QScreen* s : QGuiApplication::screens())
        aree << senzaPannello(QtScreens::inPixel(*s, s->geometry()), lato_);
    return aree;
}
