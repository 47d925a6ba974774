#include "PlayerTaccaAiutante.h"

#include "Aiutanti.h"

#include <QJsonDocument>
#include <QLocale>
#include <QProcess>
#include <QTimer>
#include <cmath>

namespace {

// A helper that does not leave on end of input is asked, then made, to go.
constexpr int kAttesaUscitaMs = 1500;
constexpr int kAttesaTermineMs = 4000;

QJsonObject comando(const char* nome) { return {{QStringLiteral("c"), QLatin1String(nome)}}; }

QUrl daAmbiente(const char* variabile, const QUrl& ripiego)
{
    const QString v = qEnvironmentVariable(variabile);
    if (v.isEmpty())
        return ripiego;
    return ProtocolloVideo::origine(v).value_or(ripiego);
}

} // namespace

PlayerTaccaAiutante::Configurazione PlayerTaccaAiutante::predefinita()
{
    Configurazione c;
#ifdef HALVORA_VIDEO
    c.programma = Aiutanti::percorso(QStringLiteral("halvora-video"), QStringLiteral(HALVORA_VIDEO));
#else
    c.programma = Aiutanti::percorso(QStringLiteral("halvora-video"));
#endif
    const QUrl servizio = ProtocolloVideo::origine(QStringLiteral(HALVORA_SERVIZIO_VIDEO)).value_or(QUrl());
    const QUrl origine = ProtocolloVideo::origine(QStringLiteral(HALVORA_ORIGINE_VIDEO)).value_or(QUrl());
    c.servizio = daAmbiente("HALVORA_VIDEO_SERVIZIO", servizio);
    // A service of one's own (tests, a mirror) serves the page's origin too.
    c.origine = daAmbiente("HALVORA_VIDEO_ORIGINE", c.servizio == servizio ? origine : c.servizio);
    c.lingua = ProtocolloVideo::lingua(QLocale().uiLanguages().value(0));
    return c;
}

PlayerTaccaAiutante::PlayerTaccaAiutante(Configurazione c, QObject* parent) : PlayerTacca(parent), c_(std::move(c))
{
}

PlayerTaccaAiutante::~PlayerTaccaAiutante()
{
    if (QProcess* p = processo_) {
        p->disconnect(this);
        p->kill();
        p->waitForFinished(1000);
    }
}

qint64 PlayerTaccaAiutante::pidAiutante() const
{
    return processo_ ? processo_->processId() : 0;
}

void PlayerTaccaAiutante::carica(const QString& videoID, double inizio, bool muto)
{
    const auto pagina = ProtocolloVideo::pagina(videoID, inizio, c_.lingua, muto);
    if (!pagina || c_.servizio.isEmpty() || c_.origine.isEmpty()) {
        // Nothing that could be loaded: the page's own "cannot play".
        QTimer::singleShot(0, this, [this] { emit messaggio(QStringLiteral(R"({"tipo":"errore"})")); });
        return;
    }
    if (!processo_) {
        auto* p = new QProcess(this);
        processo_ = p;
        righe_ = {};
        p->setProgram(c_.programma);
        p->setArguments({QStringLiteral("--servizio"), c_.servizio.toString(), QStringLiteral("--origine"),
                         c_.origine.toString()});
        p->setStandardErrorFile(QProcess::nullDevice());
        connect(p, &QProcess::readyReadStandardOutput, this, [this, p] {
            if (p == processo_)
                leggiUscita();
        });
        auto persa = [this, p] {
            if (p != processo_)
                return;
            // Gone on its own: whatever it showed is lost.
            processo_ = nullptr;
            vista_.reset();
            p->deleteLater();
            rispondiTutti();
            if (finestra_) {
                finestra_.reset();
                emit finestraChanged();
            }
            emit messaggio(QStringLiteral(R"({"tipo":"errore"})"));
        };
        connect(p, &QProcess::finished, this, persa);
        connect(p, &QProcess::errorOccurred, this, [persa](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                persa();
        });
        p->start();
    }
    QJsonObject c = comando("carica");
    c.insert(QStringLiteral("id"), pagina->id);
    c.insert(QStringLiteral("inizio"), double(pagina->inizio));
    c.insert(QStringLiteral("lingua"), pagina->lingua);
    c.insert(QStringLiteral("muto"), pagina->muto);
    manda(c);
    if (vista_)
        mostraVista(*vista_);
}

void PlayerTaccaAiutante::svuota()
{
    if (!processo_)
        return;
    QProcess* p = processo_;
    processo_ = nullptr;
    // The next video starts from its own card's view, not this one's last.
    vista_.reset();
    termina(p);
    rispondiTutti();
    if (finestra_) {
        finestra_.reset();
        emit finestraChanged();
    }
}

