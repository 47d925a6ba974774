#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QTimer>
#include <QWidget>
#include <optional>

// The rows of the clipboard tab, one per history text, each with a copy
// button. Rows with the same text light up together under the pointer.
class ElencoAppunti final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSpaziatura = 12;
    static constexpr int kMargine = 14;
    static constexpr int kLatoPulsante = 36; // a 16-point symbol with 10 around it
    static constexpr int kMassimoRighe = 3;

    explicit ElencoAppunti(QWidget* parent = nullptr);

    void setVoci(const QStringList& voci);
    QStringList voci() const { return voci_; }
    // The text of the row under the pointer.
    std::optional<QString> rigaSottoIlMouse() const { return rigaSottoIlMouse_; }

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
    void copia(const QString& testo);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;
    void moveEvent(QMoveEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    int larghezzaTesto(int larghezzaRiga) const;
    int altezzaRiga(int indice, int larghezza) const;
    void ricalcola();
    int indiceIn(const QPoint& p) const;
    void aggiornaSottoIlMouse(const QPoint& p);
    void passoAnimazione();
    void disegnaRiga(QPainter& p, int indice);

    QStringList voci_;
    std::vector<int> cime_;   // top of each row at the current width
    std::vector<int> altezze_;
    std::optional<QString> rigaSottoIlMouse_;
    int premuto_ = -1;
    // Hover progress 0…1 per text, eased when drawn.
    QHash<QString, qreal> illuminazione_;
    QTimer animazione_;
    QElapsedTimer passo_;
};
