#pragma once

#include "Impegno.h"

#include <QHash>
#include <QWidget>
#include <functional>

// The agenda list of the calendar tab: one row per event, then one per
// reminder, on a scrolling strip whose ends fade out. Rows are drawn, not
// widgets; a reminder's round button completes it.
class ElencoAgenda final : public QWidget {
    Q_OBJECT
public:
    // `ora` gives "now" each time the rows are drawn.
    ElencoAgenda(std::function<QDateTime()> ora, QWidget* parent = nullptr);

    void imposta(const QList<Impegno>& impegni, const QList<Promemoria>& promemoria);
    // Why the last action on a reminder failed, by its id: said under its row.
    void impostaErrori(const QHash<QString, QString>& errori);
    const QList<Impegno>& impegni() const { return impegni_; }
    const QList<Promemoria>& promemoria() const { return promemoria_; }

    // The row rectangles, in list coordinates (scroll included).
    QRect rettangoloImpegno(int i) const;
    QRect rettangoloPromemoria(int i) const;
    // Where a reminder's round button is.
    QRect cerchioPromemoria(int i) const;
    int altezzaContenuto() const;
    int scorrimento() const { return scorrimento_; }
    void scorri(int pixel);

    // Under way: started at or before `ora`, ending after it, and not called off.
    static bool inCorso(const Impegno& e, const QDateTime& ora);
    // Due before `ora`; a reminder without a due date never is.
    static bool scaduto(const Promemoria& p, const QDateTime& ora);
    // The due text of a row: "scaduto · " before the text when overdue.
    static std::optional<QString> testoScadenza(const Promemoria& p, const QDateTime& ora);

signals:
    void completaRichiesto(const Promemoria& p);

protected:
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent*) override;

private:
    int altezzaImpegno() const;
    int altezzaPromemoria(const Promemoria& p) const;
    int promemoriaSotto(QPoint punto) const;
    void disegnaImpegno(QPainter& p, const Impegno& e, const QRect& r, const QDateTime& ora) const;
    void disegnaPromemoria(QPainter& p, const Promemoria& m, const QRect& r, const QDateTime& ora) const;

    std::function<QDateTime()> ora_;
    QList<Impegno> impegni_;
    QList<Promemoria> promemoria_;
    QHash<QString, QString> errori_;
    int scorrimento_ = 0;
};
