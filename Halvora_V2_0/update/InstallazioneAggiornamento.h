#pragma once

#include "CopiaInApplicazioni.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSslConfiguration>
#include <QString>
#include <QThread>
#include <QUrl>
#include <functional>
#include <optional>

class LavoratoreInstallazione;

// Downloads an update package and puts the application it holds in place
// of the installed copy, on a thread of its own. The package is fetched
// over HTTPS into a folder of the user's temporary folder, unpacked by the
// unpacking helper into a hidden folder beside the installed copy (the swap
// needs one file system), checked (signed by our key, this application,
// the announced version, this architecture) and swapped with the installed
// copy by renames that never leave it half-installed. Both folders, with
// the old copy after a swap, are removed at the end whatever happened, and
// at quit; what a killed run leaves is the start-up clean-up's
// (CopiaInApplicazioni::rimuoviSoste).
class InstallazioneAggiornamento final : public QObject {
    Q_OBJECT
public:
    struct Opzioni {
        QString destinazione;     // the installed copy; ~/Applications/<this bundle's folder> when empty
        QByteArray chiave;        // the trusted public key; the one built in when empty
        QString architettura;     // this build's when empty
        QString scompattatore;    // the unpacking helper beside the application when empty
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        qint64 scaricoMassimo = qint64(512) << 20; // bytes of the package
        int inattivitaMs = 30000;                  // the download stops after this long without data
        // ...and once it has taken longer than this allowance plus its
        // announced size (or what came, when none is announced) at this rate.
        int margineMs = 60000;
        qint64 velocitaMinima = 20 << 10; // bytes per second
        qint64 vociMassime = 20000;                // of the unpacked package
        qint64 byteMassimi = qint64(1) << 30;
        int attesaScompattaMs = 120000;
        CopiaInApplicazioni::Rinomina rinomina; // renameat2() when empty
    };

    explicit InstallazioneAggiornamento(Opzioni opzioni, QObject* parent = nullptr);
    ~InstallazioneAggiornamento() override;

    const QString& destinazione() const { return destinazione_; }

    // Starts one run. `passo` gets each step text and `fine` the failure
    // text, or none once the new copy is in place; both on this object's
    // thread, in order, and never after it is gone.
    void avvia(const QUrl& pacchetto, const QString& versione, std::function<void(const QString&)> passo,
               std::function<void(std::optional<QString>)> fine);

private slots:
    void passoRicevuto(quint64 id, const QString& testo);
    void fineRicevuta(quint64 id, bool riuscita, const QString& errore);

private:
    QString destinazione_;
    QThread thread_;
    LavoratoreInstallazione* lavoratore_ = nullptr;
    quint64 prossimo_ = 0;
    struct Richiamo {
        std::function<void(const QString&)> passo;
        std::function<void(std::optional<QString>)> fine;
    };
    QHash<quint64, Richiamo> inCorso_;
};
