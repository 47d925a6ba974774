#include "AiutanteVideo.h"

#include "PaginaTacca.h"
#include "PonteDebole.h"
#include "StratoComandi.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QPainterPath>
#include <QSocketNotifier>
#include <QTimer>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>
#include <cmath>
#include <cstdio>
#include <unistd.h>

using SovrapposizioneVideo::Zona;

namespace {
constexpr double kRaggio = 13; // the card's corner less its border
}

AiutanteVideo::AiutanteVideo(QUrl servizio, QUrl origine)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), servizio_(std::move(servizio)),
      origine_(std::move(origine)), profilo_(new QWebEngineProfile(this)),
      pagina_(new PaginaTacca(profilo_, servizio_, origine_, this)), canale_(new QWebChannel(this)),
      vista_(new QWebEngineView(this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setWindowTitle(QStringLiteral("halvora-video"));
    // Nothing of a video stays on disk.
    profilo_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profilo_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);

    QFile canaleJs(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (canaleJs.open(QIODevice::ReadOnly)) {
        QWebEngineScript s;
        s.setName(QStringLiteral("qwebchannel"));
        s.setSourceCode(QString::fromUtf8(canaleJs.readAll()));
        s.setInjectionPoint(QWebEngineScript::DocumentCreation);
        s.setWorldId(QWebEngineScript::MainWorld);
        s.setRunsOnSubFrames(false);
        pagina_->scripts().insert(s);
    }
    canale_->registerObject(QStringLiteral("notch"),
                            new PonteDebole(this, [this](const QString& corpo) { daPagina(corpo); }, this));
    pagina_->setWebChannel(canale_);
    pagina_->setBackgroundColor(Qt::black);
    vista_->setPage(pagina_);
    vista_->setContextMenuPolicy(Qt::NoContextMenu);
    vista_->setFocusPolicy(Qt::NoFocus);

    strato_ = new StratoComandi(
        {.premuto =
             [this](Zona z) {
                 if (z == Zona::alterna)
                     esegui(QStringLiteral("alterna()"));
                 else
                     scrivi({{QStringLiteral("e"), QStringLiteral("azione")},
                             {QStringLiteral("nome"), z == Zona::riporta ? QStringLiteral("riporta")
                                                                          : QStringLiteral("chiudi")}});
             },
         .maniglia =
             [](int fase, QPointF p) {
                 static const char* const fasi[] = {"inizio", "sposta", "fine"};
                 scrivi({{QStringLiteral("e"), QStringLiteral("maniglia")},
                         {QStringLiteral("fase"), QLatin1String(fasi[fase])},
                         {QStringLiteral("x"), p.x()},
                         {QStringLiteral("y"), p.y()}});
             }},
        this);
    strato_->raise();
    resize(320, 180);
}

AiutanteVideo::~AiutanteVideo()
{
    // The page goes before its profile.
    vista_->setPage(nullptr);
    delete pagina_;
}

void AiutanteVideo::avvia()
{
    // The application is gone: nobody embeds the window any more.
    const pid_t genitore = getppid();
    auto* guardia = new QTimer(this);
    connect(guardia, &QTimer::timeout, this, [genitore] {
        if (getppid() != genitore)
            QApplication::quit();
    });
    guardia->start(1000);
    // The view turns its window into one drawn with OpenGL when it makes
    // its first page: a window made before that is destroyed then, and an
    // application embedding it would hold nothing. So the window is made
    // and announced after the first load, an empty one, and only then are
    // commands read.
    connect(pagina_, &QWebEnginePage::loadFinished, this, [this] {
        if (annunciata_)
            return;
        annuncia();
        ingresso_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
        connect(ingresso_, &QSocketNotifier::activated, this, &AiutanteVideo::leggiIngresso);
    });
    pagina_->caricaPagina(QString());
}

void AiutanteVideo::annuncia()
{
    annunciata_ = winId();
    scrivi({{QStringLiteral("e"), QStringLiteral("finestra")}, {QStringLiteral("id"), double(annunciata_)}});
}

bool AiutanteVideo::event(QEvent* e)
{
    // Remade all the same: the application embeds the new one.
    if (e->type() == QEvent::WinIdChange && annunciata_ && internalWinId() && internalWinId() != annunciata_)
        annuncia();
    return QWidget::event(e);
}

void AiutanteVideo::leggiIngresso()
{
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        ingresso_->setEnabled(false);
        QApplication::quit();
        return;
    }
    righe_.aggiungi(QByteArray(buffer, int(n)));
    while (const auto r = righe_.prossima())
        if (const auto c = ProtocolloVideo::leggi(*r))
            comando(*c);
}

