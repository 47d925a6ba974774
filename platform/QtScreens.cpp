#include "QtScreens.h"

#include "StatoDesktop.h"

#include <QGuiApplication>
#include <QScreen>

QtScreens::QtScreens(QList<StatoDesktop*> desktop, QObject* parent) : Screens(parent), desktop_(std::move(desktop))
{
    for (QScreen* s : QGuiApplication::screens())
        osserva(s);
    connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* s) {
        osserva(s);
        emit changed();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, &Screens::changed);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &Screens::changed);
    for (StatoDesktop* d : std::as_const(desktop_))
        connect(d, &StatoDesktop::areeDiLavoroCambiate, this, &Screens::changed);
}

void QtScreens::osserva(QScreen* schermo)
{
    connect(schermo, &QScreen::geometryChanged, this, &Screens::changed);
    connect(schermo, &QScreen::availableGeometryChanged, this, &Screens::changed);
}

QRect QtScreens::inPixel(const QScreen& schermo, const QRectF& logico)
{
    const QPointF origine = schermo.geometry().topLeft();
    const double dpr = schermo.devicePixelRatio();
    return QRectF(origine + (logico.topLeft() - origine) * dpr, logico.size() * dpr).toAlignedRect();
}

QRectF QtScreens::daPixel(const QScreen& schermo, const QRect& pixel)
{
    const QPointF origine = schermo.geometry().topLeft();
    const double dpr = schermo.devicePixelRatio();
    return QRectF(origine + (QPointF(pixel.topLeft()) - origine) / dpr, QSizeF(pixel.size()) / dpr);
}

std::optional<QRect> QtScreens::areaDelloSchermo(const QRect& schermo, const QList<QRect>& aree)
{
    for (const QRect& a : aree)
        if (schermo.contains(a) && !a.isEmpty())
            return a;
    // One area for the whole desktop: what of it lies on this screen.
    if (aree.size() == 1 && aree.first().intersects(schermo))
        return aree.first() & schermo;
    return std::nullopt;
}

QList<ScreenInfo> QtScreens::screens() const
{
    QList<QRect> aree;
    for (const StatoDesktop* d : desktop_)
        if (aree.isEmpty())
            aree = d->areeDiLavoro();
    QList<ScreenInfo> lista;
    QScreen* primario = QGuiApplication::primaryScreen();
    auto info = [&aree](QScreen* s) {
        ScreenInfo i;
        i.frame = s->geometry();
        i.visibleFrame = s->availableGeometry();
        if (const auto area = areaDelloSchermo(inPixel(*s, i.frame), aree))
            i.visibleFrame = daPixel(*s, *area);
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
