#include "TastoKGlobalAccel.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QKeySequence>

namespace {

const QString kServizio = QStringLiteral("org.kde.kglobalaccel");
const QString kPercorso = QStringLiteral("/kglobalaccel");
const QString kInterfaccia = QStringLiteral("org.kde.KGlobalAccel");
const QString kInterfacciaComponente = QStringLiteral("org.kde.kglobalaccel.Component");
const int kTasto = (Qt::CTRL | Qt::ALT | Qt::Key_N).toCombined();
// The service's flags for setShortcut.
constexpr uint kPredefinita = 1;
constexpr uint kPresente = 2;

QDBusMessage chiamata(const QString& metodo, const QVariantList& argomenti)
{
    QDBusMessage m = QDBusMessage::createMethodCall(kServizio, kPercorso, kInterfaccia, metodo);
    m.setArguments(argomenti);
    return m;
}

} // namespace

QStringList TastoKGlobalAccel::azione()
{
    return {kComponente, kAzione, QStringLiteral("Halvora"), tr("Apri e chiudi la notch")};
}

TastoKGlobalAccel::TastoKGlobalAccel(QDBusConnection bus, QObject* parent) : TastoGlobale(parent), bus_(std::move(bus))
{
    qDBusRegisterMetaType<QList<int>>();
    bus_.connect(kServizio, kPercorso, kInterfaccia, QStringLiteral("yourShortcutGotChanged"), this,
                 SLOT(cambiataDaUtente(QStringList, QList<int>)));
}

bool TastoKGlobalAccel::registra()
{
    const int giro = ++giro_;
    // The service takes the calls in the order sent and answers in that
    // order: the action exists, its component's presses are followed, it has
    // its default, and then asks to be live; the last answer tells, once the
    // presses are followed already.
    bus_.asyncCall(chiamata(QStringLiteral("doRegister"), {azione()}));
    auto* componente = new QDBusPendingCallWatcher(
        bus_.asyncCall(chiamata(QStringLiteral("getComponent"), {kComponente})), this);
    connect(componente, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> percorso = *w;
        if (!percorso.isError())
            seguiComponente(percorso.value());
    });
    bus_.asyncCall(chiamata(QStringLiteral("setShortcut"),
                            {azione(), QVariant::fromValue(QList<int>{kTasto}), kPredefinita}));
    auto* presa = new QDBusPendingCallWatcher(
        bus_.asyncCall(chiamata(QStringLiteral("setShortcut"),
                                {azione(), QVariant::fromValue(QList<int>{kTasto}), kPresente})),
        this);
    connect(presa, &QDBusPendingCallWatcher::finished, this, [this, giro](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (giro != giro_)
            return;
        const QDBusPendingReply<QList<int>> tasti = *w;
        // An empty answer: another component holds the combination.
        if (tasti.isError() || tasti.value().isEmpty() || tasti.value().first() == 0) {
            emit rifiutata();
            return;
        }
        aggiornaCombinazione(tasti.value());
        emit accettata();
    });
    return true;
}

void TastoKGlobalAccel::rilascia()
{
    ++giro_;
    bus_.asyncCall(chiamata(QStringLiteral("unregister"), {kComponente, kAzione}));
}

void TastoKGlobalAccel::libera()
{
    ++giro_;
    bus_.asyncCall(chiamata(QStringLiteral("setInactive"), {azione()}));
}

void TastoKGlobalAccel::liberaEAttendi(int ms)
{
    ++giro_;
    // Sent after every earlier call on the same connection, so it comes last.
    bus_.call(chiamata(QStringLiteral("setInactive"), {azione()}), QDBus::Block, ms);
}

void TastoKGlobalAccel::seguiComponente(const QDBusObjectPath& percorso)
{
    if (percorso.path() == componente_)
        return;
    if (!componente_.isEmpty())
        bus_.disconnect(kServizio, componente_, kInterfacciaComponente, QStringLiteral("globalShortcutPressed"), this,
                        SLOT(premutoDalServizio(QString, QString, qlonglong)));
    componente_ = percorso.path();
    bus_.connect(kServizio, componente_, kInterfacciaComponente, QStringLiteral("globalShortcutPressed"), this,
                 SLOT(premutoDalServizio(QString, QString, qlonglong)));
}

void TastoKGlobalAccel::premutoDalServizio(const QString& componente, const QString& azione, qlonglong)
{
    if (componente == kComponente && azione == kAzione)
        emit premuto();
}

void TastoKGlobalAccel::cambiataDaUtente(const QStringList& azione, const QList<int>& tasti)
{
    if (azione.value(0) == kComponente && azione.value(1) == kAzione && !tasti.isEmpty())
        aggiornaCombinazione(tasti);
}

void TastoKGlobalAccel::aggiornaCombinazione(const QList<int>& tasti)
{
    const QString testo = QKeySequence(QKeyCombination::fromCombined(tasti.first())).toString(QKeySequence::NativeText);
    if (testo == combinazione_)
        return;
    combinazione_ = testo;
    emit combinazioneCambiata();
}
