#include "VoiceMemoView.h"

#include "Colori.h"
#include "ElencoProgressivo.h"
#include "MemoRowView.h"
#include "NomiMemo.h"
#include "PulsanteRegistrazione.h"
#include "Simboli.h"
#include "StileVoce.h"
#include "VoiceManager.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>

using namespace StileVoce;

namespace {

// "VOICE MEMOS" with its red microphone.
class Intestazione final : public QWidget {
public:
    explicit Intestazione(QWidget* parent) : QWidget(parent)
    {
        font_ = carattere(16, QFont::Bold);
        font_.setLetterSpacing(QFont::AbsoluteSpacing, 2);
        setFixedHeight(QFontMetrics(font_).height() + 8);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int alto = height() - 8;
        const int simbolo = 11;
        p.drawPixmap(0, (alto - simbolo) / 2,
                     Simboli::pixmap(QStringLiteral("mic.fill"), simbolo, Colori::rosso(), devicePixelRatioF()));
        p.setFont(font_);
        p.setPen(secondario());
        p.drawText(QRect(simbolo + 6, 0, width() - simbolo - 6, alto), Qt::AlignVCenter | Qt::AlignLeft,
                   VoiceMemoView::tr("VOICE MEMOS"));
    }

private:
    QFont font_;
};

// The elapsed time while recording, else the last error, else nothing.
class RigaStato final : public QWidget {
public:
    RigaStato(VoiceManager& m, QWidget* parent) : QWidget(parent), m_(m)
    {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setObjectName(QStringLiteral("stato"));
    }

    QString testo() const
    {
        if (m_.isRecording())
            return NomiMemo::testoDurata(m_.recordingDuration());
        return m_.errorMessage();
    }
    void aggiorna()
    {
        setVisible(!testo().isEmpty());
        updateGeometry();
        update();
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int w) const override
    {
        if (m_.isRecording())
            return QFontMetrics(carattereDurata()).height();
        const QFontMetrics fm(carattere(11));
        return fm.boundingRect(QRect(0, 0, qMax(1, w - 24 - 16), 1000), Qt::TextWordWrap, testo()).height();
    }
    QSize sizeHint() const override { return {200, heightForWidth(width() > 0 ? width() : 300)}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (m_.isRecording()) {
            p.setFont(carattereDurata());
            p.setPen(Colori::rosso());
            p.drawText(rect(), Qt::AlignCenter, testo());
            return;
        }
        // Symbol and message centred, the message wrapped on several lines.
        const QFont f = carattere(11);
        const QFontMetrics fm(f);
        const int simbolo = 12;
        const QRect zona = rect().adjusted(12, 0, -12, 0);
        const QRect testoR = fm.boundingRect(QRect(0, 0, zona.width() - simbolo - 4, 1000),
                                             Qt::TextWordWrap | Qt::AlignHCenter, testo());
        const int largo = simbolo + 4 + testoR.width();
        const int x = zona.left() + (zona.width() - largo) / 2;
        p.drawPixmap(x, (fm.height() - simbolo) / 2,
                     Simboli::pixmap(QStringLiteral("exclamationmark.triangle.fill"), simbolo, secondario(),
                                     devicePixelRatioF()));
        p.setFont(f);
        p.setPen(secondario());
        p.drawText(QRect(x + simbolo + 4, 0, testoR.width(), height()), Qt::TextWordWrap | Qt::AlignHCenter,
                   testo());
    }

private:
    static QFont carattereDurata()
    {
        // The interface font's digits share one width, so the time does not jitter.
        return carattere(16, QFont::DemiBold);
    }
    VoiceManager& m_;
};

// "Nessuna registrazione" with its waveform.
class StatoVuoto final : public QWidget {
public:
    explicit StatoVuoto(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("statoVuoto"));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QColor rosso = Colori::rosso();
        rosso.setAlphaF(0.7);
        const int simbolo = 34;
        int y = 12;
        p.drawPixmap((width() - simbolo) / 2, y,
                     Simboli::pixmap(QStringLiteral("waveform"), simbolo, rosso, devicePixelRatioF()));
        y += simbolo + 8;
        const QFont titolo = carattere(13, QFont::Medium);
        p.setFont(titolo);
        p.setPen(secondario());
        p.drawText(QRect(0, y, width(), QFontMetrics(titolo).height()), Qt::AlignHCenter,
                   VoiceMemoView::tr("Nessuna registrazione"));
        y += QFontMetrics(titolo).height() + 8;
        const QFont nota = carattere(10);
        p.setFont(nota);
        p.setPen(terziario());
        p.drawText(QRect(0, y, width(), QFontMetrics(nota).height()), Qt::AlignHCenter,
                   VoiceMemoView::tr("Premi il pulsante rosso per iniziare."));
    }
};

} // namespace

