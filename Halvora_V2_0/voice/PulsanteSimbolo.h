#pragma once

#include <QAbstractButton>
#include <QColor>

// A button that is only a symbol, without chrome.
class PulsanteSimbolo : public QAbstractButton {
    Q_OBJECT
public:
    PulsanteSimbolo(const QString& simbolo, int lato, const QColor& colore, QWidget* parent = nullptr);

    QString simbolo() const { return simbolo_; }
    void impostaSimbolo(const QString& simbolo);
    QSize sizeHint() const override { return {lato_ + 4, lato_ + 4}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString simbolo_;
    int lato_;
    QColor colore_;
};

// The small spinning indicator of a job in progress.
class IndicatoreAttivita : public QWidget {
    Q_OBJECT
public:
    explicit IndicatoreAttivita(int lato, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {lato_, lato_}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    int lato_;
    qreal angolo_ = 0;
    class QVariantAnimation* giro_;
};
