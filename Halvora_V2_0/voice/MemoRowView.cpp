#include "MemoRowView.h"

#include "Colori.h"
#include "NotificheApp.h"
#include "PulsanteSimbolo.h"
#include "StileVoce.h"
#include "VoiceManager.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

using namespace StileVoce;

namespace {

// Room around the card for its hover growth and shadow.
constexpr int bordo = 4;
// The most of a transcript the row lays out.
constexpr qsizetype kCaratteriMostrati = 600;

// The memo's name on one line, elided at the right.
class NomeMemo final : public QWidget {
public:
    explicit NomeMemo(QWidget* parent) : QWidget(parent)
    {
        setFont(carattere(14, QFont::Medium));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void impostaTesto(const QString& t)
    {
        testo_ = t;
        update();
    }
    QString testo() const { return testo_; }
    QSize sizeHint() const override { return {120, fontMetrics().height()}; }
    QSize minimumSizeHint() const override { return {20, fontMetrics().height()}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(primario());
        p.drawText(rect(), Qt::AlignVCenter | Qt::AlignLeft,
                   fontMetrics().elidedText(testo_, Qt::ElideRight, width()));
    }

private:
    QString testo_;
};

} // namespace

void StatoRinomina::impostaUrl(const QUrl& url)
{
    url_ = url;
    emit urlCambiato();
}

void StatoRinomina::impostaNome(const QString& nome) { nome_ = nome; }

MemoRowView::MemoRowView(const QUrl& url, VoiceManager& manager, StatoRinomina& rinomina, QWidget* parent)
    : QWidget(parent), url_(url), manager_(manager), rinomina_(rinomina),
      animazioneEvidenza_(new QVariantAnimation(this))
{
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    play_ = new PulsanteSimbolo(QStringLiteral("play.circle.fill"), 22, primario(), this);
    play_->setObjectName(QStringLiteral("play"));
    nome_ = new NomeMemo(this);
    rinominaPulsante_ = new PulsanteSimbolo(QStringLiteral("pencil"), 13, secondario(), this);
    rinominaPulsante_->setObjectName(QStringLiteral("rinomina"));
    trascrivi_ = new PulsanteSimbolo(QStringLiteral("text.viewfinder"), 13, secondario(), this);
    trascrivi_->setObjectName(QStringLiteral("trascrivi"));
    trascrivi_->setToolTip(tr("Trascrivi il memo"));
    attesa_ = new IndicatoreAttivita(9, trascrivi_);
    elimina_ = new PulsanteSimbolo(QStringLiteral("trash"), 13, [] {
        QColor c = Colori::rosso();
        c.setAlphaF(0.8);
        return c;
    }(), this);
    elimina_->setObjectName(QStringLiteral("elimina"));

    rigaTrascrizione_ = new QWidget(this);
    trascrizione_ = new QLabel(rigaTrascrizione_);
    trascrizione_->setObjectName(QStringLiteral("trascrizione"));
    trascrizione_->setWordWrap(true);
    // A transcript longer than its three lines shows its beginning.
    trascrizione_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    trascrizione_->setFont(carattere(10));
    QPalette tinta = trascrizione_->palette();
    tinta.setColor(QPalette::WindowText, QColor(255, 255, 255, 150));
    trascrizione_->setPalette(tinta);
    trascrizione_->setAttribute(Qt::WA_TransparentForMouseEvents);
    trascrizione_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    copia_ = new PulsanteSimbolo(QStringLiteral("doc.on.doc"), 10, secondario(), rigaTrascrizione_);
    copia_->setObjectName(QStringLiteral("copia"));
    copia_->setToolTip(tr("Copia la trascrizione"));

    auto* riga = new QHBoxLayout;
    primaRiga_ = riga;
    riga->setSpacing(10);
    riga->setContentsMargins(0, 0, 0, 0);
    riga->addWidget(play_);
    riga->addWidget(nome_, 1);
    riga->addWidget(rinominaPulsante_);
    riga->addWidget(trascrivi_);
    riga->addWidget(elimina_);

    auto* rigaTesto = new QHBoxLayout(rigaTrascrizione_);
    rigaTesto->setContentsMargins(2, 0, 0, 0);
    rigaTesto->setSpacing(6);
    rigaTesto->addWidget(trascrizione_, 1, Qt::AlignTop);
    rigaTesto->addWidget(copia_, 0, Qt::AlignTop);

    auto* colonna = new QVBoxLayout(this);
    colonna->setSpacing(6);
    colonna->setContentsMargins(12 + bordo, 8 + bordo, 12 + bordo, 8 + bordo);
    colonna->addLayout(riga);
    colonna->addWidget(rigaTrascrizione_);

    connect(play_, &QAbstractButton::clicked, this, [this] { manager_.playMemo(url_); });
    connect(rinominaPulsante_, &QAbstractButton::clicked, this, [this] {
        rinomina_.impostaNome(nomeMostrato());
        rinomina_.impostaUrl(url_);
    });
    connect(trascrivi_, &QAbstractButton::clicked, this, [this] {
        manager_.transcribe(url_);
        emit trascrizioneRichiesta(url_);
    });
    connect(elimina_, &QAbstractButton::clicked, this, [this] { manager_.deleteMemo(url_); });
    connect(copia_, &QAbstractButton::clicked, this, [this] {
        QClipboard* appunti = QGuiApplication::clipboard();
        appunti->clear();
        appunti->setText(manager_.transcriptFor(url_));
    });

    connect(&manager_, &VoiceManager::playingURLChanged, this, &MemoRowView::aggiorna);
    connect(&manager_, &VoiceManager::trascrizioniChanged, this, &MemoRowView::aggiorna);
    connect(&manager_, &VoiceManager::trascrizioneInCorsoChanged, this, &MemoRowView::aggiorna);
    connect(&manager_, &VoiceManager::isRecordingChanged, this, &MemoRowView::aggiorna);
    connect(&manager_, &VoiceManager::recordingsChanged, this, &MemoRowView::aggiorna);
    connect(&rinomina_, &StatoRinomina::urlCambiato, this, &MemoRowView::aggiornaModifica);

    animazioneEvidenza_->setDuration(160);
    animazioneEvidenza_->setEasingCurve(QEasingCurve::OutCubic);
    connect(animazioneEvidenza_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        evidenza_ = v.toReal();
        update();
    });