VoiceMemoView::VoiceMemoView(VoiceManager& manager, QWidget* parent)
    : QWidget(parent), manager_(manager), rinomina_(new StatoRinomina(this))
{
    pulsante_ = new PulsanteRegistrazione(this);
    pulsante_->setObjectName(QStringLiteral("registra"));
    stato_ = new RigaStato(manager_, this);
    vuoto_ = new StatoVuoto(this);

    scorrimento_ = new QScrollArea(this);
    scorrimento_->setObjectName(QStringLiteral("elencoMemo"));
    scorrimento_->setFrameShape(QFrame::NoFrame);
    scorrimento_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scorrimento_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scorrimento_->setWidgetResizable(true);
    scorrimento_->setStyleSheet(QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"));
    contenitore_ = new QWidget;
    elenco_ = new QVBoxLayout(contenitore_);
    elenco_->setContentsMargins(0, 4, 0, 4);
    elenco_->setSpacing(10 - 8); // the rows keep 4 px around their card
    elenco_->addStretch(1);
    scorrimento_->setWidget(contenitore_);
    progressivo_ = new ElencoProgressivo(*scorrimento_, *elenco_, [this](int i) { return riga(memo_[i]); }, this);
    // Rows fade out at both edges of the list.
    auto* dissolvenza = new QGraphicsOpacityEffect(scorrimento_);
    QLinearGradient gradiente(0, 0, 0, 1);
    gradiente.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradiente.setColorAt(0.0, Qt::transparent);
    gradiente.setColorAt(0.05, Qt::black);
    gradiente.setColorAt(0.93, Qt::black);
    gradiente.setColorAt(1.0, Qt::transparent);
    dissolvenza->setOpacityMask(gradiente);
    scorrimento_->setGraphicsEffect(dissolvenza);

    auto* colonna = new QVBoxLayout(this);
    // Left and right, the padding every module of the panel keeps.
    colonna->setContentsMargins(0, 8, 0, 8);
    colonna->setSpacing(16);
    colonna->addWidget(new Intestazione(this));
    colonna->addWidget(pulsante_, 0, Qt::AlignHCenter);
    colonna->addWidget(stato_);
    colonna->addWidget(vuoto_, 1);
    colonna->addWidget(scorrimento_, 1);

    // The manager leaves the name of a memo being renamed to the user.
    connect(rinomina_, &StatoRinomina::urlCambiato, this, [this] { manager_.setMemoInRinomina(rinomina_->url()); });
    connect(pulsante_, &QAbstractButton::clicked, this, [this] {
        if (manager_.isRecording())
            manager_.stopRecording();
        else
            manager_.requestMicrophoneAndRecord();
    });
    connect(&manager_, &VoiceManager::isRecordingChanged, this,
            [this] { pulsante_->impostaRegistrando(manager_.isRecording()); });
    connect(&manager_, &VoiceManager::cambiato, this, &VoiceMemoView::aggiornaStato);
    connect(&manager_, &VoiceManager::recordingsChanged, this, &VoiceMemoView::aggiornaElenco);

    pulsante_->impostaRegistrando(manager_.isRecording());
    aggiornaStato();
    aggiornaElenco();
}

void VoiceMemoView::showEvent(QShowEvent*)
{
    manager_.chiediAccessoMicrofono();
    // Opening the tab during a recording starts the pulse at once.
    pulsante_->impostaRegistrando(manager_.isRecording());
    pulsante_->riavviaPulsazione();
}

QList<MemoRowView*> VoiceMemoView::righe() const
{
    QList<MemoRowView*> r;
    for (int i = 0; i < elenco_->count(); ++i)
        if (auto* riga = qobject_cast<MemoRowView*>(elenco_->itemAt(i)->widget()))
            r << riga;
    return r;
}

QString VoiceMemoView::testoStato() const
{
    return stato_->isVisibleTo(this) ? static_cast<RigaStato*>(stato_)->testo() : QString();
}

void VoiceMemoView::aggiornaStato()
{
    static_cast<RigaStato*>(stato_)->aggiorna();
}

MemoRowView* VoiceMemoView::riga(const QUrl& memo)
{
    MemoRowView* r = righe_.value(memo);
    if (!r) {
        r = new MemoRowView(memo, manager_, *rinomina_, contenitore_);
        connect(r, &MemoRowView::trascrizioneRichiesta, this, &VoiceMemoView::trascrizioneRichiesta);
        righe_.insert(memo, r);
    }
    return r;
}

void VoiceMemoView::aggiornaElenco()
{
    memo_ = manager_.recordings();
    const QSet<QUrl> presenti(memo_.begin(), memo_.end());
    // Rows of memos that are gone go; the others keep their state and move into order.
    for (auto it = righe_.begin(); it != righe_.end();) {
        if (!presenti.contains(it.key())) {
            it.value()->deleteLater();
            elenco_->removeWidget(it.value());
            it.value()->hide();
            it = righe_.erase(it);
        } else {
            ++it;
        }
    }
    progressivo_->imposta(int(memo_.size()));
    vuoto_->setVisible(memo_.isEmpty());
    scorrimento_->setVisible(!memo_.isEmpty());
}
