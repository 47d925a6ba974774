#include "QtScreens.h"

#include <QGuiApplication>
#include <QScreen>

QtScreens::QtScreens(QObject* parent) : Screens(parent)
{
    for (QScreen* s : QGuiApplication::screens())
        osserva(s);
    connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* s) {
        osserva(s);
        emit changed();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, &Screens::changed);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &Screens::changed);
}

void QtScreens::osserva(QScreen* schermo)
{
    connect(schermo, &QScreen::geometryChanged, this, &Screens::changed);
    connect(schermo, &QScreen::availableGeometryChanged, this, &Screens::changed);
}

QList<ScreenInfo> QtScreens::screens() const
{
    QList<ScreenInfo> lista;
    QScreen* primario = QGuiApplication::primaryScreen();
    auto info = [](QScreen* s) {
        ScreenInfo i;
        i.frame = s->geometry();
        i.visibleFrame = s->availableGeometry();
        i.nome = s->name();
        return i;
    };
    if (primario)
        lista << info(primario);
    for (QScreen* s : QGuiApplication::screens())
        if (s != primario)
            lista << info(s);
    return lista;
}