    static_cast<NomeMemo*>(nome_)->impostaTesto(nomeMostrato());
    aggiorna();
    aggiornaModifica();
}

QString MemoRowView::nomeMostrato() const { return QFileInfo(url_.toLocalFile()).completeBaseName(); }

bool MemoRowView::inModifica() const { return rinomina_.url() == url_; }

void MemoRowView::aggiorna()
{
    play_->impostaSimbolo(manager_.playingURL() == url_ ? QStringLiteral("pause.circle.fill")
                                                         : QStringLiteral("play.circle.fill"));
    const QString testo = manager_.transcriptFor(url_);
    const bool inCorso = manager_.trascrizioneInCorso() == url_;
    // A memo still being recorded is no file to transcribe yet.
    trascrivi_->setVisible(testo.isEmpty() && !manager_.inScrittura(url_));
    trascrivi_->setEnabled(!inCorso);
    trascrivi_->impostaSimbolo(inCorso ? QString() : QStringLiteral("text.viewfinder"));
    attesa_->move((trascrivi_->sizeHint().width() - attesa_->width()) / 2,
                  (trascrivi_->sizeHint().height() - attesa_->height()) / 2);
    attesa_->setVisible(inCorso);
    rigaTrascrizione_->setVisible(!testo.isEmpty());
    // Three lines show far less than this; laying out more would only cost.
    trascrizione_->setText(testo.left(kCaratteriMostrati));
    // At most three lines of transcript.
    trascrizione_->setMaximumHeight(QFontMetrics(trascrizione_->font()).lineSpacing() * 3);
}

