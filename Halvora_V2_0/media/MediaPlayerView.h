#pragma once

#include "Clock.h"
#include "StatoMedia.h"

#include <QHash>
#include <QWidget>
#include <functional>

class MediaManager;

// The media tab: artwork, title, artist and source, the transport buttons,
// the position slider (or the live row of a stream), and the button that
// moves a browser video into the notch. It draws a StatoMedia and sends
// every action out; built on a MediaManager it reads and drives that.
class MediaPlayerView : public QWidget {
    Q_OBJECT
public:
    enum class Zona { precedente, playPause, successivo, cursore, apriNellaTacca };

    MediaPlayerView(MediaManager& manager, std::function<void()> apriNellaTacca, QWidget* parent = nullptr,
                    Clock& clock = Clock::system());
    explicit MediaPlayerView(QWidget* parent = nullptr, Clock& clock = Clock::system());

    void setStato(const StatoMedia& stato);
    const StatoMedia& stato() const { return stato_; }
    // Without an action the view never offers to open a browser video.
    void setApriNellaTacca(std::function<void()> azione);

    // "mm:ss" with minutes past 59; "00:00" for a time that is not finite.
    static QString formattaTempo(double secondi);
    static bool nienteInRiproduzione(const StatoMedia& stato);
    // Where a control lies now; empty when it is not shown.
    QRectF zona(Zona z) const { return zone_.value(z); }
    bool cursoreAttivo() const;

    QSize sizeHint() const override { return {400, 190}; }

signals:
    void previousTrack();
    void togglePlayPause();
    void nextTrack();
    void trascinamento(bool inCorso);
    void posizioneTrascinata(double secondi);
    void seek(double secondi);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void disponi();
    void disegnaPlayer(QPainter& p);
    void disegnaNiente(QPainter& p);
    double valoreCursore(double x) const;
    bool mostraApri() const { return bool(apriNellaTacca_) && stato_.titoloVideoBrowser.has_value(); }

    Clock& clock_;
    StatoMedia stato_;
    std::function<void()> apriNellaTacca_;
    QHash<Zona, QRectF> zone_;
    QRectF binario_; // the slider's track
    bool trascinando_ = false;
    TransizioneTinta tinta_;
};
