#pragma once

#include "Appunto.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTimer>
#include <QWidget>
#include <optional>

// The rows of the clipboard tab, one per history text, each with a copy
// button. Rows with the same text light up together under the pointer.
// A row lays out only the start of its text, and only when it is first
// shown at a width; rows whose text was already listed keep their layout,
// so a new copy lays out one row whatever the history holds.
class ElencoAppunti final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSpaziatura = 12;
    static constexpr int kMargine = 14;
    static constexpr int kLatoPulsante = 36; // a 16-point symbol with 10 around it
    static constexpr int kMassimoRighe = 3;
    // Characters of a text a row keeps for display: more than three lines
    // of the narrowest glyphs at the widest panel.
    static constexpr int kAnteprima = 1000;

    explicit ElencoAppunti(QWidget* parent = nullptr);

    void setVoci(const QList<Appunto>& voci);
    const QList<Appunto>& voci() const { return voci_; }
    // The text of the row under the pointer.
    std::optional<QString> rigaSottoIlMouse() const;

    // Where row `indice` and its copy button are, at the current width.
    QRect rettangoloRiga(int indice) const;
    QRect rettangoloPulsante(int indice) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int larghezza) const override;
    QSize sizeHint() const override;

    // The lines a row shows: at most three, the last ending in an ellipsis when the text goes on.
    static QStringList righeVisibili(const QString& testo, const QFont& font, int larghezza);
    static QFont fontTesto();

signals:
    void copia(const Appunto& voce);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;
    void moveEvent(QMoveEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    struct Riga {
        Appunto testo;       // shared with the history, never copied
        QString anteprima;   // the start of it that is laid out
        bool continua = false; // the text goes on past it
        int gruppo = 0;      // rows with equal texts share it
        int larghezza = -1;  // the width `linee` were laid out at
        QStringList linee;
    };
    // The lines of the start of a text; `continua` says the text goes on past it.
    static QStringList dispone(const QString& inizio, bool continua, const QFont& font, int larghezza);
    // The start of a text that a row lays out; `continua` says it goes on.
    static QString anteprimaDi(const Appunto& testo, bool& continua);
    int larghezzaTesto(int larghezzaRiga) const;
    const QStringList& linee(int indice, int larghezza) const;
    int altezzaRiga(int indice, int larghezza) const;
    // Tops and heights at the current width, worked out when first needed.
    void assicuraDisposizione() const;
    int indiceIn(const QPoint& p) const;
    void aggiornaSottoIlMouse(const QPoint& p);
    void passoAnimazione();
    void disegnaRiga(QPainter& p, int indice);

    QList<Appunto> voci_;
    mutable std::vector<Riga> righe_;
    int prossimoGruppo_ = 1;
    mutable std::vector<int> cime_; // top of each row at the current width
    mutable std::vector<int> altezze_;
    mutable bool disposte_ = false;
    std::optional<int> gruppoSottoIlMouse_;
    int premuto_ = -1;
    // Hover progress 0…1 per group of equal texts, eased when drawn.
    QHash<int, qreal> illuminazione_;
    QTimer animazione_;
    QElapsedTimer passo_;
};
