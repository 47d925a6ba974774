#pragma once

#include "Clock.h"

#include <QObject>
#include <QSizeF>

enum class NotchState { compact, expanded };

// The seven tabs in declaration order; the tab bar shows them in another.
enum class NotchTab { media, memo, mirror, clipboard, pomodoro, tray, calendario };
inline constexpr NotchTab kTutteLeSchede[] = {NotchTab::media,    NotchTab::memo, NotchTab::mirror,
                                              NotchTab::clipboard, NotchTab::pomodoro, NotchTab::tray,
                                              NotchTab::calendario};


// The one state object of the notch: open or closed, which tab, how large,
// and what the features want of the closed notch. Only the application
// delegate, the root view and this class change it.
class NotchStateManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(NotchState currentState READ currentState NOTIFY currentStateChanged)
    Q_PROPERTY(NotchTab activeTab READ activeTab WRITE setActiveTab NOTIFY activeTabChanged)
    Q_PROPERTY(QSizeF panelSize READ panelSize WRITE setPanelSize NOTIFY panelSizeChanged)
    Q_PROPERTY(QSizeF dimensioneCompatta READ dimensioneCompatta WRITE setDimensioneCompatta NOTIFY dimensioneCompattaChanged)
    Q_PROPERTY(bool modalitaGuida READ modalitaGuida NOTIFY modalitaGuidaChanged)

public:
    static constexpr double kRitardoChiusura = 0.18;
    static constexpr QSizeF kDimensioneChiusa{180, 32};
    static constexpr QSizeF kDimensioneGuida{460, 310};
    // The settings page's own size, whatever tab it was opened from.
    static constexpr QSizeF kDimensioneImpostazioni{440, 550};

    explicit NotchStateManager(Clock& clock, QObject* parent = nullptr);

    NotchState currentState() const { return currentState_; }
    NotchTab activeTab() const { return activeTab_; }
    void setActiveTab(NotchTab tab);
    QSizeF panelSize() const { return panelSize_; }
    void setPanelSize(QSizeF size);
    QSizeF dimensioneCompatta() const { return dimensioneCompatta_; }
    void setDimensioneCompatta(QSizeF size);
    bool modalitaGuida() const { return modalitaGuida_; }
    // The open panel shows the settings page in place of the tabs.
    bool impostazioniAperte() const { return impostazioniAperte_; }
    void setImpostazioniAperte(bool aperte);
    bool apertaDaTastiera() const { return apertaDaTastiera_; }
    bool collassoInAttesa() const { return collapseWorkItem_.isActive(); }

    // The flags the root view and the application delegate copy in. Each
    // setter notifies only when the value changes.
#define HALVORA_FLAG(nome, Setter)                                                                                \
    bool nome() const { return nome##_; }                                                                          \
    void Setter(bool v) { imposta(nome##_, v, &NotchStateManager::nome##Changed); }
    HALVORA_FLAG(isMediaActive, setIsMediaActive)
    HALVORA_FLAG(isTimerAttivo, setIsTimerAttivo)
    HALVORA_FLAG(schedaRichiedeClick, setSchedaRichiedeClick)
    HALVORA_FLAG(installazioneDaSistemare, setInstallazioneDaSistemare)
    HALVORA_FLAG(aggiornamentoDaMostrare, setAggiornamentoDaMostrare)
    HALVORA_FLAG(catturaInCorso, setCatturaInCorso)
    HALVORA_FLAG(registrazioneAttiva, setRegistrazioneAttiva)
    HALVORA_FLAG(isSchedaVisibile, setIsSchedaVisibile)
    HALVORA_FLAG(isMediaCardHovered, setIsMediaCardHovered)
    HALVORA_FLAG(linguettaAttiva, setLinguettaAttiva)
    HALVORA_FLAG(haTaccaFisica, setHaTaccaFisica)
#undef HALVORA_FLAG

    void setState(NotchState nuovo);
    QSizeF expandedSize() const;
    // The pointer entered (true) or left (false) the hover zone.
    void aggiornaHover(bool dentro);
    void toggleFromHotKey();
    void enterGuideMode();
    void leaveGuideMode();
    // Cancels a pending collapse and closes now.
    void chiudiSubito();
    // While a menu of the panel is up the pointer may leave the hover zone
    // without closing the notch; when it closes, a pointer outside closes it.
    void setMenuAperto(bool aperto);
    bool menuAperto() const { return menuAperto_; }

    static QSizeF dimensioneScheda(NotchTab tab);

signals:
    void currentStateChanged();
    void activeTabChanged();
    void panelSizeChanged();
    void dimensioneCompattaChanged();
    void modalitaGuidaChanged();
    void impostazioniAperteChanged();
    void isMediaActiveChanged();
    void isTimerAttivoChanged();
    void schedaRichiedeClickChanged();
    void installazioneDaSistemareChanged();
    void aggiornamentoDaMostrareChanged();
    void catturaInCorsoChanged();
    void registrazioneAttivaChanged();
    void isSchedaVisibileChanged();
    void isMediaCardHoveredChanged();
    void linguettaAttivaChanged();
    void haTaccaFisicaChanged();
    // Any published field changed.
    void cambiato();

private:
    template <typename T>
    void imposta(T& campo, const T& valore, void (NotchStateManager::*segnale)())
    {
        if (campo == valore)
            return;
        campo = valore;
        emit(this->*segnale)();
    }
    void annullaCollasso() { collapseWorkItem_.cancel(); }

    Clock& clock_;
    NotchState currentState_ = NotchState::compact;
    NotchTab activeTab_ = NotchTab::tray;
    QSizeF panelSize_ = kDimensioneChiusa;
    bool isMediaActive_ = false;
    bool isTimerAttivo_ = false;
    bool schedaRichiedeClick_ = false;
    bool installazioneDaSistemare_ = false;
    bool aggiornamentoDaMostrare_ = false;
    bool catturaInCorso_ = false;
    bool registrazioneAttiva_ = false;
    bool isSchedaVisibile_ = false;
    bool isMediaCardHovered_ = false;
    QSizeF dimensioneCompatta_ = kDimensioneChiusa;
    bool linguettaAttiva_ = false;
    bool haTaccaFisica_ = true;
    bool apertaDaTastiera_ = false;
    bool modalitaGuida_ = false;
    bool impostazioniAperte_ = false;
    bool menuAperto_ = false;
    bool dentro_ = false; // the last hover answer
    TimerHandle collapseWorkItem_;
};
