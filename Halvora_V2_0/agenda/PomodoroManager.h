#pragma once

#include "Clock.h"

#include <QObject>
#include <QString>
#include <optional>

class Notifiche;
class SuonoAllarme;

// The countdown's mode; the raw values are also its localisation keys.
enum class TimerMode { pomodoro, custom };

namespace ModoTimer {
QString rawValue(TimerMode m);            // "FOCUS MODE", "CUSTOM TIMER"
std::optional<TimerMode> daRaw(const QString& raw); // exactly those two strings
QString localizedTitle(TimerMode m);
} // namespace ModoTimer

enum class PomodoroSessionState { stopped, running, paused };

// The notch's countdown: 25-minute focus sessions alternating with 5-minute
// breaks, or a custom length. A finished countdown posts a notice, sends
// "FocusTimerDidExpire" and rings an alarm every 3 s until stopped or for
// at most 180 s. Nothing is kept across launches.
class PomodoroManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(int timeRemaining READ timeRemaining NOTIFY timeRemainingChanged)
    Q_PROPERTY(bool isActive READ isActive NOTIFY isActiveChanged)
    Q_PROPERTY(PomodoroSessionState sessionState READ sessionState WRITE setSessionState NOTIFY sessionStateChanged)
    Q_PROPERTY(int completedSessions READ completedSessions NOTIFY completedSessionsChanged)
    Q_PROPERTY(TimerMode currentMode READ currentMode WRITE setCurrentMode NOTIFY currentModeChanged)
    Q_PROPERTY(int customMinutes READ customMinutes WRITE setCustomMinutes NOTIFY customMinutesChanged)
    Q_PROPERTY(int customSeconds READ customSeconds WRITE setCustomSeconds NOTIFY customSecondsChanged)
    Q_PROPERTY(bool isBreakSession READ isBreakSession NOTIFY isBreakSessionChanged)
    Q_PROPERTY(bool allarmeAttivo READ allarmeAttivo NOTIFY allarmeAttivoChanged)

public:
    PomodoroManager(Clock& clock, Notifiche& notifiche, SuonoAllarme& suono, QObject* parent = nullptr);
    ~PomodoroManager() override;

    static constexpr int pomodoroFocusDuration = 1500;
    static constexpr int pomodoroBreakDuration = 300;
    static constexpr double kIntervalloSuono = 3.0;
    static constexpr double kDurataAllarme = 180.0;

    int timeRemaining() const { return timeRemaining_; }
    bool isActive() const { return isActive_; }
    PomodoroSessionState sessionState() const { return sessionState_; }
    int completedSessions() const { return completedSessions_; }
    TimerMode currentMode() const { return currentMode_; }
    int customMinutes() const { return customMinutes_; }
    int customSeconds() const { return customSeconds_; }
    bool isBreakSession() const { return isBreakSession_; }
    bool allarmeAttivo() const { return allarmeAttivo_; }
    // The length of the current countdown: the progress ring's denominator.
    int totalTime() const { return totalTime_; }

    // The pause button stores `paused` here after pauseTimer().
    void setSessionState(PomodoroSessionState s);
    // Every store resets the countdown, also with the same mode.
    void setCurrentMode(TimerMode m);
    // Every store applies the custom length while that countdown is stopped.
    void setCustomMinutes(int minuti);
    void setCustomSeconds(int secondi);

    // "25:00", "01:05".
    QString formattedTime() const;
    QString statusText() const;

    void startTimer();
    // Stops ticking; the caller sets `paused` itself when the user paused.
    void pauseTimer();
    void resetTimer();
    void fermaAllarme();
    void sendNotification(const QString& titolo, const QString& corpo);

signals:
    void timeRemainingChanged();
    void isActiveChanged();
    void sessionStateChanged();
    void completedSessionsChanged();
    void currentModeChanged();
    void customMinutesChanged();
    void customSecondsChanged();
    void isBreakSessionChanged();
    void allarmeAttivoChanged();
    // Any of the above, or totalTime: one redraw for the views.
    void cambiato();

private:
    void tick();
    void timerCompleted();
    void applicaDurataPersonalizzata();
    void avviaAllarme();
    int durataPersonalizzata() const;

    template<class T>
    void memorizza(T& campo, T valore, void (PomodoroManager::*notifica)());
    void setTimeRemaining(int v);
    void setIsActive(bool v);
    void setCompletedSessions(int v);
    void setIsBreakSession(bool v);
    void setAllarmeAttivo(bool v);
    void setTotalTime(int v);

    Clock& clock_;
    Notifiche& notifiche_;
    SuonoAllarme& suono_;

    int timeRemaining_ = pomodoroFocusDuration;
    bool isActive_ = false;
    PomodoroSessionState sessionState_ = PomodoroSessionState::stopped;
    int completedSessions_ = 0;
    TimerMode currentMode_ = TimerMode::pomodoro;
    int customMinutes_ = 10;
    int customSeconds_ = 0;
    TimerHandle ticker_; // present exactly while ticking
    int totalTime_ = pomodoroFocusDuration;
    bool isBreakSession_ = false;
    bool allarmeAttivo_ = false;
    TimerHandle ripetizioneSuono_;
    TimerHandle spegnimentoAutomatico_;
};
