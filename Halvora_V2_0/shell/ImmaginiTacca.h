#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QObject>
#include <QRectF>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <memory>

class QPainter;

// The notch shape drawn from kept pictures, so that a notch that moves or
// repaints costs a few copies instead of its shadows' wide strokes. At rest
// it shows a picture of its very shape, made on a worker thread while the
// springs run towards it (or at once when none was asked for). Moving, it lays the four corners of a picture of
// one tall shape at the shape's corners: edges and inside are alike all
// along, so the pieces meet without a seam. A shape too low for its corners
// to keep their radius is drawn straight while it moves.
class ImmaginiTacca : public QObject {
    Q_OBJECT
public:
    explicit ImmaginiTacca(QObject* parent = nullptr);
    ~ImmaginiTacca() override;

    // Makes, off this thread, the picture the pieces are cut from: it
    // serves shapes up to `massima`.
    void preparaRiferimento(QSizeF massima, double dpr);
    // Makes, off this thread, the picture of the translucent shape over
    // `cornice` (a painter with no transform on a device of `dpr`).
    void prepara(const QRectF& cornice, double dpr);
    // Makes, off this thread, the pictures of the low shapes among `forme`
    // (those a moving shape is drawn straight as), in place of those asked
    // for before: the frames the springs will show on their way.
    void anticipa(const QList<QRectF>& forme, double dpr);
    // As FormaTacca::disegna; `inMoto` while the shape moves.
    void disegna(QPainter& p, const QRectF& cornice, double altezza, bool pieno, bool inMoto);

    bool riferimentoPronto() const { return !riferimento_.immagine.isNull(); }

signals:
    // A picture asked for is ready.
    void pronta();

private:
    // Where a shape's picture lies: in device pixels from the painter's origin.
    struct Posto {
        QPoint origine;
        QRectF locale; // the shape in the picture, logical
        QSize lato;    // the picture, device pixels
    };
    struct Immagine {
        QRectF locale;
        double dpr = 0;
        QColor materiale;
        QImage immagine; // device pixels
        bool uguale(const QRectF& l, double d, const QColor& m) const
        {
            return locale == l && dpr == d && materiale == m;
        }
    };
    static Posto posto(const QRectF& forma, QPointF spostamento, double dpr);
    static QImage rendi(const Posto& posto, double dpr, const QColor& materiale);
    const Immagine* esatta(const QRectF& locale, double dpr, const QColor& materiale) const;
    const Immagine* anticipata(const QRectF& locale, double dpr, const QColor& materiale) const;
    void conserva(Immagine immagine);
    void chiedi(const Posto& posto, double dpr, const QColor& materiale);
    // Renders on the worker, then hands the picture over on this thread.
    void lancia(const Posto& posto, double dpr, const QColor& materiale, std::function<void(QImage)> consegna,
                std::function<bool()> ancoraVoluta = {});
    bool componi(QPainter& p, const QRectF& forma, QPointF spostamento, double dpr, const QColor& materiale);

    QThreadPool lavoro_;
    QList<Immagine> esatte_; // the most recent first
    QList<Immagine> richieste_; // asked for and not come yet (no pictures)
    QList<Immagine> anticipate_; // of the frames to come (some not come yet: no pictures)
    std::shared_ptr<std::atomic<int>> giro_ = std::make_shared<std::atomic<int>>(0); // of anticipa()
    Immagine riferimento_;   // its shape lies at (margine, margine) with riferimentoLato_
    QSize riferimentoLato_;  // device pixels
    QSizeF riferimentoChiesto_;
    double riferimentoDprChiesto_ = 0;
    QColor riferimentoMateriale_;
};
