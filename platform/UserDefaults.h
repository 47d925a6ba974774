#pragma once

#include <QObject>
#include <QVariant>
#include <memory>
#include <optional>

class QSettings;

// The application's settings store. Every write notifies, also of an
// unchanged value, because observers (panel placement, hot key) re-apply
// themselves on any change.
class UserDefaults : public QObject {
    Q_OBJECT
public:
    // The store at the user's standard settings location.
    explicit UserDefaults(QObject* parent = nullptr);
    // A store in a file of its own (tests, tools).
    explicit UserDefaults(const QString& percorsoIni, QObject* parent = nullptr);
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
    void remove(const QString& chiave);
    void sync();

    QString percorsoFile() const;

    // The process-wide store; tests point it elsewhere with setShared.
    static UserDefaults& shared();
    static void setShared(UserDefaults* store);

signals:
    void changed(const QString& chiave);

private:
    std::unique_ptr<QSettings> settings_;
};