QLineEdit* MemoRowView::campo()
{
    // Made on the first rename: a long list builds many rows and renames few.
    if (campo_)
        return campo_;
    campo_ = new QLineEdit(this);
    campo_->setObjectName(QStringLiteral("campoNome"));
    campo_->setPlaceholderText(tr("Nuovo nome..."));
    campo_->setFont(carattere(12, QFont::Medium));
    campo_->setStyleSheet(QStringLiteral("QLineEdit { color: white; background: rgba(255,255,255,0.10);"
                                         " border: 1px solid rgba(255,255,255,0.25); border-radius: 5px;"
                                         " padding: 2px 6px; }"));
    primaRiga_->insertWidget(primaRiga_->indexOf(nome_) + 1, campo_, 1);
    connect(campo_, &QLineEdit::textEdited, this, [this](const QString& t) { rinomina_.impostaNome(t); });
    connect(campo_, &QLineEdit::returnPressed, this, &MemoRowView::conferma);
    return campo_;
}

void MemoRowView::aggiornaModifica()
{
    const bool modifica = inModifica();
    nome_->setVisible(!modifica);
    rinominaPulsante_->setVisible(!modifica);
    if (modifica) {
        QLineEdit* c = campo();
        c->setVisible(true);
        c->setText(rinomina_.nome());
        c->setFocus(Qt::OtherFocusReason);
    } else if (campo_) {
        campo_->setVisible(false);
        campo_->clearFocus();
    }
}

void MemoRowView::conferma()
{
    const QString nome = rinomina_.nome().trimmed();
    if (!nome.isEmpty())
        manager_.renameMemo(url_, nome);
    rinomina_.impostaUrl({});
}

void MemoRowView::impostaSottoIlMouse(bool valore)
{
    if (sottoIlMouse_ == valore)
        return;
    sottoIlMouse_ = valore;
    animazioneEvidenza_->stop();
    animazioneEvidenza_->setStartValue(evidenza_);
    animazioneEvidenza_->setEndValue(valore ? 1.0 : 0.0);
    animazioneEvidenza_->start();
}

void MemoRowView::enterEvent(QEnterEvent*) { impostaSottoIlMouse(true); }
void MemoRowView::leaveEvent(QEvent*) { impostaSottoIlMouse(false); }

void MemoRowView::mousePressEvent(QMouseEvent* e)
{
    premuto_ = e->button() == Qt::LeftButton;
    inizioPressione_ = e->position().toPoint();
}

void MemoRowView::mouseMoveEvent(QMouseEvent* e)
{
    if (!premuto_ || !(e->buttons() & Qt::LeftButton))
        return;
    if ((e->position().toPoint() - inizioPressione_).manhattanLength() < QApplication::startDragDistance())
        return;
    premuto_ = false;
    avviaTrascinamento();
}

void MemoRowView::avviaTrascinamento()
{
    // The shell starts watching the buttons before the drag takes the pointer.
    emit NotificheApp::shared().trascinamentoAvviato();
    auto* dati = new QMimeData;
    // A file URL: the drop keeps the file's own name, .m4a included.
    dati->setUrls({QUrl::fromLocalFile(QFileInfo(url_.toLocalFile()).absoluteFilePath())});
    if (consegnaTrascinamento) {
        consegnaTrascinamento(dati);
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(dati);
    drag->setPixmap(grab().scaledToWidth(qMin(width(), 260), Qt::SmoothTransformation));
    drag->exec(Qt::CopyAction);
}

void MemoRowView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF carta = QRectF(rect()).adjusted(bordo, bordo, -bordo, -bordo);
    const qreal scala = 1.0 + 0.012 * evidenza_;
    p.translate(carta.center());
    p.scale(scala, scala);
    p.translate(-carta.center());

    QPainterPath forma;
    forma.addRoundedRect(carta, 14, 14);
    if (evidenza_ > 0) {
        // Soft shadow below the card: a few widened layers, 3 px down.
        for (int i = 4; i >= 1; --i) {
            const qreal allarga = 8.0 * i / 4;
            QPainterPath ombra;
            ombra.addRoundedRect(carta.translated(0, 3).adjusted(-allarga / 2, -allarga / 2, allarga / 2, allarga / 2),
                                 14 + allarga / 2, 14 + allarga / 2);
            p.fillPath(ombra, QColor(0, 0, 0, int(255 * 0.18 * evidenza_ / 4)));
        }
    }
    p.fillPath(forma, QColor(255, 255, 255, int(255 * (0.10 + 0.06 * evidenza_))));
    p.setPen(QPen(QColor(255, 255, 255, int(255 * 0.08)), 0.5));
    p.drawPath(forma);
}
