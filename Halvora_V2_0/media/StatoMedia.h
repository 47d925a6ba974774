#pragma once

#include <QColor>
#include <QImage>
#include <QString>
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
// tint of the media backgrounds when the track changes.
class TransizioneTinta {
public:
    static constexpr double kDurata = 0.5;
    // Starts a fade at `ora` (Clock::monotonic) unless the target is unchanged.
    void imposta(const std::optional<QColor>& nuova, double ora);
    // The colour to draw at `ora`; none when there is no tint.
    std::optional<QColor> a(double ora) const;
    bool inCorso(double ora) const { return ora - inizio_ < kDurata; }

private:
    std::optional<QColor> da_, verso_;
    double inizio_ = -1e9;
    bool primo_ = true;
};
