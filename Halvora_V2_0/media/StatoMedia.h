#pragma once

#include "Clock.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <functional>
#include <optional>

class MediaManager;

// What the media views draw: a copy of the manager's published fields, so
// a view can also be shown with plain values.
struct StatoMedia {
    QString trackTitle;
    QString trackArtist;
    QImage albumArt;
    std::optional<QColor> albumTint;
    bool isPlaying = false;
    double currentTime = 0;
    double totalDuration = 0;
    QString activeAppDisplayName;
    QString simboloSorgente = QStringLiteral("applelogo");
    bool permetteSeek = true;
    std::optional<QString> titoloVideoBrowser; // set while a browser plays a video

    static StatoMedia da(const MediaManager& manager);
};

// A colour that fades to a new value over 0.5 s, eased in and out: the
// tint of the media backgrounds when the track changes. It asks its owner
// to redraw on every frame of the fade.
class TransizioneTinta {
public:
    static constexpr double kDurata = 0.5;
    TransizioneTinta(Clock& clock, std::function<void()> ridisegna) : clock_(clock), ridisegna_(std::move(ridisegna)) {}
    // Starts a fade unless the target is unchanged; the first value shows at once.
    void imposta(const std::optional<QColor>& nuova);
    // The colour to draw now; none when there is no tint.
    std::optional<QColor> attuale() const;

private:
    Clock& clock_;
    std::function<void()> ridisegna_;
    std::optional<QColor> da_, verso_;
    double inizio_ = -1e9;
    bool primo_ = true;
    TimerHandle timer_;
};
