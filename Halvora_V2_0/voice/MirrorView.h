#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QThreadPool>
#include <QVideoFrame>
#include <QWidget>

class CameraManager;

// The round button under the mirror: a symbol on a coloured disc that grows
// a little under the pointer.
class PulsanteCamera : public QAbstractButton {
    Q_OBJECT
public:
    explicit PulsanteCamera(QWidget* parent = nullptr);

    void imposta(const QString& simbolo, const QColor& colore);
    QString simbolo() const { return simbolo_; }
    QColor colore() const { return colore_; }
    bool sotto() const { return sotto_; }

    static constexpr int kLato = 56;
    static constexpr double kIngrandimento = 1.08;
    QSize sizeHint() const override { return {kLato + 6, kLato + 6}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QString simbolo_;
    QColor colore_;
    bool sotto_ = false;
    double scala_ = 1.0;
    class QVariantAnimation* crescita_;
};

// The mirror tab: a round live picture from the camera, mirrored left to
// right, with one button that turns the camera on or off, and its faces
// for a denied camera, no camera and a camera that is off. It never starts
// the camera by itself; everything it shows comes from the CameraManager.
class MirrorView : public QWidget {
    Q_OBJECT
public:
    enum class Faccia { negata, nessunaCamera, dalVivo, spenta };

    explicit MirrorView(CameraManager& cameraManager, QWidget* parent = nullptr);
    ~MirrorView() override;

    // Which face shows, in this order of precedence.
    static Faccia faccia(bool permissionDenied, bool nessunaCamera, bool isSessionRunning);
    Faccia facciaCorrente() const;

    PulsanteCamera* pulsante() const { return pulsante_; }
    QRectF rettangoloDisco() const { return disco_; }
    // The picture as it goes into the disc: square, mirrored, 280 points.
    const QImage& immagine() const { return immagine_; }

    // A frame cropped to fill a square of `lato` and flipped left to right.
    static QImage specchia(const QImage& fotogramma, int lato);

    static constexpr double kDisco = 280;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void aggiorna();
    void collegaAnteprima();
    void disponi();
    void nuovoFotogramma(const QVideoFrame& fotogramma);
    void converti(const QVideoFrame& fotogramma);
    void convertito(const QImage& immagine);
    void disegnaFaccia(QPainter& p, const QString& simbolo, int lato, double opacita, const QString& testo,
                       const QFont& carattere, int spazio, int margine);

    CameraManager& camera_;
    PulsanteCamera* pulsante_;
    QImage immagine_;
    // Frames are converted off the GUI thread, one at a time; while one is
    // in hand only the newest that arrives waits.
    QThreadPool conversione_;
    bool convertendo_ = false;
    bool collegata_ = false; // to the camera's picture
    QVideoFrame inAttesa_;
    QRectF intestazione_, disco_, riga_;
};
