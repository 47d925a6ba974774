#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

class QLabel;
class QVBoxLayout;

// A rounded translucent box holding the rows of one settings section,
// one under the other. Also the home of the settings page's type sizes
// and colours, which every piece of the page shares.
class Riquadro final : public QWidget {
    Q_OBJECT
public:
    explicit Riquadro(QWidget* parent = nullptr);

    // Adds the next row; the box takes ownership.
    void aggiungi(QWidget* riga);
    void aggiungi(QLayout* riga);
    // A thin line across the box between two rows.
    void aggiungiDivisore();

    // Type sizes of the dark interface, in pixels.
    static constexpr int kDidascalia = 10; // captions and explanations
    static constexpr int kSottotitolo = 11;
    static constexpr int kCorpo = 13;
    static QFont carattere(int pixel, QFont::Weight peso = QFont::Normal);
    // A plain, wrapping text of the page.
    static QLabel* testo(const QString& testo, const QFont& font, const QColor& colore, QWidget* parent = nullptr);
    static QColor terziario();
    // A coloured text's colour as it reads over the boxes and buttons.
    static QColor leggibile(const QColor& colore);
    // The fills behind boxes and buttons, from the faintest.
    static QColor materialeUltraSottile();
    static QColor materialeRegolare();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QVBoxLayout* righe_;
};
