#include "PomodoroManager.h"

#include "Notifiche.h"
#include "NotificheApp.h"
#include "SuonoAllarme.h"
#include "Testi.h"

#include <QCoreApplication>

namespace ModoTimer {

QString rawValue(TimerMode m)
{
    return m == TimerMode::pomodoro ? QStringLiteral("FOCUS MODE") : QStringLiteral("CUSTOM TIMER");
}

std::optional<TimerMode> daRaw(const QString& raw)
{
    if (raw == QLatin1String("FOCUS MODE"))
        return TimerMode::pomodoro;
    if (raw == QLatin1String("CUSTOM TIMER"))
        return TimerMode::custom;
    return std::nullopt;
}

QString localizedTitle(TimerMode m)
{
    return m == TimerMode::pomodoro ? Testi::tr("FOCUS MODE") : Testi::tr("CUSTOM TIMER");
}

} // namespace ModoTimer

PomodoroManager::PomodoroManager(Clock& clock, Notifiche& notifiche, SuonoAllarme& suono, QObject* parent)
    : QObject(parent), clock_(clock), notifiche_(notifiche), suono_(suono)
{
    connect(&notifiche_, &Notifiche::autorizzazione, this, [](bool concessa) {
        if (concessa)
            qInfo("Permessi di notifica accordati.");
    });
    notifiche_.richiediAutorizzazione();
}

PomodoroManager::~PomodoroManager() = default;

// Published fields notify on every store, not only on a change.
template<class T>
void PomodoroManager::memorizza(T& campo, T valore, void (PomodoroManager::*notifica)())
{
    campo = valore;
    if (notifica)
        emit (this->*notifica)();
    emit cambiato();
}

void PomodoroManager::setTimeRemaining(int v) { memorizza(timeRemaining_, v, &PomodoroManager::timeRemainingChanged); }
void PomodoroManager::setIsActive(bool v) { memorizza(isActive_, v, &PomodoroManager::isActiveChanged); }
void PomodoroManager::setSessionState(PomodoroSessionState s)
{
    memorizza(sessionState_, s, &PomodoroManager::sessionStateChanged);
}
void PomodoroManager::setCompletedSessions(int v)
{
    memorizza(completedSessions_, v, &PomodoroManager::completedSessionsChanged);
}
void PomodoroManager::setIsBreakSession(bool v) { memorizza(isBreakSession_, v, &PomodoroManager::isBreakSessionChanged); }
void PomodoroManager::setAllarmeAttivo(bool v) { memorizza(allarmeAttivo_, v, &PomodoroManager::allarmeAttivoChanged); }
void PomodoroManager::setTotalTime(int v) { memorizza(totalTime_, v, nullptr); } // not published on its own

void PomodoroManager::setCurrentMode(TimerMode m)
{
    memorizza(currentMode_, m, &PomodoroManager::currentModeChanged);
    resetTimer();
}

void PomodoroManager::setCustomMinutes(int minuti)
{
    memorizza(customMinutes_, minuti, &PomodoroManager::customMinutesChanged);
    applicaDurataPersonalizzata();
}

void PomodoroManager::setCustomSeconds(int secondi)
{
    memorizza(customSeconds_, secondi, &PomodoroManager::customSecondsChanged);
    applicaDurataPersonalizzata();
}

int PomodoroManager::durataPersonalizzata() const
{
    // The tab bounds the inputs; the clamp only keeps a stray value from overflowing.
    const qint64 totale = qint64(customMinutes_) * 60 + customSeconds_;
    return int(std::clamp<qint64>(totale, -86400LL * 366, 86400LL * 366));
}

QString PomodoroManager::formattedTime() const
{
    return QString::asprintf("%02d:%02d", timeRemaining_ / 60, timeRemaining_ % 60);
}

