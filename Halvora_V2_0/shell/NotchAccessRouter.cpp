#include "NotchAccessRouter.h"

#include "RootNotchView.h"

NotchAccessRouter::NotchAccessRouter(NotchStateManager& stato, AttivitaManager& attivita, QSize canvas,
                                     RootNotchView::Servizi servizi, QWidget* parent)
    : QWidget(parent), root_(new RootNotchView(stato, attivita, canvas, std::move(servizi), this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    resize(canvas);
}
