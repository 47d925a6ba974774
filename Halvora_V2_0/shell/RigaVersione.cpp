#include "RigaVersione.h"

#include "AggiornamentoManager.h"
#include "Colori.h"
#include "Disegno.h"
#include "ElementiImpostazioni.h"
#include "Riquadro.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Impostazioni;

RigaVersione::RigaVersione(AggiornamentoManager& aggiornamento, QWidget* parent)
    : QWidget(parent), aggiornamento_(&aggiornamento)
{
    auto* riga = rigaOrizzontale(8);
    setLayout(riga);
    auto* testi = colonna(2);
    auto* versione = Riquadro::testo(tr("Versione ") + AggiornamentoManager::versioneCorrente(),
                                     Riquadro::carattere(12, QFont::DemiBold), Disegno::primario(), this);
    versione->setObjectName(QStringLiteral("versione"));
    testi->addWidget(versione);
    esitoVerifica_ = Riquadro::testo({}, didascalia(), Disegno::secondario(), this);
    esitoVerifica_->setObjectName(QStringLiteral("esitoVerifica"));
    testi->addWidget(esitoVerifica_);
    versioneDisponibile_ = Riquadro::testo({}, didascalia(), Riquadro::leggibile(Colori::accento()), this);
    versioneDisponibile_->setObjectName(QStringLiteral("versioneDisponibile"));
    testi->addWidget(versioneDisponibile_);
    riga->addLayout(testi, 1);
    auto* cerca = new Pulsante({{}, tr("Cerca aggiornamenti"), didascalia(), Riquadro::leggibile(Colori::accento())}, this);
    cerca->setObjectName(QStringLiteral("cercaAggiornamenti"));
    cercaAggiornamenti_ = cerca;
    connect(cerca, &QAbstractButton::clicked, this, [this] {
        if (aggiornamento_)
            aggiornamento_->controllaAggiornamenti(true);
    });
    riga->addWidget(cerca, 0, Qt::AlignVCenter);
    connect(aggiornamento_, &AggiornamentoManager::verificaInCorsoChanged, this, &RigaVersione::aggiorna);
    connect(aggiornamento_, &AggiornamentoManager::esitoVerificaManualeChanged, this, &RigaVersione::aggiorna);
    connect(aggiornamento_, &AggiornamentoManager::versioneDisponibileChanged, this, &RigaVersione::aggiorna);
    aggiorna();
}

void RigaVersione::aggiorna()
{
    if (!aggiornamento_)
        return;
    const QString esito = aggiornamento_->esitoVerificaManuale();
    esitoVerifica_->setText(esito);
    esitoVerifica_->setVisible(!esito.isEmpty());
    const QString disponibile = aggiornamento_->versioneDisponibile();
    versioneDisponibile_->setText(disponibile.isEmpty() ? QString()
                                                        : tr("Disponibile la ") + disponibile + QLatin1Char('.'));
    versioneDisponibile_->setVisible(!disponibile.isEmpty());
    cercaAggiornamenti_->setOccupato(aggiornamento_->verificaInCorso());
}