void AiutanteVideo::comando(const QJsonObject& c)
{
    const QString nome = c.value(QLatin1String("c")).toString();
    if (nome == QLatin1String("carica")) {
        const auto inizio = ProtocolloVideo::numero(c, QStringLiteral("inizio"));
        const auto p = ProtocolloVideo::pagina(c.value(QLatin1String("id")).toString(), inizio.value_or(-1),
                                               c.value(QLatin1String("lingua")).toString(),
                                               c.value(QLatin1String("muto")).toBool());
        if (p)
            pagina_->caricaPagina(ProtocolloVideo::html(*p, servizio_));
        else
            scrivi({{QStringLiteral("tipo"), QStringLiteral("errore")}});
    } else if (nome == QLatin1String("alterna") || nome == QLatin1String("muta") || nome == QLatin1String("smuta")) {
        esegui(nome + QStringLiteral("()"));
    } else if (nome == QLatin1String("allinea")) {
        if (const auto s = ProtocolloVideo::numero(c, QStringLiteral("s")); s && *s >= 0)
            esegui(QString::asprintf("allinea(%.2f)", *s));
    } else if (nome == QLatin1String("tempo")) {
        const auto n = ProtocolloVideo::numero(c, QStringLiteral("n"));
        if (!n)
            return;
        const double chiesta = *n;
        pagina_->runJavaScript(QStringLiteral("player && player.getCurrentTime ? player.getCurrentTime() : null"),
                               [chiesta](const QVariant& v) {
                                   QJsonObject r{{QStringLiteral("e"), QStringLiteral("tempo")},
                                                 {QStringLiteral("n"), chiesta}};
                                   bool ok = false;
                                   const double t = v.toDouble(&ok);
                                   if (ok && std::isfinite(t) && v.typeId() == QMetaType::Double)
                                       r.insert(QStringLiteral("t"), t);
                                   scrivi(r);
                               });
    } else if (nome == QLatin1String("mostra")) {
        show();
    } else if (nome == QLatin1String("vista")) {
        if (const auto v = SovrapposizioneVideo::daJson(c))
            strato_->imposta(*v);
    }
}

void AiutanteVideo::daPagina(const QString& corpo)
{
    if (const auto m = ProtocolloVideo::messaggioPagina(corpo.toUtf8()))
        scrivi(*m);
}

void AiutanteVideo::esegui(const QString& script)
{
    // A failed evaluation is left alone: the next tick tries again.
    pagina_->runJavaScript(script);
}

void AiutanteVideo::scrivi(const QJsonObject& o)
{
    const QByteArray r = ProtocolloVideo::riga(o);
    if (std::fwrite(r.constData(), 1, size_t(r.size()), stdout) != size_t(r.size()) || std::fflush(stdout) != 0)
        QApplication::quit();
}

void AiutanteVideo::resizeEvent(QResizeEvent*)
{
    vista_->setGeometry(rect());
    strato_->setGeometry(rect());
    // The card's rounded corners: the window itself is cut to them.
    QPainterPath forma;
    forma.addRoundedRect(QRectF(rect()), kRaggio, kRaggio);
    setMask(QRegion(forma.toFillPolygon().toPolygon()));
}

void AiutanteVideo::enterEvent(QEnterEvent*)
{
    strato_->setSopra(true);
}

void AiutanteVideo::leaveEvent(QEvent*)
{
    strato_->setSopra(false);
}
