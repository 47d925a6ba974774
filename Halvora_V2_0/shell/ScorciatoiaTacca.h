#pragma once

#include <QObject>
#include <functional>

class TastoGlobale;
class UserDefaults;

// The one owner of the global hot key Control+Alt+N. The preference
// "scorciatoiaTaccaAttiva" switches it; `occupata` tells the settings page
// that another program holds the combination.
class ScorciatoiaTacca : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool occupata READ occupata NOTIFY occupataChanged)
public:
    ScorciatoiaTacca(TastoGlobale& tasto, UserDefaults& impostazioni, QObject* parent = nullptr);

    // The instance of the running application (X11 grab, standard settings).
    static ScorciatoiaTacca& condivisa();
    // The stored Boolean; true when absent or not a Boolean.
    static bool leggiScorciatoiaAttiva(const UserDefaults& impostazioni);

    bool occupata() const { return occupata_; }
    bool registrata() const { return registrata_; }

    // Stores the action run on each press, then registers or, with the
    // preference off, unregisters.
    void imposta(std::function<void()> azione);
    // Takes the key unless already taken; a refusal sets `occupata`.
    void registra();
    // Lets the key go while a new copy of the application starts, so that
    // the new copy can take it; `riprendi` takes it back when that failed.
    void rilascia();
    void riprendi();

signals:
    void occupataChanged();

private:
    void setOccupata(bool v);

    TastoGlobale& tasto_;
    UserDefaults& impostazioni_;
    std::function<void()> azione_;
    bool registrata_ = false;
    bool occupata_ = false;
};
