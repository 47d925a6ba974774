#pragma once

#include "NotchGeometry.h"

#include <QObject>
#include <QString>
#include <array>
#include <optional>

class AvvioAlLogin;
class UserDefaults;

// The user's preferences of the notch and its features, and the login
// item. Each preference is written to the settings store under its own
// name on every assignment (also of an unchanged value, and once at
// construction), because the panel placement and the hot key re-apply
// themselves on any write.
class SettingsManager final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool avvioAlLoginDisponibile READ avvioAlLoginDisponibile CONSTANT)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(QString erroreAvvioAlLogin READ erroreAvvioAlLogin NOTIFY erroreAvvioAlLoginChanged)
    Q_PROPERTY(bool mostraSchedaMedia READ mostraSchedaMedia WRITE setMostraSchedaMedia NOTIFY mostraSchedaMediaChanged)
    Q_PROPERTY(bool annunciaFileScaricati READ annunciaFileScaricati WRITE setAnnunciaFileScaricati NOTIFY
                   annunciaFileScaricatiChanged)
    Q_PROPERTY(bool mostraSchedaTimer READ mostraSchedaTimer WRITE setMostraSchedaTimer NOTIFY mostraSchedaTimerChanged)
    Q_PROPERTY(bool trascrizioneSoloSulMac READ trascrizioneSoloSulMac WRITE setTrascrizioneSoloSulMac NOTIFY
                   trascrizioneSoloSulMacChanged)
    Q_PROPERTY(bool mostraProssimoImpegno READ mostraProssimoImpegno WRITE setMostraProssimoImpegno NOTIFY
                   mostraProssimoImpegnoChanged)
    Q_PROPERTY(bool mostraUsoIA READ mostraUsoIA WRITE setMostraUsoIA NOTIFY mostraUsoIAChanged)
    Q_PROPERTY(bool scorciatoiaTaccaAttiva READ scorciatoiaTaccaAttiva WRITE setScorciatoiaTaccaAttiva NOTIFY
                   scorciatoiaTaccaAttivaChanged)
    Q_PROPERTY(bool taccaDiscreta READ taccaDiscreta WRITE setTaccaDiscreta NOTIFY taccaDiscretaChanged)

public:
    // The eight preferences; each one's settings key is its name.
    enum class Preferenza {
        mostraSchedaMedia,
        annunciaFileScaricati,
        mostraSchedaTimer,
        trascrizioneSoloSulMac,
        mostraProssimoImpegno,
        mostraUsoIA,
        scorciatoiaTaccaAttiva,
        taccaDiscreta,
    };
    Q_ENUM(Preferenza)
    static constexpr int kPreferenze = 8;
    static QString chiave(Preferenza p);
    static bool predefinito(Preferenza p);

    // Reads the store, writes every preference back and mirrors the login
    // item as the system reports it; registers or removes nothing.
    SettingsManager(UserDefaults& defaults, AvvioAlLogin& login, NotchGeometry::Posizione posizione,
                    QObject* parent = nullptr);

    bool valore(Preferenza p) const { return valori_[static_cast<int>(p)]; }
    void imposta(Preferenza p, bool v);
    // Why the last change of the setting under `chiave` was not saved (it
    // holds for this run only); nothing once it is on disk.
    std::optional<QString> nonSalvata(const QString& chiave) const;

    bool avvioAlLoginDisponibile() const { return avvioAlLoginDisponibile_; }
    bool launchAtLogin() const { return launchAtLogin_; }
    // Registers or removes the login item, unless this copy runs from a
    // temporary location; after a failure the switch follows the system.
    void setLaunchAtLogin(bool v);
    // The system's text of the last failed change; empty after a success.
    QString erroreAvvioAlLogin() const { return erroreAvvioAlLogin_; }

    bool mostraSchedaMedia() const { return valore(Preferenza::mostraSchedaMedia); }
    bool annunciaFileScaricati() const { return valore(Preferenza::annunciaFileScaricati); }
    bool mostraSchedaTimer() const { return valore(Preferenza::mostraSchedaTimer); }
    bool trascrizioneSoloSulMac() const { return valore(Preferenza::trascrizioneSoloSulMac); }
    bool mostraProssimoImpegno() const { return valore(Preferenza::mostraProssimoImpegno); }
    bool mostraUsoIA() const { return valore(Preferenza::mostraUsoIA); }
    bool scorciatoiaTaccaAttiva() const { return valore(Preferenza::scorciatoiaTaccaAttiva); }
    bool taccaDiscreta() const { return valore(Preferenza::taccaDiscreta); }
    void setMostraSchedaMedia(bool v) { imposta(Preferenza::mostraSchedaMedia, v); }
    void setAnnunciaFileScaricati(bool v) { imposta(Preferenza::annunciaFileScaricati, v); }
    void setMostraSchedaTimer(bool v) { imposta(Preferenza::mostraSchedaTimer, v); }
    void setTrascrizioneSoloSulMac(bool v) { imposta(Preferenza::trascrizioneSoloSulMac, v); }
    void setMostraProssimoImpegno(bool v) { imposta(Preferenza::mostraProssimoImpegno, v); }
    void setMostraUsoIA(bool v) { imposta(Preferenza::mostraUsoIA, v); }
    void setScorciatoiaTaccaAttiva(bool v) { imposta(Preferenza::scorciatoiaTaccaAttiva, v); }
    void setTaccaDiscreta(bool v) { imposta(Preferenza::taccaDiscreta, v); }

signals:
    // Each is emitted on every assignment, also of an unchanged value.
    void launchAtLoginChanged();
    void erroreAvvioAlLoginChanged();
    void mostraSchedaMediaChanged();
    void annunciaFileScaricatiChanged();
    void mostraSchedaTimerChanged();
    void trascrizioneSoloSulMacChanged();
    void mostraProssimoImpegnoChanged();
    void mostraUsoIAChanged();
    void scorciatoiaTaccaAttivaChanged();
    void taccaDiscretaChanged();
    // A save of the settings failed, or succeeded after a failure.
    void salvataggioChanged();

private:
    void applicaAvvioAlLogin();
    void impostaErrore(const QString& testo);

    UserDefaults& defaults_;
    AvvioAlLogin& login_;
    NotchGeometry::Posizione posizione_;
    bool avvioAlLoginDisponibile_ = true;
    bool launchAtLogin_ = false;
    QString erroreAvvioAlLogin_;
    // True only while the model writes the system's state back into the
    // switch, so that write does not reach the system again.
    bool stoSincronizzando_ = false;
    std::array<bool, kPreferenze> valori_ {};
    QString motivoNonSalvate_; // why the last save failed
};
