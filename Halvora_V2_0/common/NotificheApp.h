#pragma once

#include <QObject>

// Notices posted inside the application from one feature to another.
class NotificheApp : public QObject {
    Q_OBJECT
public:
    static NotificheApp& shared();

signals:
    // "TrascinamentoAvviato": a drag out of the notch began (tray, memo list).
    void trascinamentoAvviato();
    // "FocusTimerDidExpire": a pomodoro session ended.
    void focusTimerDidExpire();
};
