#include "NotchStateManager.h"

#include <utility>

NotchStateManager::NotchStateManager(Clock& clock, QObject* parent) : QObject(parent), clock_(clock)
{
    const auto segnali = {&NotchStateManager::currentStateChanged,      &NotchStateManager::activeTabChanged,
                          &NotchStateManager::panelSizeChanged,         &NotchStateManager::dimensioneCompattaChanged,
                          &NotchStateManager::modalitaGuidaChanged,     &NotchStateManager::impostazioniAperteChanged,
                          &NotchStateManager::isMediaActiveChanged,
                          &NotchStateManager::isTimerAttivoChanged,     &NotchStateManager::schedaRichiedeClickChanged,
                          &NotchStateManager::installazioneDaSistemareChanged,
                          &NotchStateManager::aggiornamentoDaMostrareChanged,
                          &NotchStateManager::catturaInCorsoChanged,    &NotchStateManager::registrazioneAttivaChanged,
                          &NotchStateManager::isSchedaVisibileChanged,  &NotchStateManager::isMediaCardHoveredChanged,
                          &NotchStateManager::linguettaAttivaChanged,   &NotchStateManager::haTaccaFisicaChanged};
    for (auto s : segnali)
        connect(this, s, this, &NotchStateManager::cambiato);
}

void NotchStateManager::setActiveTab(NotchTab tab) { imposta(activeTab_, tab, &NotchStateManager::activeTabChanged); }

void NotchStateManager::setPanelSize(QSizeF size) { imposta(panelSize_, size, &NotchStateManager::panelSizeChanged); }

void NotchStateManager::setDimensioneCompatta(QSizeF size)
{
    imposta(dimensioneCompatta_, size, &NotchStateManager::dimensioneCompattaChanged);
}

QSizeF NotchStateManager::dimensioneScheda(NotchTab tab)
{
    switch (tab) {
    case NotchTab::media: return {400, 236};
    case NotchTab::memo: return {430, 480};
    case NotchTab::mirror: return {420, 550};
    case NotchTab::clipboard: return {400, 550};
    case NotchTab::pomodoro: return {400, 530};
    case NotchTab::tray: return {460, 390};
    case NotchTab::calendario: return {440, 500};
    }
    return {460, 390};
}

QSizeF NotchStateManager::expandedSize() const
{
    if (modalitaGuida_)
        return kDimensioneGuida;
    return impostazioniAperte_ ? kDimensioneImpostazioni : dimensioneScheda(activeTab_);
}

void NotchStateManager::setImpostazioniAperte(bool aperte)
{
    if (aperte == impostazioniAperte_)
        return;
    impostazioniAperte_ = aperte;
    if (currentState_ == NotchState::expanded)
        setPanelSize(expandedSize());
    emit impostazioniAperteChanged();
}

void NotchStateManager::setState(NotchState nuovo)
{
    if (nuovo == currentState_)
        return;
    currentState_ = nuovo;
    if (nuovo == NotchState::compact)
        apertaDaTastiera_ = false;
    setPanelSize(nuovo == NotchState::expanded ? expandedSize() : kDimensioneChiusa);
    emit currentStateChanged();
}

void NotchStateManager::aggiornaHover(bool dentro)
{
    dentro_ = dentro;
    if (dentro) {
        apertaDaTastiera_ = false;
        annullaCollasso();
        setState(NotchState::expanded);
        return;
    }
    if (modalitaGuida_ || apertaDaTastiera_ || menuAperto_ || currentState_ != NotchState::expanded
        || collassoInAttesa())
        return;
    // The handle is a member: destroying the manager cancels the pending collapse.
    collapseWorkItem_ = clock_.singleShot(kRitardoChiusura, [this] {
        collapseWorkItem_ = {};
        setState(NotchState::compact);
    });
}

void NotchStateManager::toggleFromHotKey()
{
    if (modalitaGuida_)
        return;
    annullaCollasso();
    if (currentState_ == NotchState::expanded) {
        setState(NotchState::compact);
        return;
    }
    apertaDaTastiera_ = true;
    setState(NotchState::expanded);
}

void NotchStateManager::enterGuideMode()
{
    annullaCollasso();
    const bool cambia = !modalitaGuida_;
    modalitaGuida_ = true;
    if (cambia)
        emit modalitaGuidaChanged();
    // Set directly: setState would keep a tab's size if already open.
    const bool aperta = currentState_ == NotchState::expanded;
    currentState_ = NotchState::expanded;
    setPanelSize(expandedSize());
    if (!aperta)
        emit currentStateChanged();
}

void NotchStateManager::leaveGuideMode()
{
    // Closed before anyone hears the guide ended: the notch goes from the
    // guide straight to the strip, not by way of a tab's size.
    const bool cambia = std::exchange(modalitaGuida_, false);
    annullaCollasso();
    setState(NotchState::compact);
    if (cambia)
        emit modalitaGuidaChanged();
}

void NotchStateManager::chiudiSubito()
{
    annullaCollasso();
    setState(NotchState::compact);
}

void NotchStateManager::setMenuAperto(bool aperto)
{
    menuAperto_ = aperto;
    if (aperto)
        annullaCollasso();
    else if (!dentro_)
        aggiornaHover(false);
}
