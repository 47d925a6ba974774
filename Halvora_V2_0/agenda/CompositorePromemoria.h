#pragma once

#include "SceltePromemoria.h"

#include <QDateTime>
#include <QObject>
#include <functional>
#include <optional>

class CalendarioManager;
class Clock;
class DettaturaVocale;

// The reminder composer at the foot of the calendar tab: the title being
// written, the details panel's due date, repetition and advance, and the
// message of the last creation. It holds no widget; the tab draws it and
// forwards the user's actions here. Creation itself is the manager's.
class CompositorePromemoria : public QObject {
    Q_OBJECT
public:
    CompositorePromemoria(CalendarioManager& manager, Clock& clock, DettaturaVocale& dettatura,
                          QObject* parent = nullptr);

    const QString& nuovoPromemoria() const { return nuovoPromemoria_; }
    void setNuovoPromemoria(const QString& testo);
    // Whether the text field holds the keyboard.
    bool scrivendo() const { return scrivendo_; }
    void setScrivendo(bool v);
    bool mostraDettagli() const { return mostraDettagli_; }
    const QDateTime& scadenzaScelta() const { return scadenzaScelta_; }
    void setScadenzaScelta(const QDateTime& quando);
    RipetizionePromemoria ripetizione() const { return ripetizione_; }
    void setRipetizione(RipetizionePromemoria r);
    AnticipoAvviso anticipo() const { return anticipo_; }
    void setAnticipo(AnticipoAvviso a);
    const std::optional<QString>& erroreCreazione() const { return erroreCreazione_; }
    DettaturaVocale& dettatura() const { return dettatura_; }

    // Blank once spaces and tabs are trimmed from both ends (line breaks count).
    bool testoVuoto() const;
    // "le 10:15" today, "il 9 dic alle 10:15" on another day.
    QString etichettaScadenza() const;
    // The details panel's button: "Crea per " and the due label.
    QString testoCrea() const;

    // A one-time reminder due at the quick choice, alarm at the due time.
    void creaRapido(QuandoRicordare quando);
    // A reminder with the panel's date, repetition and advance.
    void creaDaDettagli();
    void alternaDettagli();
    // Starts dictation, or stops it and adds the transcript to the title.
    void alternaDettatura();

    // Brings the application forward so that the panel can take the keyboard.
    void setAttivaApplicazione(std::function<void()> attiva) { attiva_ = std::move(attiva); }
    void attivaApplicazione();

    static constexpr int kAnticipoScelta = 900; // seconds from now of a fresh due date

signals:
    // Any of the values above.
    void cambiato();

private:
    void crea(const QDateTime& scadenza, RipetizionePromemoria ripetizione, AnticipoAvviso anticipo,
              bool daDettagli);
    template<class T>
    void cambia(T& campo, T valore);

    CalendarioManager& manager_;
    Clock& clock_;
    DettaturaVocale& dettatura_;
    std::function<void()> attiva_;

    QString nuovoPromemoria_;
    bool scrivendo_ = false;
    bool mostraDettagli_ = false;
    QDateTime scadenzaScelta_;
    RipetizionePromemoria ripetizione_ = RipetizionePromemoria::mai;
    AnticipoAvviso anticipo_ = AnticipoAvviso::allOraEsatta;
    std::optional<QString> erroreCreazione_;
    bool inCreazione_ = false; // the store has not answered the last request yet
};
