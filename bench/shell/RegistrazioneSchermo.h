#pragma once

// A stretch of the screen recorded at 120 frames a second by ffmpeg's
// x11grab, each frame kept whole (raw BGRX pixels in shared memory) with the
// real-time clock's microsecond at which it was grabbed.
#include <QList>
#include <QProcess>
#include <QRect>
#include <QString>

class RegistrazioneSchermo {
public:
    // `area`: screen pixels of the display in $DISPLAY.
    explicit RegistrazioneSchermo(QRect area, int fps = 120);
    ~RegistrazioneSchermo();
    RegistrazioneSchermo(const RegistrazioneSchermo&) = delete;
    RegistrazioneSchermo& operator=(const RegistrazioneSchermo&) = delete;

    // Starts grabbing; true once the first frame is in.
    bool avvia();
    // Stops and reads what was grabbed; false when nothing was.
    bool ferma();

    int numero() const { return int(tempi_.size()); }
    qint64 tempo(int i) const { return tempi_[i]; }
    // Pixel rows of frame `i`: BGRX, `passo()` bytes a row.
    const uchar* fotogramma(int i) const;
    int larghezza() const { return area_.width(); }
    int altezza() const { return area_.height(); }
    int passo() const { return area_.width() * 4; }
    QRect area() const { return area_; }

private:
    void libera();
    QRect area_;
    int fps_;
    QString file_, registro_;
    QProcess ffmpeg_;
    QList<qint64> tempi_;
    uchar* mappa_ = nullptr;
    qsizetype lunghezza_ = 0;
};