QString PomodoroManager::statusText() const
{
    if (currentMode_ == TimerMode::custom)
        return isActive_ ? Testi::tr("CUSTOM SESSION") : Testi::tr("READY");
    if (isBreakSession_)
        return Testi::tr("BREAK TIME");
    if (sessionState_ == PomodoroSessionState::running)
        return Testi::tr("FOCUS SESSION");
    if (sessionState_ == PomodoroSessionState::paused)
        return Testi::tr("PAUSED");
    return Testi::tr("READY");
}

void PomodoroManager::startTimer()
{
    fermaAllarme();
    if (ticker_)
        return; // already ticking
    if (currentMode_ == TimerMode::custom && timeRemaining_ <= 0) {
        const int totale = durataPersonalizzata();
        if (totale < 1)
            return;
        setTimeRemaining(totale);
        setTotalTime(totale);
    }
    setSessionState(PomodoroSessionState::running);
    setIsActive(true);
    ticker_ = clock_.repeating(1.0, [this] { tick(); });
}

void PomodoroManager::pauseTimer()
{
    ticker_.cancel();
    setIsActive(false);
}

void PomodoroManager::resetTimer()
{
    fermaAllarme();
    pauseTimer();
    if (currentMode_ == TimerMode::custom) {
        const int totale = durataPersonalizzata();
        setTimeRemaining(std::max(totale, 0));
        setTotalTime(totale < 1 ? 1 : totale); // the ring never divides by zero after a reset
    } else {
        setIsBreakSession(false);
        setTimeRemaining(pomodoroFocusDuration);
        setTotalTime(pomodoroFocusDuration);
    }
    setSessionState(PomodoroSessionState::stopped);
}

void PomodoroManager::tick()
{
    if (timeRemaining_ > 0)
        setTimeRemaining(timeRemaining_ - 1);
    else
        timerCompleted();
}

void PomodoroManager::timerCompleted()
{
    if (currentMode_ == TimerMode::custom) {
        sendNotification(tr("Timer Terminato"), tr("Il timer personalizzato è terminato."));
        emit NotificheApp::shared().focusTimerDidExpire();
        avviaAllarme();
        pauseTimer();
        setSessionState(PomodoroSessionState::stopped);
        setTimeRemaining(0); // totalTime keeps the finished length: the ring reads empty
        return;
    }
    if (isBreakSession_) {
        sendNotification(tr("Pausa Terminata"), tr("Si torna al lavoro. Dai il massimo!"));
    } else {
        setCompletedSessions(completedSessions_ + 1);
        sendNotification(tr("Sessione Completata!"), tr("Ottimo lavoro. È il momento di una pausa."));
    }
    emit NotificheApp::shared().focusTimerDidExpire();
    avviaAllarme();
    setIsBreakSession(!isBreakSession_);
    const int durata = isBreakSession_ ? pomodoroBreakDuration : pomodoroFocusDuration;
    setTotalTime(durata);
    setTimeRemaining(durata);
    setSessionState(PomodoroSessionState::stopped);
    pauseTimer(); // the next session waits for the user
}

void PomodoroManager::applicaDurataPersonalizzata()
{
    if (currentMode_ != TimerMode::custom || sessionState_ != PomodoroSessionState::stopped)
        return;
    const int totale = durataPersonalizzata();
    setTimeRemaining(totale);
    setTotalTime(totale);
}

void PomodoroManager::avviaAllarme()
{
    setAllarmeAttivo(true);
    suono_.suona();
    ripetizioneSuono_ = clock_.repeating(kIntervalloSuono, [this] { suono_.suona(); });
    spegnimentoAutomatico_ = clock_.singleShot(kDurataAllarme, [this] { fermaAllarme(); });
}

void PomodoroManager::fermaAllarme()
{
    if (!allarmeAttivo_)
        return;
    setAllarmeAttivo(false);
    ripetizioneSuono_.cancel();
    spegnimentoAutomatico_.cancel();
}

void PomodoroManager::sendNotification(const QString& titolo, const QString& corpo) { notifiche_.invia(titolo, corpo); }
