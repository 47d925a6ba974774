#include "PiedeImpostazioni.h"

#include "Colori.h"
#include "Disegno.h"
#include "ElementiImpostazioni.h"
#include "Riquadro.h"

#include <QCoreApplication>
#include <QVBoxLayout>

using namespace Impostazioni;

PiedeImpostazioni::PiedeImpostazioni(QWidget* parent) : QWidget(parent)
{
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 4, 0, 0);
    l->setSpacing(10);
    const QFont font = Riquadro::carattere(Riquadro::kSottotitolo, QFont::DemiBold);
    auto* indietro = new Pulsante({{}, tr("Torna Indietro"), font, Disegno::primario(), 12, Qt::AlignHCenter}, this);
    indietro->setObjectName(QStringLiteral("tornaIndietro"));
    indietro->setFondo(Riquadro::materialeRegolare(), QMargins(0, 10, 0, 10), 12);
    indietro->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(indietro, &QAbstractButton::clicked, this, &PiedeImpostazioni::chiudi);
    l->addWidget(indietro);
    auto* esci = new Pulsante({QStringLiteral("power"), tr("Esci da Orbelle"), font, Riquadro::leggibile(Colori::rosso()), 12,
                               Qt::AlignHCenter},
                              this);
    esci->setObjectName(QStringLiteral("esci"));
    esci->setFondo(Riquadro::materialeUltraSottile(), QMargins(0, 10, 0, 10), 12);
    esci->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // At once and without asking, whatever the notch is showing.
    connect(esci, &QAbstractButton::clicked, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    l->addWidget(esci);
}
