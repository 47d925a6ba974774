#pragma once

#include "Clock.h"
#include "ContrattoCattura.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QProcess;

// Takes screenshots with the capture helper, one at a time: a pause that
// lets the panel fade out of the picture, then the helper as a child
// process, which is never waited for on the GUI thread. A picture counts
// only when the helper exits 0 and the file is there.
class CatturaSchermo : public QObject {
    Q_OBJECT
public:
    // `programma` is the helper to run.
    explicit CatturaSchermo(Clock& clock, QString programma = programmaPredefinito(), QObject* parent = nullptr);
    // A running helper is killed; its half-written picture is removed.
    ~CatturaSchermo() override;

    // The helper beside the executable, else the one of the build tree.
    static QString programmaPredefinito();
    // 0.5 s before the whole screen, 0.25 s before an interactive capture.
    static double pausa(ScreenshotMode modo);

    // From the call until its answer.
    bool inCorso() const { return inCorso_; }
    // Writes a picture to `percorso` and tells `fatto`, later and on the
    // GUI thread, whether it was saved. Refused (false, and `fatto` is never
    // called) while another capture runs.
    bool cattura(ScreenshotMode modo, const QString& percorso, std::function<void(bool salvato)> fatto);

private:
    void avviaAiutante(ScreenshotMode modo);
    void termina(bool salvato);

    Clock& clock_;
    QString programma_;
    bool inCorso_ = false;
    QString percorso_;
    std::function<void(bool)> fatto_;
    TimerHandle pausa_;
    QPointer<QProcess> processo_;
};
