#include "RigaLingua.h"

#include "Disegno.h"
#include "ElementiImpostazioni.h"
#include "LinguaManager.h"
#include "Riquadro.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

using namespace Impostazioni;

namespace {

// The language menu, with a chevron that the dark style sheet leaves out.
class MenuLingua final : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QComboBox::paintEvent(e);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(isEnabled() ? Disegno::secondario() : Riquadro::terziario(), 1.4, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        // Up and down, as a menu that opens over its current entry.
        const QPolygonF su({QPointF(-3, -1.5), QPointF(0, -4.5), QPointF(3, -1.5)});
        const QPointF centro(width() - 10, height() / 2.0);
        p.drawPolyline(su.translated(centro));
        p.drawPolyline(QTransform::fromScale(1, -1).map(su).translated(centro));
    }
};

} // namespace

RigaLingua::RigaLingua(LinguaManager& lingua, QWidget* parent) : QWidget(parent), lingua_(lingua)
{
    auto* l = colonna(4);
    setLayout(l);
    auto* riga = rigaOrizzontale(8);
    riga->addWidget(new Etichetta({QStringLiteral("globe"), tr("Lingua"), Riquadro::carattere(Riquadro::kCorpo),
                                   Disegno::primario(), 13},
                                  this));
    riga->addStretch(1);
    sceltaLingua_ = new MenuLingua(this);
    sceltaLingua_->setObjectName(QStringLiteral("sceltaLingua"));
    sceltaLingua_->setFont(Riquadro::carattere(Riquadro::kSottotitolo));
    sceltaLingua_->setStyleSheet(QStringLiteral(
        "QComboBox { color: white; background: rgba(255,255,255,0.12); border: none; border-radius: 5px;"
        " padding: 2px 20px 2px 8px; }"
        "QComboBox:disabled { color: rgba(255,255,255,0.35); }"
        "QComboBox::drop-down { border: none; width: 16px; }"
        "QComboBox QAbstractItemView { background: #2a2a2e; color: white; selection-background-color: #007aff;"
        " border: none; outline: none; }"));
    // The popup's own frame, which draws light bars above and below the
    // list unless it is given a background of its own.
    sceltaLingua_->view()->parentWidget()->setStyleSheet(QStringLiteral("background: #2a2a2e;"));

    for (LinguaInterfaccia l : Lingue::tutte())
        sceltaLingua_->addItem(Lingue::etichetta(l), static_cast<int>(l));
    connect(sceltaLingua_, &QComboBox::activated, this, [this](int indice) {
        lingua_.setScelta(static_cast<LinguaInterfaccia>(sceltaLingua_->itemData(indice).toInt()));
    });
    riga->addWidget(sceltaLingua_);
    l->addLayout(riga);
    notaLingua_ = Riquadro::testo({}, didascalia(), Disegno::secondario(), this);
    notaLingua_->setObjectName(QStringLiteral("notaLingua"));
    l->addWidget(notaLingua_);
    connect(&lingua_, &LinguaManager::sceltaChanged, this, &RigaLingua::aggiorna);
    connect(&lingua_, &LinguaManager::riavvioInCorsoChanged, this, &RigaLingua::aggiorna);
    aggiorna();
}

void RigaLingua::aggiorna()
{
    sceltaLingua_->setCurrentIndex(sceltaLingua_->findData(static_cast<int>(lingua_.scelta())));
    sceltaLingua_->setEnabled(!lingua_.riavvioInCorso());
    if (lingua_.riavvioInCorso())
        notaLingua_->setText(tr("Riapertura in corso…"));
    else if (lingua_.scelta() != LinguaInterfaccia::sistema)
        notaLingua_->setText(tr("Cambiando lingua l'app si riapre da sola."));
    else
        notaLingua_->setText(tr("Segue la lingua del Mac: ") + LinguaManager::nomeLinguaDelSistema() + QLatin1Char('.'));
}
