#pragma once

#include <QAbstractButton>
#include <functional>

class CompositorePromemoria;
class IndicatoreAttivita;
class QDateTimeEdit;
class QLineEdit;
class QMenu;

// A chromeless button drawn by a function; disabled, it draws at a lower opacity.
class PulsanteAgenda final : public QAbstractButton {
    Q_OBJECT
public:
    using Disegno = std::function<void(QPainter&, const QRect&)>;
    using Misura = std::function<QSize()>;
    PulsanteAgenda(Misura misura, Disegno disegno, QWidget* parent = nullptr);
    QSize sizeHint() const override { return misura_(); }
    QSize minimumSizeHint() const override { return misura_(); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Misura misura_;
    Disegno disegno_;
};

// The composer bar: "plus.circle", the title field, the microphone, the
// quick menu and the details button, on the material of the tab.
class BarraCompositore final : public QWidget {
    Q_OBJECT
public:
    BarraCompositore(CompositorePromemoria& compositore, QWidget* parent = nullptr);

    QLineEdit* campo() const { return campo_; }
    QAbstractButton* microfono() const { return microfono_; }
    QAbstractButton* rapido() const { return rapido_; }
    QAbstractButton* dettagli() const { return dettagli_; }
    QMenu* menuRapido() const { return menuRapido_; }

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void aggiorna();

    CompositorePromemoria& compositore_;
    QLineEdit* campo_;
    PulsanteAgenda* microfono_;
    IndicatoreAttivita* attesa_;
    PulsanteAgenda* rapido_;
    PulsanteAgenda* dettagli_;
    QMenu* menuRapido_;
};

// The details panel: the due date and time, the repetition and advance
// menus, and the create button.
class PannelloDettagli final : public QWidget {
    Q_OBJECT
public:
    PannelloDettagli(CompositorePromemoria& compositore, QWidget* parent = nullptr);

    QDateTimeEdit* quando() const { return quando_; }
    QMenu* menuRipetizione() const { return menuRipetizione_; }
    QMenu* menuAnticipo() const { return menuAnticipo_; }
    QAbstractButton* crea() const { return crea_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void aggiorna();

    CompositorePromemoria& compositore_;
    QDateTimeEdit* quando_;
    PulsanteAgenda* ripetizione_;
    PulsanteAgenda* anticipo_;
    PulsanteAgenda* crea_;
    QMenu* menuRipetizione_;
    QMenu* menuAnticipo_;
};

// One line of message under the composer bar, with an optional symbol.
class MessaggioAgenda final : public QWidget {
    Q_OBJECT
public:
    MessaggioAgenda(QString simbolo, QColor colore, QWidget* parent = nullptr);
    // Hidden when there is no text.
    void imposta(const std::optional<QString>& testo);
    QString testo() const { return testo_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString simbolo_;
    QColor colore_;
    QString testo_;
};
