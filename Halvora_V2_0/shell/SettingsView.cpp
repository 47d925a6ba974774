#include "SettingsView.h"

#include "Disegno.h"
#include "FormaTacca.h"
#include "PiedeImpostazioni.h"
#include "Riquadro.h"
#include "SezioneAspetto.h"
#include "SezioneGenerale.h"
#include "SezioneSottoLaTacca.h"

#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

SettingsView::SettingsView(SettingsManager& settings, LinguaManager& lingua, ScorciatoiaTacca* scorciatoia,
                           ClipboardManager* clipboard, AggiornamentoManager* aggiornamento, Pasteboard& pasteboard,
                           const DesktopEntries& applicazioni, Clock& clock, QWidget* parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAttribute(Qt::WA_TranslucentBackground);
    viewport()->setAutoFillBackground(false);
    // The handle stops short of the notch's rounded bottom corner, inside the shape.
    verticalScrollBar()->setStyleSheet(
        QStringLiteral(
            "QScrollBar:vertical { background: transparent; width: 8px; margin: 4px 2px %1px 0; }"
            "QScrollBar::handle:vertical { background: rgba(255,255,255,0.3); border-radius: 3px; min-height: 24px; }"
            "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
            "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }")
            .arg(FormaTacca::kRaggioSotto));

    pagina_ = new QWidget;
    pagina_->setObjectName(QStringLiteral("paginaImpostazioni"));
    auto* pila = new QVBoxLayout(pagina_);
    pila->setContentsMargins(20, 52, 20, 20);
    pila->setSpacing(18);

    QFont fontTitolo = Riquadro::carattere(16, QFont::Bold);
    fontTitolo.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    auto* titolo = Riquadro::testo(tr("IMPOSTAZIONI"), fontTitolo, Disegno::secondario(), pagina_);
    titolo->setAlignment(Qt::AlignHCenter);
    pila->addWidget(titolo);
    auto* generale = new SezioneGenerale(settings, lingua, scorciatoia, aggiornamento, pagina_);
    connect(generale, &SezioneGenerale::rivediGuida, this, &SettingsView::rivediGuida);
    pila->addWidget(generale);
    pila->addWidget(new SezioneAspetto(settings, pagina_));
    auto* sotto = new SezioneSottoLaTacca(settings, pasteboard, clock, pagina_);
    avvisi_ = sotto->avvisiAgenti();
    pila->addWidget(sotto);
    privacy_ = new SezionePrivacy(settings, clipboard, applicazioni, pagina_);
    pila->addWidget(privacy_);
    auto* piede = new PiedeImpostazioni(pagina_);
    connect(piede, &PiedeImpostazioni::chiudi, this, &SettingsView::chiudi);
    pila->addWidget(piede);
    pila->addStretch(1);
    setWidget(pagina_);
    // setWidget turns the fill on; the notch's own material shows through.
    pagina_->setAutoFillBackground(false);
}

SettingsView::~SettingsView() = default;

std::optional<FornitoreIA> SettingsView::messaggioCopiato() const
{
    return avvisi_->messaggioCopiato();
}

void SettingsView::copiaIstruzioni(FornitoreIA fornitore)
{
    avvisi_->copiaIstruzioni(fornitore);
}
