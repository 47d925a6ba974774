#include "RigaInterruttore.h"

#include "Colori.h"
#include "Disegno.h"
#include "Riquadro.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The switch itself: a pill with a round knob, coloured when on.
class Interruttore final : public QAbstractButton {
public:
    explicit Interruttore(QWidget* parent) : QAbstractButton(parent)
    {
        setFocusPolicy(Qt::TabFocus);
        setFixedSize(sizeHint());
    }
    QSize sizeHint() const override { return {32, 18}; }
    void setAcceso(bool v)
    {
        acceso_ = v;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setOpacity(isEnabled() ? 1.0 : 0.4);
        const QRectF pista = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(Qt::NoPen);
        p.setBrush(acceso_ ? Colori::accento() : Disegno::primario(0.22));
        p.drawRoundedRect(pista, pista.height() / 2, pista.height() / 2);
        const double lato = pista.height() - 3;
        const double x = acceso_ ? pista.right() - 1.5 - lato : pista.left() + 1.5;
        p.setBrush(isDown() ? QColor(225, 225, 225) : QColor(Qt::white));
        p.drawEllipse(QRectF(x, pista.top() + 1.5, lato, lato));
    }

private:
    bool acceso_ = false;
};

} // namespace

RigaInterruttore::RigaInterruttore(const QString& titolo, const QString& spiegazione, QWidget* parent)
    : QWidget(parent), interruttore_(new Interruttore(this)),
      titolo_(Riquadro::testo(titolo, Riquadro::carattere(Riquadro::kCorpo), Disegno::primario(), this)),
      spiegazione_(Riquadro::testo(spiegazione, Riquadro::carattere(Riquadro::kDidascalia), Disegno::secondario(), this)),
      avviso_(Riquadro::testo({}, Riquadro::carattere(Riquadro::kDidascalia, QFont::Medium), Colori::arancione(), this))
{
    interruttore_->setAccessibleName(titolo);
    auto* colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(0, 0, 0, 0);
    colonna->setSpacing(4);
    auto* riga = new QHBoxLayout;
    riga->setSpacing(8);
    riga->addWidget(titolo_, 1);
    riga->addWidget(interruttore_, 0, Qt::AlignVCenter);
    colonna->addLayout(riga);
    colonna->addWidget(spiegazione_);
    spiegazione_->setVisible(!spiegazione.isEmpty());
    colonna->addWidget(avviso_);
    avviso_->hide();
    connect(interruttore_, &QAbstractButton::clicked, this, [this] { emit richiesto(!attivo_); });
}

QString RigaInterruttore::titolo() const
{
    return titolo_->text();
}

QString RigaInterruttore::spiegazione() const
{
    return spiegazione_->text();
}

void RigaInterruttore::setTesti(const QString& titolo, const QString& spiegazione)
{
    titolo_->setText(titolo);
    interruttore_->setAccessibleName(titolo);
    spiegazione_->setText(spiegazione);
    spiegazione_->setVisible(!spiegazione.isEmpty());
}

void RigaInterruttore::setAttivo(bool v)
{
    attivo_ = v;
    static_cast<Interruttore*>(interruttore_)->setAcceso(v);
}

void RigaInterruttore::setAvviso(const QString& testo)
{
    avviso_->setText(testo);
    avviso_->setVisible(!testo.isEmpty());
}

QString RigaInterruttore::avviso() const
{
    return avviso_->text();
}

bool RigaInterruttore::disattivato() const
{
    return !interruttore_->isEnabled();
}

void RigaInterruttore::setDisattivato(bool v)
{
    interruttore_->setEnabled(!v);
}

void RigaInterruttore::collega(QObject* modello, const char* proprieta)
{
    const QMetaObject* meta = modello->metaObject();
    proprieta_ = meta->property(meta->indexOfProperty(proprieta));
    Q_ASSERT(proprieta_.isValid() && proprieta_.isWritable() && proprieta_.hasNotifySignal());
    modello_ = modello;
    connect(modello, proprieta_.notifySignal(), this, metaObject()->method(metaObject()->indexOfSlot("rileggi()")));
    connect(this, &RigaInterruttore::richiesto, modello, [this](bool valore) {
        if (modello_)
            proprieta_.write(modello_, valore);
    });
    rileggi();
}

void RigaInterruttore::rileggi()
{
    if (modello_)
        setAttivo(proprieta_.read(modello_).toBool());
}
