#pragma once

#include <QImage>
#include <QList>
#include <QRasterWindow>
#include <QRect>
#include <optional>

// The frozen screens, shown 1:1 in an override-redirect window over all of
// them that holds pointer and keyboard while the user picks: a dragged
// rectangle (area), or the window under the pointer (window). Escape
// cancels; Space switches between the two.
class Sovrapposizione : public QRasterWindow {
    Q_OBJECT
public:
    enum class Modo { area, finestra };

    // `congelata` is the root window's picture; `finestre` the frames over
    // it, top-most first, both in root coordinates.
    Sovrapposizione(QImage congelata, QList<QRect> finestre, Modo modo);

    Modo modo() const { return modo_; }

    // The rectangle a drag from `da` to `a` encloses (the end is exclusive).
    static QRect trascinato(QPoint da, QPoint a);
    // The top-most frame holding `punto`.
    static std::optional<QRect> finestraSotto(const QList<QRect>& finestre, QPoint punto);

signals:
    void scelto(QRect rettangolo);
    void annullato();
    // Pointer and keyboard could not be held: picking is not safe.
    void presaRifiutata();

protected:
    void paintEvent(QPaintEvent*) override;
    void exposeEvent(QExposeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void prendi();
    void setModo(Modo modo);
    // What is highlighted now: the drag, or the window under the pointer.
    std::optional<QRect> evidenziato() const;

    QImage congelata_;
    QList<QRect> finestre_;
    Modo modo_;
    QPoint puntatore_;
    std::optional<QPoint> inizio_;
    int tentativi_ = 0;
    bool presa_ = false;
    bool finito_ = false;
};
