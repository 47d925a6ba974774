#include "AvvisiAgenti.h"

#include "Disegno.h"
#include "ElementiImpostazioni.h"
#include "IstruzioniHook.h"
#include "Pasteboard.h"
#include "Riquadro.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Impostazioni;

AvvisiAgenti::AvvisiAgenti(Pasteboard& pasteboard, Clock& clock, QWidget* parent)
    : QWidget(parent), pasteboard_(pasteboard), clock_(clock)
{
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(6);
    l->addWidget(Riquadro::testo(tr("Avvisi di Claude e ChatGPT"), Riquadro::carattere(Riquadro::kCorpo),
                                 Disegno::primario(), this));
    l->addWidget(Riquadro::testo(tr("Quando Claude o ChatGPT finiscono un lavoro, o ti chiedono un permesso, mentre "
                                    "sei in un'altra app, compare nella notch."),
                                 didascalia(), Disegno::secondario(), this));
    auto* pulsanti = rigaOrizzontale(8);
    for (FornitoreIA f : kFornitoriIA) {
        auto* b = new Pulsante({{}, {}, didascalia(QFont::DemiBold), Disegno::primario(), 10}, this);
        b->setFondo(Riquadro::materialeRegolare(), QMargins(8, 4, 8, 4), 5);
        b->setObjectName(f == FornitoreIA::claude ? QStringLiteral("copiaClaude") : QStringLiteral("copiaCodex"));
        connect(b, &QAbstractButton::clicked, this, [this, f] { copiaIstruzioni(f); });
        pulsanti->addWidget(b);
        (f == FornitoreIA::claude ? copiaClaude_ : copiaCodex_) = b;
    }
    pulsanti->addStretch(1);
    l->addLayout(pulsanti);
    l->addWidget(Riquadro::testo(tr("ChatGPT esegue gli hook solo dopo che li hai approvati: apri Codex nel Terminale "
                                    "e scrivi /hooks."),
                                 didascalia(), Riquadro::terziario(), this));
    aggiornaPulsantiCopia();
}

void AvvisiAgenti::copiaIstruzioni(FornitoreIA fornitore)
{
    // Replaces whatever the clipboard held.
    pasteboard_.setString(IstruzioniHook::promptInstallazioneHook(fornitore));
    messaggioCopiato_ = fornitore;
    aggiornaPulsantiCopia();
    std::erase_if(ripristiniCopiato_, [](const TimerHandle& t) { return !t.isActive(); });
    ripristiniCopiato_.push_back(clock_.singleShot(kDurataCopiato, [this, fornitore] {
        if (messaggioCopiato_ != fornitore)
            return;
        messaggioCopiato_.reset();
        aggiornaPulsantiCopia();
    }));
}

void AvvisiAgenti::aggiornaPulsantiCopia()
{
    const auto mostra = [this](Pulsante* b, FornitoreIA f, const QString& copia) {
        if (messaggioCopiato_ == f)
            b->setContenuto(QStringLiteral("checkmark"), tr("Copiato"));
        else
            b->setContenuto(QStringLiteral("doc.on.doc"), copia);
    };
    mostra(copiaClaude_, FornitoreIA::claude, tr("Copia per Claude Code"));
    mostra(copiaCodex_, FornitoreIA::codex, tr("Copia per ChatGPT"));
}
