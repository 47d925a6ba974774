#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class UserDefaults;

// The interface language chosen by the user.
enum class LinguaInterfaccia { sistema, italiano, inglese, spagnolo };

namespace Lingue {
// Every case, in the order the settings page lists them.
const QList<LinguaInterfaccia>& tutte();
// "sistema", "it", "en", "es".
QString rawValue(LinguaInterfaccia l);
// Exactly the four raw values give a case; anything else none.
std::optional<LinguaInterfaccia> daRawValue(const QString& testo);
// The languages the next start loads: none for `sistema`, which follows
// the desktop, otherwise the one raw value.
QStringList elencoLingue(LinguaInterfaccia l);
// The label on the settings page; the languages are written in their own
// language, only `sistema` is translated.
QString etichetta(LinguaInterfaccia l);
} // namespace Lingue

// Keeps the interface language, stores it and relaunches the application so
// the change takes effect. The relaunch starts a new instance and quits this
// one only once the new one has started; the single-instance lock is let go
// first so the new instance can take it, and taken back when the start fails.
class LinguaManager final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool riavvioInCorso READ riavvioInCorso NOTIFY riavvioInCorsoChanged)
    Q_PROPERTY(QString scelta READ sceltaRaw NOTIFY sceltaChanged)

public:
    // Where the chosen raw value is kept.
    static const QString kChiaveLingua;
    // The languages read at start to pick the translation tables; absent
    // when the desktop's language is followed.
    static const QString kChiaveLingueAvvio;

    // What a relaunch needs from the rest of the application.
    struct Riavvio {
        std::function<void()> rilasciaIstanza;
        std::function<void()> riprendiIstanza;
        // Starts the new instance; calls back with whether it started.
        std::function<void(std::function<void(bool avviata)>)> avviaIstanza;
        std::function<void()> esci;
        // A new process of `eseguibile` (this program when empty), and
        // quitting the application; the instance-lock hooks are left to the
        // caller.
        static Riavvio processoCorrente(const QString& eseguibile = {});
    };

    LinguaManager(UserDefaults& defaults, Riavvio riavvio, QObject* parent = nullptr);

    bool riavvioInCorso() const { return riavvioInCorso_; }
    LinguaInterfaccia scelta() const { return scelta_; }
    QString sceltaRaw() const { return Lingue::rawValue(scelta_); }
    // Publishes the choice; a different one is stored and the application
    // relaunched.
    void setScelta(LinguaInterfaccia l);

    // The language code to load at start ("it", "en", "es"), or empty to
    // follow the desktop.
    static QString linguaAllAvvio(const UserDefaults& defaults);
    // Name of the language followed under `sistema`, in the interface's
    // language, capitalised.
    static QString nomeLinguaDelSistema();

signals:
    void riavvioInCorsoChanged();
    void sceltaChanged();

private:
    void applicaLingua();
    void riavviaApp();
    void impostaRiavvio(bool v);

    UserDefaults& defaults_;
    Riavvio riavvio_;
    bool riavvioInCorso_ = false;
    LinguaInterfaccia scelta_ = LinguaInterfaccia::sistema;
};
