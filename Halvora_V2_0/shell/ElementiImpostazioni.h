#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QMargins>
#include <QWidget>

class IndicatoreAttivita;
class QHBoxLayout;
class QVariantAnimation;
class QVBoxLayout;
class RigaInterruttore;
class SettingsManager;

// The pieces the sections of the settings page are made of.
namespace Impostazioni {

// What a label or a button shows: a symbol and a one-line text.
struct Aspetto {
    QString simbolo;
    QString testo;
    QFont font;
    QColor colore;
    int latoSimbolo = 12;
    Qt::Alignment allineamento = Qt::AlignLeft;
    bool elidiAlCentro = false;
};

// A symbol beside a one-line text.
class Etichetta final : public QWidget {
public:
    Etichetta(Aspetto aspetto, QWidget* parent);
    QString testo() const { return aspetto_.testo; }
    void setTesto(const QString& t);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Aspetto aspetto_;
};

// A button drawn as its label, on an optional rounded fill. Busy, it shows
// a small spinning indicator in place of the label and takes no clicks.
class Pulsante final : public QAbstractButton {
public:
    Pulsante(Aspetto aspetto, QWidget* parent);
    // A fill behind the label, with its inner margins and corner radius.
    void setFondo(const QColor& fondo, QMargins margini, double raggio);
    // A new label fades in over the old one.
    void setContenuto(const QString& simbolo, const QString& testo);
    void setOccupato(bool occupato);
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent*) override;
    void paintEvent(QPaintEvent*) override;

private:
    Aspetto aspetto_;
    Aspetto precedente_;
    QVariantAnimation* dissolvenza_;
    QColor fondo_;
    QMargins margini_;
    double raggio_ = 0;
    IndicatoreAttivita* indicatore_ = nullptr;
};

QHBoxLayout* rigaOrizzontale(int spaziatura);
QVBoxLayout* colonna(int spaziatura);
QFont didascalia(QFont::Weight peso = QFont::Normal);
// A switch row bound to the Boolean property `proprieta` of the settings,
// named after it.
RigaInterruttore* interruttore(SettingsManager& settings, const QString& titolo, const QString& spiegazione,
                               const char* proprieta);

} // namespace Impostazioni