void PlayerTaccaAiutante::termina(QProcess* p)
{
    p->disconnect(this);
    connect(p, &QProcess::finished, p, &QObject::deleteLater);
    p->closeWriteChannel();
    QPointer<QProcess> debole(p);
    QTimer::singleShot(kAttesaUscitaMs, p, [debole] {
        if (debole && debole->state() != QProcess::NotRunning)
            debole->terminate();
    });
    QTimer::singleShot(kAttesaTermineMs, p, [debole] {
        if (debole && debole->state() != QProcess::NotRunning)
            debole->kill();
    });
}

void PlayerTaccaAiutante::rispondiTutti()
{
    const auto attese = std::exchange(inAttesa_, {});
    for (const auto& r : attese)
        r(std::nullopt);
}

void PlayerTaccaAiutante::alterna() { manda(comando("alterna")); }
void PlayerTaccaAiutante::muta() { manda(comando("muta")); }
void PlayerTaccaAiutante::smuta() { manda(comando("smuta")); }
void PlayerTaccaAiutante::mostraFinestra() { manda(comando("mostra")); }

void PlayerTaccaAiutante::allinea(double secondi)
{
    if (!std::isfinite(secondi))
        return;
    QJsonObject c = comando("allinea");
    c.insert(QStringLiteral("s"), std::max(0.0, secondi));
    manda(c);
}

void PlayerTaccaAiutante::chiediTempo(std::function<void(std::optional<double>)> risposta)
{
    if (!processo_) {
        risposta(std::nullopt);
        return;
    }
    const int n = ++prossima_;
    inAttesa_.insert(n, std::move(risposta));
    QJsonObject c = comando("tempo");
    c.insert(QStringLiteral("n"), n);
    manda(c);
}

void PlayerTaccaAiutante::mostraVista(const SovrapposizioneVideo::Vista& v)
{
    vista_ = v;
    QJsonObject c = SovrapposizioneVideo::json(v);
    c.insert(QStringLiteral("c"), QStringLiteral("vista"));
    manda(c);
}

void PlayerTaccaAiutante::manda(const QJsonObject& c)
{
    if (!processo_)
        return;
    const QByteArray r = ProtocolloVideo::riga(c);
    if (r.size() <= ProtocolloVideo::kMassimoRiga)
        processo_->write(r);
}

void PlayerTaccaAiutante::leggiUscita()
{
    righe_.aggiungi(processo_->readAllStandardOutput());
    while (processo_) {
        const auto r = righe_.prossima();
        if (!r)
            break;
        if (const auto o = ProtocolloVideo::leggi(*r))
            gestisci(*o);
    }
}

void PlayerTaccaAiutante::gestisci(const QJsonObject& o)
{
    if (o.contains(QLatin1String("tipo"))) {
        const QByteArray testo = QJsonDocument(o).toJson(QJsonDocument::Compact);
        if (const auto m = ProtocolloVideo::messaggioPagina(testo))
            emit messaggio(QString::fromUtf8(QJsonDocument(*m).toJson(QJsonDocument::Compact)));
        return;
    }
    const QString e = o.value(QLatin1String("e")).toString();
    if (e == QLatin1String("finestra")) {
        const auto id = ProtocolloVideo::numero(o, QStringLiteral("id"));
        if (!id || *id <= 0 || *id > 0xFFFFFFFFu || *id != std::floor(*id))
            return;
        finestra_ = quintptr(*id);
        emit finestraChanged();
    } else if (e == QLatin1String("tempo")) {
        const auto n = ProtocolloVideo::numero(o, QStringLiteral("n"));
        if (!n)
            return;
        const auto risposta = inAttesa_.take(int(*n));
        if (risposta)
            risposta(ProtocolloVideo::numero(o, QStringLiteral("t")));
    } else if (e == QLatin1String("azione")) {
        const QString nome = o.value(QLatin1String("nome")).toString();
        if (nome == QLatin1String("riporta"))
            emit azione(SovrapposizioneVideo::Zona::riporta);
        else if (nome == QLatin1String("chiudi"))
            emit azione(SovrapposizioneVideo::Zona::chiudi);
    } else if (e == QLatin1String("maniglia")) {
        const QString fase = o.value(QLatin1String("fase")).toString();
        const auto x = ProtocolloVideo::numero(o, QStringLiteral("x"));
        const auto y = ProtocolloVideo::numero(o, QStringLiteral("y"));
        if (!x || !y)
            return;
        const QPointF punto(*x, *y);
        if (fase == QLatin1String("inizio"))
            emit maniglia(Fase::inizio, punto);
        else if (fase == QLatin1String("sposta"))
            emit maniglia(Fase::sposta, punto);
        else if (fase == QLatin1String("fine"))
            emit maniglia(Fase::fine, punto);
    }
}
