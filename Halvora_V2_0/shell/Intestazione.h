#pragma once

#include <QWidget>

// The title of a settings section: small, spaced, upper-case capitals
// over its box.
class Intestazione final : public QWidget {
    Q_OBJECT
public:
    explicit Intestazione(const QString& titolo, QWidget* parent = nullptr);

    QString titolo() const { return titolo_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString titolo_;
};
