#include "NotchAccessRouter.h"

#include "RootNotchView.h"

NotchAccessRouter::NotchAccessRouter(NotchStateManager& stato, AttivitaManager& attivita, QSize canvas,
                                     QWidget* parent)
    : QWidget(parent), root_(new RootNotchView(stato, attivita, canvas, this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    resize(canvas);
}
