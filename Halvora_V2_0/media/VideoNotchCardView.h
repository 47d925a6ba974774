#pragma once

#include "PlayerTacca.h"
#include "SovrapposizioneVideo.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

class VideoNotchManager;
class QWindow;

// The card under the closed notch that shows the video taken over from a
// browser: the player's own window embedded in it while the helper runs,
// its state while it opens or fails, its controls and a resize handle.
// The application draws the shadow and the border; the player's window
// draws the controls and the notice over its page, and while there is no
// window the card draws the same layers itself. Its only state is the
// width, which the root view stores. The widget is the card grown by the
// room its shadow takes.
class VideoNotchCardView : public QWidget {
    Q_OBJECT
public:
    static constexpr double kLarghezzaPredefinita = 320;
    static constexpr double kMinima = 240;
    static constexpr double kMassima = 560;
    static constexpr QMargins kMargini{20, 14, 20, 26};

    // The width a stored value gives: not a finite number is the default,
    // then clamped to 240…560.
    static double larghezzaMostrata(double salvata);
    // The card for a width: clamped, 16:9.
    static QSizeF dimensione(double larghezza);
    // The width a drag of the handle proposes, unclamped: twice the
    // horizontal travel, or 16/9 of the travel downwards, whichever changes
    // the card more (ties go to the horizontal one). Screen y grows down.
    static double propostaManiglia(const QPointF& inizio, double larghezzaIniziale, const QPointF& ora);

    VideoNotchCardView(VideoNotchManager& manager, double larghezzaSalvata, std::function<void(double)> salva,
                       QWidget* parent = nullptr);
    ~VideoNotchCardView() override;

    QRectF rettangoloScheda() const;
    double larghezza() const;
    SovrapposizioneVideo::Vista vista() const;
    // The embedded player's window, while there is one.
    QWidget* contenitore() const { return contenitore_; }

signals:
    // The card changed size (a drag of the handle).
    void dimensioneChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void showEvent(QShowEvent*) override;

private:
    void aggiornaVista();
    void ospita();
    void mostraIncorporata();
    void lascia();
    void applicaLarghezza();
    void trascina(PlayerTacca::Fase fase, QPointF punto);

    VideoNotchManager& m_;
    QPointer<PlayerTacca> player_;
    double salvata_;
    std::optional<double> inTrascinamento_;
    std::optional<std::pair<QPointF, double>> inizio_;
    std::function<void(double)> salva_;
    QPointer<QWindow> finestra_;
    QPointer<QWidget> contenitore_;
    QTimer giro_;
    QElapsedTimer orologio_;
    QImage ombra_;
};
