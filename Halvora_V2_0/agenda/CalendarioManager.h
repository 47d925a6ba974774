#pragma once

#include "Clock.h"
#include "Impegno.h"
#include "SceltePromemoria.h"

#include <QObject>
#include <QHash>
#include <QSet>
#include <functional>
#include <map>
#include <memory>

class ArchivioAgenda;
class CodaArchivio;
class QFileSystemWatcher;
class UserDefaults;

// The agenda's model: today's events and the open reminders due by the end
// of today, read from the calendar store; the timed event about to start and
// the reminder that has just fallen due; and the reminder operations. The
// store is read and written on the queue; results come back to the GUI
// thread, where every published value lives.
class CalendarioManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(std::optional<Impegno> prossimo READ prossimo NOTIFY prossimoChanged)
    Q_PROPERTY(QList<Impegno> impegniDiOggi READ impegniDiOggi NOTIFY impegniDiOggiChanged)
    Q_PROPERTY(bool accessoNegato READ accessoNegato NOTIFY accessoNegatoChanged)
    Q_PROPERTY(QList<Promemoria> promemoria READ promemoria NOTIFY promemoriaChanged)
    Q_PROPERTY(bool accessoPromemoriaNegato READ accessoPromemoriaNegato NOTIFY accessoPromemoriaNegatoChanged)
    Q_PROPERTY(std::optional<Promemoria> daAvvisare READ daAvvisare WRITE setDaAvvisare NOTIFY daAvvisareChanged)
    Q_PROPERTY(QString avvisoImpostazioni READ avvisoImpostazioni NOTIFY avvisoImpostazioniChanged)
    Q_PROPERTY(bool nonRisponde READ nonRisponde NOTIFY nonRispondeChanged)
    Q_PROPERTY(QHash<QString, QString> erroriPromemoria READ erroriPromemoria NOTIFY erroriPromemoriaChanged)

public:
    // `archivio` is used only on `coda`; without a queue the manager makes a
    // worker thread of its own. Starts at once when the calendar was used before.
    CalendarioManager(Clock& clock, UserDefaults& impostazioni, std::shared_ptr<ArchivioAgenda> archivio,
                      std::unique_ptr<CodaArchivio> coda = {}, QObject* parent = nullptr);
    ~CalendarioManager() override;

    const std::optional<Impegno>& prossimo() const { return prossimo_; }
    const QList<Impegno>& impegniDiOggi() const { return impegniDiOggi_; }
    bool accessoNegato() const { return accessoNegato_; }
    const QList<Promemoria>& promemoria() const { return promemoria_; }
    bool accessoPromemoriaNegato() const { return accessoPromemoriaNegato_; }
    const std::optional<Promemoria>& daAvvisare() const { return daAvvisare_; }
    // The shell may clear the card itself.
    void setDaAvvisare(const std::optional<Promemoria>& p);
    // Why the last completion or snooze of a reminder failed, by its id,
    // for the views that show the reminder; gone with the reminder's next
    // success or when it leaves the list.
    const QHash<QString, QString>& erroriPromemoria() const { return erroriPromemoria_; }
    QString erroreDi(const QString& id) const { return erroriPromemoria_.value(id); }
    bool attivo() const { return attivo_; }
    // Why the access panel's button opened nothing; empty otherwise.
    const QString& avvisoImpostazioni() const { return avvisoImpostazioni_; }
    // The last read found the store not answering: the lists show what it
    // gave before.
    bool nonRisponde() const { return nonRisponde_; }

    // Starts reading the store: now, every 30 s and on every change that the
    // store reports or its files show. Later calls do nothing.
    void avvia();
    void aggiornaTutto();
    void aggiornaImpegni();
    void aggiornaPromemoria();

    // Reminder operations. Writes go through the queue; each reports back on
    // the GUI thread, and only while the manager exists.
    using EsitoCallback = std::function<void(const EsitoCreazione&)>;
    // `fatto` receives the outcome: at once for an empty title, else when
    // the store has answered.
    void creaPromemoria(const QString& titolo, const QDateTime& scadenza, RipetizionePromemoria ripetizione,
                        AnticipoAvviso anticipo, EsitoCallback fatto = {});
    void completaPromemoria(const Promemoria& p);
    // The due-reminder card's actions. While one of them is being saved the
    // card's buttons do nothing more.
    void completaDaAvvisare();
    void rimandaDaAvvisare();
    // Opens where the store is set up: the folder, or the desktop's accounts
    // or calendar program; with none of them, `avvisoImpostazioni` says so.
    void apriImpostazioniPrivacy();

    static constexpr double kIntervalloAggiornamento = 30.0;
    // How long a read or write may wait on the store, counted from when it
    // was asked for: one that takes longer is cut short and fails.
    static constexpr double kLimiteArchivio = 10.0;
    // How long quitting waits for writes still queued.
    static constexpr int kAttesaChiusuraMs = 1000;
    static constexpr int kRinvioSecondi = 600;

