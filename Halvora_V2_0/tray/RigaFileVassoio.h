#pragma once

#include <QIcon>
#include <QUrl>
#include <QWidget>

// One file of the tray tab: selection circle, file icon and name, share
// and delete buttons; dragging it hands the file to another application.
// The row keeps no state of its own: the tab tells it how to look and
// hears about every pointer change and action.
class RigaFileVassoio : public QWidget {
    Q_OBJECT
public:
    // How the tab wants the row drawn.
    struct Stato {
        bool selezionata = false;
        bool sottoIlMouse = false;
        bool invioDisponibile = false;
        bool hoverInvio = false;
        bool hoverElimina = false;
        bool operator==(const Stato&) const = default;
    };
    enum class Parte { nessuna, selezione, invio, elimina };

    explicit RigaFileVassoio(const QUrl& file, QWidget* parent = nullptr);

    QUrl file() const { return file_; }
    void setStato(const Stato& stato);
    Stato stato() const { return stato_; }

    // Where each part lies, in the row's coordinates (empty when absent).
    QRectF rettangolo(Parte parte) const;
    Parte parteIn(const QPointF& punto) const;
    QString aiuto(const QPointF& punto) const;

    QSize sizeHint() const override { return {320, kAltezza}; }

    // Card height plus room for the lift and the shadow.
    static constexpr int kAltezza = 54;

signals:
    void selezioneAlternata(const QUrl& file);
    void invioChiesto(const QUrl& file);
    void eliminazioneChiesta(const QUrl& file);
    void puntatoreEntrato(const QUrl& file);
    void puntatoreUscito(const QUrl& file);
    void hoverInvioCambiato(const QUrl& file, bool sopra);
    void hoverEliminaCambiato(const QUrl& file, bool sopra);

protected:
    void paintEvent(QPaintEvent*) override;
    bool event(QEvent* e) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QRectF scheda() const;
    void aggiornaHover(Parte parte);
    void trascina();

    QUrl file_;
    QIcon icona_;
    Stato stato_;
    Parte hover_ = Parte::nessuna;
    Parte premuta_ = Parte::nessuna;
    std::optional<QPoint> inizioTrascinamento_;
};
