#include "CalendarioView.h"

#include "CalendarioManager.h"
#include "Clock.h"
#include "Colori.h"
#include "CompositorePromemoria.h"
#include "CompositoreView.h"
#include "DettaturaVocale.h"
#include "ElencoAgenda.h"
#include "StileAgenda.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace StileAgenda;

namespace {

constexpr int kMargineVerticale = 8;
// The details panel comes and goes on this spring.
constexpr CostantiMolla kMollaDettagli{0.35, 0.8};

// "calendar", "OGGI" and today's date.
class Intestazione final : public QWidget {
public:
    Intestazione(Clock& clock, QWidget* parent) : QWidget(parent), clock_(clock) {}
    QSize sizeHint() const override { return {0, QFontMetrics(fontOggi()).height() + 4}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRect riga(0, 0, width(), height() - 4);
        disegnaSimbolo(p, QStringLiteral("calendar"), 12, Colori::indaco(), QPointF(6, riga.center().y() + 0.5));
        p.setFont(fontOggi());
        p.setPen(secondario());
        p.drawText(riga.adjusted(12 + 6, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, CalendarioView::tr("OGGI"));
        p.setFont(carattere(11));
        p.setPen(terziario());
        p.drawText(riga, Qt::AlignRight | Qt::AlignVCenter,
                   CalendarioView::dataDiOggi(clock_.now().toLocalTime().date(), QLocale()));
    }

private:
    static QFont fontOggi()
    {
        QFont f = carattere(16, QFont::Bold);
        f.setLetterSpacing(QFont::AbsoluteSpacing, 2);
        return f;
    }
    Clock& clock_;
};

// A large symbol over a line of text, centred in the free space.
class SimboloETesto final : public QWidget {
public:
    SimboloETesto(QString simbolo, int lato, QColor colore, QString testo, QWidget* parent)
        : QWidget(parent), simbolo_(std::move(simbolo)), lato_(lato), colore_(std::move(colore)),
          testo_(std::move(testo))
    {
        setAccessibleName(testo_);
    }
    QSize sizeHint() const override { return {0, lato_ + 8 + altezzaTesto(width() > 0 ? width() : 300)}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int w) const override { return lato_ + 8 + altezzaTesto(w); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const int h = heightForWidth(width());
        const int cima = (height() - h) / 2;
        disegnaSimbolo(p, simbolo_, lato_, colore_, QPointF(width() / 2.0, cima + lato_ / 2.0));
        p.setFont(fontTesto());
        p.setPen(secondario());
        p.drawText(QRect(0, cima + lato_ + 8, width(), altezzaTesto(width())), Qt::AlignHCenter | Qt::TextWordWrap,
                   testo_);
    }

private:
    static QFont fontTesto() { return carattere(15, QFont::Medium); }
    int altezzaTesto(int w) const
    {
        return QFontMetrics(fontTesto()).boundingRect(QRect(0, 0, w, 1000), Qt::TextWordWrap, testo_).height();
    }
    QString simbolo_;
    int lato_;
    QColor colore_;
    QString testo_;
};

} // namespace

CalendarioView::CalendarioView(CalendarioManager& manager, Clock& clock, CompositorePromemoria& compositore,
                               QWidget* parent)
    : QWidget(parent), manager_(manager), clock_(clock), compositore_(&compositore)
{
    aggiornaCompositore();
}

CalendarioView::CalendarioView(CalendarioManager& manager, Clock& clock, std::unique_ptr<DettaturaVocale> dettatura,
                               QWidget* parent)
    : QWidget(parent), manager_(manager), clock_(clock), dettaturaPropria_(std::move(dettatura)),
      compositoreProprio_(std::make_unique<CompositorePromemoria>(manager_, clock_, *dettaturaPropria_)),
      compositore_(compositoreProprio_.get())
{
    aggiornaCompositore();
}

CalendarioView::~CalendarioView()
{
    // A composer that outlives the tab no longer brings this window forward.
    if (compositore_)
        compositore_->setAttivaApplicazione({});
}

DettaturaVocale& CalendarioView::dettatura() const { return compositore_->dettatura(); }

void CalendarioView::aggiornaCompositore()
{
    compositore_->setAttivaApplicazione([this] {
        if (QWidget* finestra = window(); finestra && finestra->isVisible())
            finestra->activateWindow();
    });

    auto* colonna = new QVBoxLayout(this);
    // Left and right, the padding every module of the panel keeps.
    colonna->setContentsMargins(0, kMargineVerticale, 0, kMargineVerticale);
    colonna->setSpacing(10);
    colonna->addWidget(new Intestazione(clock_, this));
    avvisoArchivio_ = new MessaggioAgenda(QStringLiteral("exclamationmark.triangle.fill"), Colori::arancione(), this);
    colonna->addWidget(avvisoArchivio_);

    corpo_ = new QStackedWidget(this);
    accesso_ = new QWidget(corpo_);
    auto* pannello = new QVBoxLayout(accesso_);
    pannello->setContentsMargins(16, 0, 16, 0);
    pannello->setSpacing(10);
    pannello->addStretch(1);
    pannello->addWidget(new SimboloETesto(QStringLiteral("lock.circle"), 32, secondario(),
                                          tr("Accesso al calendario non concesso"), accesso_));
    const QString etichetta = tr("Apri Impostazioni");
    auto misura = [etichetta] {
        const QFontMetrics fm(carattere(12, QFont::DemiBold));
        return QSize(12 + fm.horizontalAdvance(etichetta) + 12, 6 + fm.height() + 6);
    };
    apriImpostazioni_ = new PulsanteAgenda(misura,
                                           [etichetta](QPainter& p, const QRect& r) {
                                               riempiCapsula(p, r, conOpacita(Colori::indaco(), 0.18));
                                               p.setFont(carattere(12, QFont::DemiBold));
                                               p.setPen(AspettoScheda::leggibileSulPannello(
                                                   Colori::indaco(), 0, conOpacita(Colori::indaco(), 0.18)));
                                               p.drawText(r, Qt::AlignCenter, etichetta);
                                           },
                                           accesso_);
    connect(apriImpostazioni_, &QAbstractButton::clicked, &manager_, &CalendarioManager::apriImpostazioniPrivacy);
    pannello->addWidget(apriImpostazioni_, 0, Qt::AlignHCenter);
    avvisoImpostazioni_ = new QLabel(accesso_);
    avvisoImpostazioni_->setAlignment(Qt::AlignHCenter);
    avvisoImpostazioni_->setWordWrap(true);
    avvisoImpostazioni_->setFont(carattere(11));
    QPalette tavolozza = avvisoImpostazioni_->palette();
    tavolozza.setColor(QPalette::WindowText, secondario());
    avvisoImpostazioni_->setPalette(tavolozza);
    pannello->addWidget(avvisoImpostazioni_);
    auto avviso = [this] {
        avvisoImpostazioni_->setText(manager_.avvisoImpostazioni());
        avvisoImpostazioni_->setVisible(!manager_.avvisoImpostazioni().isEmpty());
    };
    connect(&manager_, &CalendarioManager::avvisoImpostazioniChanged, avvisoImpostazioni_, avviso);
    avviso();
    pannello->addStretch(1);
    corpo_->addWidget(accesso_);

    vuoto_ = new SimboloETesto(QStringLiteral("calendar.badge.checkmark"), 34, conOpacita(Colori::indaco(), 0.7),
                               tr("Nessun impegno oggi"), corpo_);
    corpo_->addWidget(vuoto_);
    elenco_ = new ElencoAgenda([this] { return clock_.now(); }, corpo_);
    connect(elenco_, &ElencoAgenda::completaRichiesto, &manager_, &CalendarioManager::completaPromemoria);
    corpo_->addWidget(elenco_);
    colonna->addWidget(corpo_, 1);

    barra_ = new BarraCompositore(*compositore_, this);
    colonna->addWidget(barra_);
    erroreCreazione_ =
        new MessaggioAgenda(QStringLiteral("exclamationmark.triangle.fill"), Colori::arancione(), this);
    colonna->addWidget(erroreCreazione_);
    erroreDettatura_ = new MessaggioAgenda({}, secondario(), this);
    colonna->addWidget(erroreDettatura_);
    // Out of the column: laid at its foot by disponiDettagli().
    dettagli_ = new PannelloDettagli(*compositore_, this);
    dettagli_->hide();
    dettagliDentro_.setTolleranza(0.5 / 255);
    animatore_.segui(&dettagliDentro_);
    connect(&animatore_, &AnimatoreMolle::passo, this, &CalendarioView::disponiDettagli);

    connect(&manager_, &CalendarioManager::impegniDiOggiChanged, this, &CalendarioView::aggiornaCorpo);
    connect(&manager_, &CalendarioManager::promemoriaChanged, this, &CalendarioView::aggiornaCorpo);
    connect(&manager_, &CalendarioManager::erroriPromemoriaChanged, this, &CalendarioView::aggiornaCorpo);
    connect(&manager_, &CalendarioManager::accessoNegatoChanged, this, &CalendarioView::aggiornaCorpo);
    connect(&manager_, &CalendarioManager::accessoPromemoriaNegatoChanged, this, &CalendarioView::aggiornaCorpo);
    connect(&manager_, &CalendarioManager::nonRispondeChanged, this, &CalendarioView::aggiornaCorpo);
    connect(compositore_.data(), &CompositorePromemoria::cambiato, this, &CalendarioView::aggiornaPiede);
    connect(&dettatura(), &DettaturaVocale::erroreChanged, this, &CalendarioView::aggiornaPiede);
    aggiornaCorpo();
    aggiornaPiede();
}

CalendarioView::Corpo CalendarioView::sceltaCorpo(bool accessoNegato, bool accessoPromemoriaNegato, bool nienteOggi)
{
    if (accessoNegato && accessoPromemoriaNegato)
        return Corpo::accesso;
    return nienteOggi ? Corpo::vuoto : Corpo::elenco;
}

CalendarioView::Corpo CalendarioView::corpo() const
{
    if (corpo_->currentWidget() == accesso_)
        return Corpo::accesso;
    return corpo_->currentWidget() == vuoto_ ? Corpo::vuoto : Corpo::elenco;
}

QString CalendarioView::dataDiOggi(const QDate& giorno, const QLocale& locale)
{
    // The locale's long date without its year (and the words that join it).
    QString formato = locale.dateFormat(QLocale::LongFormat);
    static const QRegularExpression anno(QStringLiteral("[\\s,.]*(?:'[^']*'\\s*)?y+[.,]?"));
    formato.remove(anno);
    // Cased as the language writes it: "lunedì 2 marzo", "Monday, March 2".
    return locale.toString(giorno, formato.trimmed());
}

void CalendarioView::aggiornaCorpo()
{
    const Corpo scelta = sceltaCorpo(manager_.accessoNegato(), manager_.accessoPromemoriaNegato(),
                                     manager_.impegniDiOggi().isEmpty() && manager_.promemoria().isEmpty());
    corpo_->setCurrentWidget(scelta == Corpo::accesso ? accesso_ : scelta == Corpo::vuoto ? vuoto_ : elenco_);
    elenco_->imposta(manager_.impegniDiOggi(), manager_.promemoria());
    elenco_->impostaErrori(manager_.erroriPromemoria());
    avvisoArchivio_->imposta(manager_.nonRisponde() ? std::optional(tr("Il calendario non risponde.")) : std::nullopt);
}

void CalendarioView::aggiornaPiede()
{
    erroreCreazione_->imposta(compositore_->erroreCreazione());
    erroreDettatura_->imposta(dettatura().errore());

    const double obiettivo = compositore_->mostraDettagli() ? 1 : 0;
    if (obiettivo == dettagliDentro_.obiettivo())
        return;
    dettagliDentro_.vaiA(obiettivo, kMollaDettagli);
    // Unseen, it is simply there or not.
    if (isVisible())
        animatore_.avvia();
    else
        animatore_.completa();
    disponiDettagli();
}

void CalendarioView::disponiDettagli()
{
    auto* colonna = static_cast<QBoxLayout*>(layout());
    const double dentro = dettagliDentro_.valore();
    if (dentro <= 0 && dettagliDentro_.ferma()) {
        dettagli_->hide();
        dettagli_->setGraphicsEffect(nullptr);
        colonna->setContentsMargins(0, kMargineVerticale, 0, kMargineVerticale);
        return;
    }
    // The column gives up the panel's height and its spacing as the panel
    // comes, and the panel rises from below the bottom edge into that room.
    const int altezza = dettagli_->sizeHint().height();
    const int posto = altezza + colonna->spacing();
    const int sotto = kMargineVerticale + std::max(0, int(std::lround(dentro * posto)));
    colonna->setContentsMargins(0, kMargineVerticale, 0, sotto);
    const int y = height() - kMargineVerticale - altezza;
    dettagli_->setGeometry(0, int(std::lround(y + (1 - dentro) * (height() - y))), width(), altezza);
    if (dettagliDentro_.ferma()) {
        dettagli_->setGraphicsEffect(nullptr);
    } else {
        auto* effetto = qobject_cast<QGraphicsOpacityEffect*>(dettagli_->graphicsEffect());
        if (!effetto) {
            effetto = new QGraphicsOpacityEffect(dettagli_);
            dettagli_->setGraphicsEffect(effetto);
        }
        effetto->setOpacity(std::clamp(dentro, 0.0, 1.0));
    }
    dettagli_->show();
}

void CalendarioView::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    disponiDettagli();
}

void CalendarioView::completaAnimazioni()
{
    animatore_.completa();
    // The column's new margins are laid out now, not at the next event loop pass.
    layout()->activate();
}
