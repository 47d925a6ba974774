#pragma once

#include <QGraphicsEffect>
#include <QImage>
#include <QPainterPath>
#include <QPointer>
#include <optional>

class QWidget;

// Whether `e`, sent to `o`, changes how `radice` looks as a whole: a widget
// inside it (or itself) comes, goes or lays itself out anew. A picture of
// `radice` is then to be made again.
bool cambiaAspettoDi(const QWidget* radice, const QObject* o, const QEvent* e);
// Whether `o` is `radice` or a widget inside it.
bool dentroDi(const QWidget* radice, const QObject* o);

// Draws its widget from a kept picture of it, faded and clipped as told:
// a widget that moves, fades or is uncovered frame by frame costs one copy
// a frame instead of painting itself again. The picture is made at the
// first paint and again after invalida(), and when a widget inside comes,
// goes or lays itself out anew (rows built as they are needed); whoever
// only repaints something inside while the effect lasts says so.
class EffettoStrato : public QGraphicsEffect {
    Q_OBJECT
public:
    // The effect of `widget`, which owns it: set it with setGraphicsEffect.
    explicit EffettoStrato(QWidget* widget);

    void setOpacita(double opacita);
    double opacita() const { return opacita_; }
    // What of the widget shows (its coordinates), its edge antialiased;
    // none: all of it.
    void setRitaglio(const std::optional<QPainterPath>& ritaglio);
    void invalida();
    // Makes the picture now, when it is not made yet.
    void prepara();

protected:
    void draw(QPainter* p) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QPointer<QWidget> widget_;
    QImage immagine_; // made again in place, not allocated anew each time
    bool valida_ = false;
    bool rendendo_ = false;
    double opacita_ = 1;
    std::optional<QPainterPath> ritaglio_;
};
