// The instruments of the INS window: an attitude indicator (sky and ground
// disc with a pitch ladder and a roll scale, turned by the roll) and a
// heading compass (fixed rose with N at the top, a turning needle and heading
// marker, and a box with two heights). The INS window writes their values and
// emits canvasReplot(); the widgets clamp nothing themselves. A replot whose
// values are those of the last one paints nothing: the window replots on
// every tick, also while the receiver sends no solution.
#pragma once

#include <QWidget>
#include <array>

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
    // Repaints when the values differ from those of the last replot.
    void canvasReplot_slot();

protected:
    using VALUES_T = std::array<double, 3>;
    // The values the picture is drawn from.
    virtual VALUES_T Values() const = 0;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    VALUES_T m_Replotted{};
    bool m_bReplotted = false;
};

class QADI : public QInsInstrument
{
    Q_OBJECT

public:
    explicit QADI(QWidget* pParent = nullptr) : QInsInstrument(pParent) {}

    double m_roll = 0;  // degrees
    double m_pitch = 0; // degrees

protected:
    VALUES_T Values() const override { return {m_roll, m_pitch, 0}; }
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
    VALUES_T Values() const override { return {m_yaw, m_alt, m_h}; }
    void paintEvent(QPaintEvent* pEvent) override;
};
