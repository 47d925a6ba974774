// halvora-cattura: takes one screenshot and writes it as PNG. "-x" takes
// the primary screen at once; "-i" freezes every screen under an overlay
// where the user drags an area, "-i -W" where the user picks a window: the
// window's own pixels where a compositor keeps them, else the frozen
// screens cut at its frame. Exit 0 saved, 1 cancelled, 2 failed; the file
// appears only when saved.
#include "ContrattoCattura.h"
#include "SchermoX11.h"
#include "Sovrapposizione.h"

#include <QGuiApplication>
#include <QScreen>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

using ContrattoCattura::Esito;

// Written under the temporary name and renamed into place, so the path
// never holds half a picture, whatever happens to this process.
Esito salva(const QImage& img, const QString& percorso)
{
    if (img.isNull())
        return Esito::fallito;
    const QString parziale = ContrattoCattura::temporaneo(percorso);
    if (!img.save(parziale, "PNG") || std::rename(qPrintable(parziale), qPrintable(percorso)) != 0) {
        std::remove(qPrintable(parziale));
        std::fputs("cattura: impossibile scrivere il file\n", stderr);
        return Esito::fallito;
    }
    return Esito::salvato;
}

} // namespace

int main(int argc, char** argv)
{
    // An overlay holding pointer and keyboard must never outlive the
    // application that asked for it.
    const pid_t genitore = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != genitore)
        return Esito::fallito;

    // Device pixels throughout: the overlay shows the frozen screens 1:1.
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    QGuiApplication app(argc, argv);
    const auto richiesta = ContrattoCattura::leggi(app.arguments().mid(1));
    if (!richiesta) {
        std::fputs("uso: halvora-cattura (-x | -i [-W]) [--escludi PID] FILE.png\n", stderr);
        return Esito::fallito;
    }
    SchermoX11 schermo;
    if (!schermo.connesso())
        return Esito::fallito;

    if (richiesta->modo == ScreenshotMode::fullScreen) {
        const QScreen* primo = QGuiApplication::primaryScreen();
        const QRect area = primo ? primo->geometry() : schermo.radice();
        return salva(schermo.cattura(area), richiesta->percorso);
    }

    // The screens are taken first, then the windows over them, so both
    // describe one moment.
    const QImage congelata = schermo.cattura(schermo.radice());
    if (congelata.isNull())
        return Esito::fallito;
    const QList<SchermoX11::Cornice> cornici = schermo.finestre(richiesta->pidEscluso);
    QList<QRect> rettangoli;
    for (const auto& c : cornici)
        rettangoli << c.rettangolo;
    Sovrapposizione sopra(congelata, rettangoli,
                          richiesta->modo == ScreenshotMode::window ? Sovrapposizione::Modo::finestra
                                                                    : Sovrapposizione::Modo::area);
    int esito = Esito::fallito;
    QObject::connect(&sopra, &Sovrapposizione::scelto, &app, [&](const QRect& r) {
        sopra.hide();
        // A picked window is the first frame of that rectangle, as the overlay picks.
        const qsizetype i = sopra.modo() == Sovrapposizione::Modo::finestra ? rettangoli.indexOf(r) : -1;
        QImage propria = i >= 0 ? schermo.catturaFinestra(cornici[i].finestra) : QImage();
        esito = salva(propria.isNull() ? congelata.copy(r) : propria, richiesta->percorso);
        app.quit();
    });
    QObject::connect(&sopra, &Sovrapposizione::annullato, &app, [&] {
        esito = Esito::annullato;
        app.quit();
    });
    QObject::connect(&sopra, &Sovrapposizione::presaRifiutata, &app, [&] {
        std::fputs("cattura: puntatore o tastiera occupati\n", stderr);
        app.quit();
    });
    sopra.show();
    app.exec();
    return esito;
}