signals:
    void prossimoChanged();
    void impegniDiOggiChanged();
    void accessoNegatoChanged();
    void promemoriaChanged();
    void accessoPromemoriaNegatoChanged();
    void daAvvisareChanged();
    void avvisoImpostazioniChanged();
    void nonRispondeChanged();
    void erroriPromemoriaChanged();
    // A write the user asked for failed; the text says why.
    void operazioneFallita(const QString& messaggio);
    // Whole reminder lists of saves cut off earlier were kept aside there.
    void messiDaParte(const QStringList& copie);

private:
    // Runs `lavoro` on the queue; the step it returns runs back on the GUI
    // thread. A write is waited for at quit, a little.
    using Passo = std::function<void()>;
    void suCoda(std::function<Passo(ArchivioAgenda&)> lavoro, bool scrittura = false);
    bool accetta(quint64 generazione, quint64& applicata, bool accesso, const QStringList& file);
    void applicaImpegni(quint64 generazione, bool accesso, QList<Impegno> lista, const QStringList& file);
    void applicaPromemoria(quint64 generazione, bool accesso, QList<Promemoria> lista, const QStringList& file);
    void controllaScadenze(const QList<Promemoria>& lista);
    void osserva(bool accesso, const QStringList& file);
    // Another program changed the store: one refresh for a burst of changes.
    void cambioEsterno();
    // `poi` learns whether the reminder is done (also when it was gone already).
    void completa(const Promemoria& p, std::function<void(bool fatto)> poi);
    void setAvvisoImpostazioni(const QString& testo);
    void segnalaErrore(const QString& motivo);
    // What a read tells besides its items; false when the store did not answer.
    bool letta(bool nonRisponde, const QStringList& messiDaParte);
    void segnalaErrore(const QString& id, const QString& messaggio);
    void togliErrore(const QString& id);

    Clock& clock_;
    UserDefaults& impostazioni_;
    std::shared_ptr<ArchivioAgenda> archivio_;
    std::unique_ptr<CodaArchivio> coda_;
    QString cartella_;

    std::optional<Impegno> prossimo_;
    QList<Impegno> impegniDiOggi_;
    bool accessoNegato_ = false;
    QList<Promemoria> promemoria_;
    bool accessoPromemoriaNegato_ = false;
    std::optional<Promemoria> daAvvisare_;
    QString avvisoImpostazioni_;
    QSet<QString> giaAvvisati_;
    QHash<QString, QString> erroriPromemoria_;

    bool attivo_ = false;
    bool azioneInCorso_ = false; // a card action is being saved
    bool cambioInAttesa_ = false;
    bool nonRisponde_ = false;
    quint64 lavori_ = 0; // jobs asked for so far
    std::map<quint64, TimerHandle> limiti_; // the time limit of each job not back yet
    QSet<quint64> scritture_;                // the writes among them
    TimerHandle aggiornamento_;
    QFileSystemWatcher* osservatore_ = nullptr;
    // Refreshes may overlap: each carries a generation, and a result older
    // than the last one applied is dropped.
    quint64 generazioneImpegni_ = 0, applicataImpegni_ = 0;
    quint64 generazionePromemoria_ = 0, applicataPromemoria_ = 0;
};
