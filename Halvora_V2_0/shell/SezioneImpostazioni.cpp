#include "SezioneImpostazioni.h"

#include "Intestazione.h"
#include "Riquadro.h"

#include <QVBoxLayout>

SezioneImpostazioni::SezioneImpostazioni(const QString& titolo, int spaziatura, QWidget* parent) : QWidget(parent)
{
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(spaziatura);
    l->addWidget(new Intestazione(titolo, this));
    riquadro_ = new Riquadro(this);
    l->addWidget(riquadro_);
}
