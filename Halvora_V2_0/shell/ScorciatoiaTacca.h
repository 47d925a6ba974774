#pragma once

#include <QObject>
#include <functional>

class TastoGlobale;
class UserDefaults;

// The one owner of the global hot key Control+Alt+N. The preference
// "scorciatoiaTaccaAttiva" switches it; `occupata` tells the settings page
// that another program holds the combination, and `combinazione` which
// combination the desktop has set for it. What is registered with the
// desktop belongs to the running application: it goes when it quits.
class ScorciatoiaTacca : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool occupata READ occupata NOTIFY occupataChanged)
    Q_PROPERTY(QString combinazione READ combinazione NOTIFY combinazioneChanged)
public:
    // What a desktop that binds the key to a command runs: the application
    // with this argument, which hands the press to the running copy.
    static inline const QString kArgomentoPressione = QStringLiteral("--apri-chiudi");

    ScorciatoiaTacca(TastoGlobale& tasto, UserDefaults& impostazioni, QObject* parent = nullptr);

    // The instance of the running application: the key registered the way
    // the session allows (an X11 grab, or with the Wayland desktop), and
    // the standard settings.
    static ScorciatoiaTacca& condivisa();
    // The stored Boolean; true when absent or not a Boolean.
    static bool leggiScorciatoiaAttiva(const UserDefaults& impostazioni);

    bool occupata() const { return occupata_; }
    bool registrata() const { return registrata_; }
    QString combinazione() const;

    // Stores the action run on each press, then registers or, with the
    // preference off, unregisters (the first time also what an earlier run
    // that died left registered).
    void imposta(std::function<void()> azione);
    // Takes the key unless already taken; a refusal sets `occupata`. While
    // a desktop that answers later is asked again, `occupata` keeps its value.
    void registra();
    // Lets the key go while a new copy of the application starts, so that
    // the new copy can take it; `riprendi` takes it back when that failed.
    void rilascia();
    void riprendi();
    // At quit: gives the key back to the desktop, waiting at most `ms`.
    void congeda(int ms);
    // A press that the desktop handed over another way (the command it
    // runs): it counts only while the key is registered.
    void premuta();

signals:
    void occupataChanged();
    void combinazioneChanged();
    // The desktop has the key for us now.
    void presa();

private:
    void setOccupata(bool v);

    TastoGlobale& tasto_;
    UserDefaults& impostazioni_;
    std::function<void()> azione_;
    bool registrata_ = false; // also while the desktop has not answered yet
    bool occupata_ = false;
    bool ripulita_ = false;
};
