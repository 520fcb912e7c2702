// The instruments of the INS window: an attitude indicator (sky and ground
// disc with a pitch ladder and a roll scale, turned by the roll) and a
// heading compass (fixed rose with N at the top, a turning needle and heading
// marker, and a box with two heights). The INS window writes their values and
// emits canvasReplot(); the widgets clamp nothing themselves.
#pragma once

#include <QWidget>

// What both instruments share: their size limits and the dial size.
class QInsInstrument : public QWidget
{
    Q_OBJECT

public:
    explicit QInsInstrument(QWidget* pParent = nullptr);

    int m_sizeMin = 200;
    int m_sizeMax = 600;
    int m_size = 196; // dial diameter, recomputed on every resize
    int m_offset = 2; // gap between the dial and the widget edge

signals:
    void canvasReplot();

public slots:
    void canvasReplot_slot() { update(); }

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
};

class QADI : public QInsInstrument
{
    Q_OBJECT

public:
    explicit QADI(QWidget* pParent = nullptr) : QInsInstrument(pParent) {}

    double m_roll = 0;  // degrees
    double m_pitch = 0; // degrees

protected:
    void paintEvent(QPaintEvent* pEvent) override;
};

class QCompass : public QInsInstrument
{
    Q_OBJECT

public:
    explicit QCompass(QWidget* pParent = nullptr) : QInsInstrument(pParent) {}

    double m_yaw = 0; // heading, degrees clockwise from north
    double m_alt = 0; // altitude, m
    double m_h = 0;   // second height, m

protected:
    void paintEvent(QPaintEvent* pEvent) override;
};
