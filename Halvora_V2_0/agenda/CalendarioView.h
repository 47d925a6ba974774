#pragma once

#include "CompositorePromemoria.h"
#include "Molla.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class BarraCompositore;
class CalendarioManager;
class Clock;
class DettaturaVocale;
class ElencoAgenda;
class MessaggioAgenda;
class PannelloDettagli;
class QAbstractButton;
class QLabel;
class QStackedWidget;

// The calendario tab: today's events and open reminders, the face shown when
// the calendar store cannot be used, and the reminder composer at its foot.
// It reads the manager and hands every action back to it.
class CalendarioView final : public QWidget {
    Q_OBJECT
public:
    // The composer, kept by the caller, outlives the tab: what is typed
    // stays when the tab is left and built again.
    CalendarioView(CalendarioManager& manager, Clock& clock, CompositorePromemoria& compositore,
                   QWidget* parent = nullptr);
    // A composer of the tab's own, on `dettatura`.
    CalendarioView(CalendarioManager& manager, Clock& clock, std::unique_ptr<DettaturaVocale> dettatura,
                   QWidget* parent = nullptr);
    ~CalendarioView() override;

    // What fills the space under the header.
    enum class Corpo { accesso, vuoto, elenco };
    static Corpo sceltaCorpo(bool accessoNegato, bool accessoPromemoriaNegato, bool nienteOggi);
    Corpo corpo() const;

    // The header's date: weekday, day and month as the locale writes and
    // cases them, without the year.
    static QString dataDiOggi(const QDate& giorno, const QLocale& locale);

    CompositorePromemoria& compositore() const { return *compositore_; }
    DettaturaVocale& dettatura() const;
    ElencoAgenda* elenco() const { return elenco_; }
    BarraCompositore* barra() const { return barra_; }
    PannelloDettagli* pannelloDettagli() const { return dettagli_; }
    MessaggioAgenda* erroreCreazione() const { return erroreCreazione_; }
    MessaggioAgenda* erroreDettatura() const { return erroreDettatura_; }
    // "Il calendario non risponde.", while the store keeps a read waiting.
    MessaggioAgenda* avvisoArchivio() const { return avvisoArchivio_; }
    QAbstractButton* apriImpostazioni() const { return apriImpostazioni_; }
    // Why the access panel's button opened nothing.
    QLabel* avvisoImpostazioni() const { return avvisoImpostazioni_; }
    // Ends the details panel's coming or going at once.
    void completaAnimazioni();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void aggiornaCompositore();
    // The body and its rows, from the manager.
    void aggiornaCorpo();
    // The messages and the details panel, from the composer and the dictation.
    void aggiornaPiede();
    // Lays the details panel where its spring has it.
    void disponiDettagli();

    CalendarioManager& manager_;
    Clock& clock_;
    // Only when the composer is the view's own.
    std::unique_ptr<DettaturaVocale> dettaturaPropria_;
    std::unique_ptr<CompositorePromemoria> compositoreProprio_;
    // Its keeper may let it go before this view is destroyed.
    QPointer<CompositorePromemoria> compositore_;

    QStackedWidget* corpo_;
    QWidget* accesso_;
    QAbstractButton* apriImpostazioni_;
    QLabel* avvisoImpostazioni_;
    QWidget* vuoto_;
    ElencoAgenda* elenco_;
    BarraCompositore* barra_;
    MessaggioAgenda* erroreCreazione_;
    MessaggioAgenda* erroreDettatura_;
    MessaggioAgenda* avvisoArchivio_;
    PannelloDettagli* dettagli_;
    // The details panel comes in from the bottom edge as it fades in (0
    // gone, 1 in its place), and leaves the same way; the column above
    // makes room for it on the same spring.
    Molla dettagliDentro_;
    AnimatoreMolle animatore_;
};
