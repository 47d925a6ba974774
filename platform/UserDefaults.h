#pragma once

#include <QObject>
#include <QThreadPool>
#include <QVariantMap>
#include <atomic>
#include <optional>

// The application's settings store: an INI file read once at start and
// kept in memory. Every write notifies, also of an unchanged value, because
// observers (panel placement, hot key) re-apply themselves on any change.
// Changes are saved together on a worker shortly after, through a safe save
// that never costs the file its old content; a change that cannot be saved
// holds for this run and is reported. A file that cannot be read whole
// (bytes that are no text, lines QSettings refuses) is moved aside, whole,
// and what could be read of it is saved in its place.
class UserDefaults : public QObject {
    Q_OBJECT
public:
    // The store at the user's standard settings location.
    explicit UserDefaults(QObject* parent = nullptr);
    // A store in a file of its own (tests, tools).
    explicit UserDefaults(const QString& percorsoIni, QObject* parent = nullptr);
    // Saves what is not saved yet.
    ~UserDefaults() override;

    QVariant value(const QString& chiave, const QVariant& predefinito = {}) const;
    bool contains(const QString& chiave) const;
    // A Boolean only when the stored value reads as one ("true"/"false",
    // 1/0); absent or any other text gives nothing.
    std::optional<bool> boolValue(const QString& chiave) const;
    bool boolValue(const QString& chiave, bool predefinito) const;
    // A string list; an INI store may give back a one-element list as a
    // plain string, which is read as that one element.
    QStringList stringList(const QString& chiave) const;

    void setValue(const QString& chiave, const QVariant& valore);
    // Removes the key and every key under it ("chiave/...").
    void remove(const QString& chiave);
    // Saves now, on this thread; false (and reported) when it could not.
    bool sync();

    QString percorsoFile() const { return percorso_; }
    // A save failed, and what `chiave` holds now is not what the file holds:
    // it holds for this run only, until a later save succeeds.
    bool nonSalvata(const QString& chiave) const;
    // What the file holds under `chiave`, as last read or saved; nothing when absent.
    std::optional<QVariant> valoreSuDisco(const QString& chiave) const;
    // Where a settings file not read whole was moved at start, if one was.
    const std::optional<QString>& fileMessoDaParte() const { return messoDaParte_; }

    // The process-wide store; tests point it elsewhere with setShared.
    static UserDefaults& shared();
    static void setShared(UserDefaults* store);

signals:
    void changed(const QString& chiave);
    // Changes could not be saved: they hold until the application quits.
    void salvataggioFallito(const QString& motivo);
    // A save succeeded after one had failed: every change is on disk.
    void salvataggioRiuscito();

private:
    void carica();
    void cambiato(const QString& chiave);
    void salvaInFondo();
    // `valori` are on disk now.
    void salvate(const QVariantMap& valori);

    QString percorso_;
    QVariantMap valori_;
    std::optional<QString> messoDaParte_;
    quint64 versione_ = 0;                // changes made
    QVariantMap suDisco_;                 // what the file holds, as last read or saved
    bool fallita_ = false;                // the last save failed
    std::atomic<quint64> salvata_ = 0;    // the last version on disk
    bool pianificato_ = false;
    QThreadPool scrittore_;               // last: it finishes before the rest goes
};
