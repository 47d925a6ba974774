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
    rigaScorciatoia_ = interruttore(settings_, {}, {}, "scorciatoiaTaccaAttiva");
    l->addWidget(rigaScorciatoia_);
    avvisoScorciatoia_ = Riquadro::testo({}, didascalia(), Colori::arancione(), this);
    avvisoScorciatoia_->setObjectName(QStringLiteral("avvisoScorciatoia"));
    l->addWidget(avvisoScorciatoia_);
    nominaCombinazione();
    connect(&settings_, &SettingsManager::scorciatoiaTaccaAttivaChanged, this, &SezioneGenerale::aggiornaScorciatoia);
    if (scorciatoia_) {
        connect(scorciatoia_, &ScorciatoiaTacca::occupataChanged, this, &SezioneGenerale::aggiornaScorciatoia);
        connect(scorciatoia_, &ScorciatoiaTacca::combinazioneChanged, this, &SezioneGenerale::nominaCombinazione);
    }
    aggiornaScorciatoia();
    return l;
}

void SezioneGenerale::nominaCombinazione()
{
    // The texts name the default combination; the one the desktop has set
    // (a user may choose another there) takes its place, in any spelling.
    const QString combinazione = scorciatoia_ ? scorciatoia_->combinazione() : QStringLiteral("Ctrl+Alt+N");
    auto nomina = [&](QString testo) {
        for (const char* d : {"Control-Option-N", "Ctrl+Alt+N", "⌃⌥N"})
            testo.replace(QString::fromUtf8(d), combinazione);
        return testo;
    };
    rigaScorciatoia_->setTesti(
        nomina(tr("Apri la notch con ⌃⌥N")),
        nomina(tr("Control-Option-N apre e chiude la notch da qualunque app. Si chiude anche con un "
                  "clic fuori.")));
    avvisoScorciatoia_->setText(nomina(tr("Un'altra app usa già ⌃⌥N: finché la tiene lei, qui non funziona.")));
}

void SezioneGenerale::aggiornaScorciatoia()
{
    avvisoScorciatoia_->setVisible(settings_.scorciatoiaTaccaAttiva() && scorciatoia_ && scorciatoia_->occupata());
}
