#include "SezioneGenerale.h"

#include "Colori.h"
#include "Disegno.h"
#include "ElementiImpostazioni.h"
#include "RigaInterruttore.h"
#include "RigaLingua.h"
#include "RigaVersione.h"
#include "Riquadro.h"
#include "ScorciatoiaTacca.h"
#include "SettingsManager.h"

#include <QLabel>
#include <QVBoxLayout>

using namespace Impostazioni;

SezioneGenerale::SezioneGenerale(SettingsManager& settings, LinguaManager& lingua, ScorciatoiaTacca* scorciatoia,
                                 AggiornamentoManager* aggiornamento, QWidget* parent)
    : SezioneImpostazioni(tr("Generale"), 8, parent), settings_(settings), scorciatoia_(scorciatoia)
{
    Riquadro* box = riquadro();
    box->aggiungi(new RigaLingua(lingua, box));
    if (aggiornamento)
        box->aggiungi(new RigaVersione(*aggiornamento, box));
    auto* guida = new Pulsante({QStringLiteral("questionmark.circle"), tr("Rivedi la guida"),
                                Riquadro::carattere(Riquadro::kSottotitolo, QFont::Medium), Disegno::primario(), 12},
                               box);
    guida->setObjectName(QStringLiteral("rivediGuida"));
    guida->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(guida, &QAbstractButton::clicked, this, &SezioneGenerale::rivediGuida);
    box->aggiungi(guida);
    box->aggiungi(creaAvvioAlLogin());
    box->aggiungi(creaScorciatoia());
}

QLayout* SezioneGenerale::creaAvvioAlLogin()
{
    auto* l = colonna(4);
    avvioAlLogin_ = interruttore(settings_, tr("Avvia al login"), {}, "launchAtLogin");
    avvioAlLogin_->setDisattivato(!settings_.avvioAlLoginDisponibile());
    l->addWidget(avvioAlLogin_);
    notaAvvioAlLogin_ = Riquadro::testo(tr("Disponibile solo con l'app nella cartella Applicazioni."), didascalia(),
                                        Disegno::secondario(), this);
    notaAvvioAlLogin_->setObjectName(QStringLiteral("notaAvvioAlLogin"));
    l->addWidget(notaAvvioAlLogin_);
    erroreAvvioAlLogin_ = Riquadro::testo({}, didascalia(), Colori::arancione(), this);
    erroreAvvioAlLogin_->setObjectName(QStringLiteral("erroreAvvioAlLogin"));
    l->addWidget(erroreAvvioAlLogin_);
    connect(&settings_, &SettingsManager::erroreAvvioAlLoginChanged, this, &SezioneGenerale::aggiornaAvvioAlLogin);
    aggiornaAvvioAlLogin();
    return l;
}

void SezioneGenerale::aggiornaAvvioAlLogin()
{
    // Where the login item cannot work, the reason replaces any error text.
    const bool disponibile = settings_.avvioAlLoginDisponibile();
    notaAvvioAlLogin_->setVisible(!disponibile);
    // The system's own words, shown as they come.
    erroreAvvioAlLogin_->setText(settings_.erroreAvvioAlLogin());
    erroreAvvioAlLogin_->setVisible(disponibile && !settings_.erroreAvvioAlLogin().isEmpty());
}

QLayout* SezioneGenerale::creaScorciatoia()
{
    auto* l = colonna(4);
    l->addWidget(interruttore(settings_, tr("Apri la notch con ⌃⌥N"),
                              tr("Control-Option-N apre e chiude la notch da qualunque app. Si chiude anche con un "
                                 "clic fuori."),
                              "scorciatoiaTaccaAttiva"));
    avvisoScorciatoia_ = Riquadro::testo(tr("Un'altra app usa già ⌃⌥N: finché la tiene lei, qui non funziona."),
                                         didascalia(), Colori::arancione(), this);
    avvisoScorciatoia_->setObjectName(QStringLiteral("avvisoScorciatoia"));
    l->addWidget(avvisoScorciatoia_);
    connect(&settings_, &SettingsManager::scorciatoiaTaccaAttivaChanged, this, &SezioneGenerale::aggiornaScorciatoia);
    if (scorciatoia_)
        connect(scorciatoia_, &ScorciatoiaTacca::occupataChanged, this, &SezioneGenerale::aggiornaScorciatoia);
    aggiornaScorciatoia();
    return l;
}

void SezioneGenerale::aggiornaScorciatoia()
{
    avvisoScorciatoia_->setVisible(settings_.scorciatoiaTaccaAttiva() && scorciatoia_ && scorciatoia_->occupata());
}
