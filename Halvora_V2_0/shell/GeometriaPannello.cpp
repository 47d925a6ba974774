#include "GeometriaPannello.h"

#include "FormaTacca.h"
#include "NotchGeometry.h"
#include "NotchStateManager.h"

namespace GeometriaPannello {

QRectF framePannello(const ScreenInfo& schermo)
{
    return QRectF(QPointF(NotchGeometry::centroTacca(schermo) - kCanvas.width() / 2, schermo.frame.top()), kCanvas);
}

QRectF zonaHover(const QRectF& frame, const NotchStateManager& stato)
{
    if (frame.isEmpty())
        return {};
    const bool aperta = stato.currentState() == NotchState::expanded;
    QSizeF dimensione = aperta ? stato.expandedSize() : stato.dimensioneCompatta();
    if (!aperta && stato.linguettaAttiva())
        dimensione.setHeight(kAltezzaLinguetta);
    return QRectF(frame.center().x() - dimensione.width() / 2, frame.top(), dimensione.width(), dimensione.height());
}

QRectF rettangoloScheda(const QRectF& frame, QSizeF dimensioneCompatta)
{
    return QRectF(frame.center().x() - kDimensioneScheda.width() / 2,
                  frame.top() + dimensioneCompatta.height() + kDistaccoScheda, kDimensioneScheda.width(),
                  kDimensioneScheda.height());
}

QRectF areaDisegnata(const NotchStateManager& stato, const QRectF& frame, const QList<QRectF>& rettangoliSchede)
{
    QRectF area = zonaHover(frame, stato);
    for (const QRectF& r : rettangoliSchede)
        area |= r;
    // The cards' own shadows reach less far than the notch's.
    using namespace FormaTacca;
    return area.adjusted(-kMargineOmbra, -kMargineOmbra, kMargineOmbra, kMargineOmbra + kCaduta) & frame;
}

QList<QRectF> regioniCliccabili(const NotchStateManager& stato, const QRectF& frame,
                                const QList<QRectF>& rettangoliSchede)
{
    if (stato.catturaInCorso())
        return {};
    // The open notch takes clicks where it is drawn; the transparent rest of
    // the panel lets them through, as a see-through window part would.
    if (stato.currentState() == NotchState::expanded)
        return {zonaHover(frame, stato)};
    // The strip and a live card keep their regions while the pointer is
    // away, so that the server reports it arriving there by any means.
    QList<QRectF> regioni{zonaHover(frame, stato)};
    if (stato.schedaRichiedeClick() || stato.installazioneDaSistemare() || stato.aggiornamentoDaMostrare())
        regioni += rettangoliSchede;
    return regioni;
}

} // namespace GeometriaPannello
