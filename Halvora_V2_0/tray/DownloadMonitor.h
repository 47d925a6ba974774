#pragma once

#include "Clock.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QUrl>
#include <optional>

// Watches the Downloads folder and publishes in `ultimoArrivo` the last
// finished file that appeared there; the root view announces it and sets
// it back to none. Bursts of folder events are gathered into one rescan
// 0.6 s after the last. GUI thread only.
class DownloadMonitor final : public QObject {
    Q_OBJECT
    Q_PROPERTY(std::optional<QUrl> ultimoArrivo READ ultimoArrivo WRITE setUltimoArrivo NOTIFY ultimoArrivoChanged)
public:
    static constexpr double kAttesa = 0.6;
    // A folder listing longer than this is not trusted to tell new names
    // from old ones, and publishes nothing.
    static constexpr int kMassimoNomi = 10000;

    // `cartella` empty or missing: the monitor watches nothing.
    explicit DownloadMonitor(Clock& clock, QString cartella = cartellaPredefinita(), QObject* parent = nullptr);
    ~DownloadMonitor() override;

    const std::optional<QUrl>& ultimoArrivo() const { return ultimoArrivo_; }
    void setUltimoArrivo(std::optional<QUrl> url);
    QString cartella() const { return cartella_; }
    bool inAttesa() const { return attesa_.isActive(); }

    // The user's Downloads folder, or empty when the desktop names none.
    static QString cartellaPredefinita();
    // Partial and temporary downloads, compared with the lower-cased extension.
    static bool estensioneSaltata(const QString& nome);
    // The visible names in the folder that are not partial downloads; none
    // when the folder cannot be read or holds more than kMassimoNomi entries.
    static std::optional<QSet<QString>> elencoNomi(const QString& cartella);

signals:
    void ultimoArrivoChanged();

private:
    void scheduleRescan();
    void rescan();

    Clock& clock_;
    QString cartella_;
    std::optional<QUrl> ultimoArrivo_;
    QFileSystemWatcher sorgente_;
    QSet<QString> giaVisti_;
    // The last listing was over the bound: the next one that fits only
    // takes note of the names.
    bool daRiallineare_ = false;
    TimerHandle attesa_;
};
