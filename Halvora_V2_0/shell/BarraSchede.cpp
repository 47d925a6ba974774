#include "BarraSchede.h"

#include "Colori.h"

const QList<NotchTab>& BarraSchede::ordine()
{
    static const QList<NotchTab> o{NotchTab::tray,     NotchTab::clipboard, NotchTab::calendario, NotchTab::pomodoro,
                                   NotchTab::memo,     NotchTab::media,     NotchTab::mirror};
    return o;
}

QString BarraSchede::simbolo(NotchTab tab)
{
    switch (tab) {
    case NotchTab::tray: return QStringLiteral("tray.fill");
    case NotchTab::clipboard: return QStringLiteral("doc.on.clipboard.fill");
    case NotchTab::calendario: return QStringLiteral("calendar");
    case NotchTab::pomodoro: return QStringLiteral("timer");
    case NotchTab::memo: return QStringLiteral("mic.fill");
    case NotchTab::media: return QStringLiteral("play.fill");
    case NotchTab::mirror: return QStringLiteral("person.fill.viewfinder");
    }
    return {};
}

QColor BarraSchede::colore(NotchTab tab)
{
    switch (tab) {
    case NotchTab::tray: return Colori::blu();
    case NotchTab::clipboard: return Colori::teal();
    case NotchTab::calendario: return Colori::indaco();
    case NotchTab::pomodoro: return Colori::arancione();
    case NotchTab::memo: return Colori::rosso();
    case NotchTab::media: return Colori::rosa();
    case NotchTab::mirror: return Colori::viola();
    }
    return Colori::accento();
}

BarraSchede::BarraSchede(NotchStateManager& stato, Clock& clock, QObject* parent)
    : QObject(parent), stato_(stato), clock_(clock)
{
    // Closing always reopens on a tab module.
    connect(&stato_, &NotchStateManager::currentStateChanged, this, [this] {
        if (stato_.currentState() == NotchState::compact)
            setShowSettings(false);
    });
}

void BarraSchede::selezionaTab(NotchTab tab)
{
    if (tab == stato_.activeTab())
        return;
    direzioneAvanti_ = ordine().indexOf(stato_.activeTab()) < ordine().indexOf(tab);
    stato_.setActiveTab(tab);
    emit cambiato();
}

void BarraSchede::passaggioSuTab(bool entrato, NotchTab tab)
{
    if (entrato) {
        hoveredTab_ = tab;
        programmaAperturaTab(tab);
    } else {
        if (hoveredTab_ == tab)
            hoveredTab_.reset();
        apertura_.cancel();
    }
    emit cambiato();
}

void BarraSchede::programmaAperturaTab(NotchTab tab)
{
    apertura_.cancel();
    if (tab == stato_.activeTab())
        return;
    apertura_ = clock_.singleShot(kRitardoAperturaTab, [this, tab] { selezionaTab(tab); });
}

void BarraSchede::setShowSettings(bool v)
{
    if (v == showSettings_)
        return;
    showSettings_ = v;
    // The panel turns over before the notch takes the page's size: the
    // face that leaves is seen as it stood.
    emit showSettingsChanged();
    stato_.setImpostazioniAperte(v);
    emit cambiato();
}

void BarraSchede::fermaTutto(const QList<Passo>& passi)
{
    for (const Passo& p : passi)
        if (p.attivo && p.ferma && p.attivo())
            p.ferma();
    setShowSettings(false);
    stato_.chiudiSubito();
}
