// A polar sky plot: elevation rings and azimuth spokes with their labels, and
// a set of satellites, each a labelled disc at its azimuth and elevation with
// colours and a state of its own. North is up, east right, azimuth clockwise.
#pragma once

#include <QColor>
#include <QHash>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>

class QPainter;

class SkyplotWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(float marginScale READ marginScale WRITE setMarginScale)
    Q_PROPERTY(float satelliteScale READ satelliteScale WRITE setSatelliteScale)
    Q_PROPERTY(float fontScale READ fontScale WRITE setFontScale)
    Q_PROPERTY(QColor gridColor READ gridColor WRITE setGridColor)
    Q_PROPERTY(QColor gridTextColor READ gridTextColor WRITE setGridTextColor)
    Q_PROPERTY(int gridWidth READ gridWidth WRITE setGridWidth)
    Q_PROPERTY(int ellipses READ ellipses WRITE setEllipses)
    Q_PROPERTY(int crosses READ crosses WRITE setCrosses)
    Q_PROPERTY(int textMargin READ textMargin WRITE setTextMargin)
    Q_PROPERTY(int flashIntervall READ flashIntervall WRITE setFlashIntervall)
    Q_PROPERTY(bool withGridLabels READ withGridLabels WRITE setWithGridLabels)
    Q_PROPERTY(bool antialiased READ antialiased WRITE setAntialiased)

public:
    // Bits, tested one by one when painting.
    enum SatelliteState
    {
        Invisible = 0,
        Visible = 1,
        HalfVisible = 2, // a pale disc (30 % of its colour) with dark text
        Marked = 4,      // outlined in its outer colour
        Flashing = 8,    // hidden every other flash period
    };
    Q_ENUM(SatelliteState)

    struct Satellite
    {
        QString label;
        QColor innerColor;
        QColor outerColor;
        QColor fontColor;
        float az = 0; // degrees clockwise from north
        float el = 0; // degrees above the horizon
        quint8 state = Invisible;
    };

    explicit SkyplotWidget(QWidget* pParent = nullptr);

    float marginScale() const { return m_marginScale; }
    float satelliteScale() const { return m_satelliteScale; }
    float fontScale() const { return m_fontScale; }
    QColor gridColor() const { return m_gridColor; }
    QColor gridTextColor() const { return m_gridTextColor; }
    int gridWidth() const { return m_gridWidth; }
    int ellipses() const { return m_ellipses; }
    int crosses() const { return m_crosses; }
    int textMargin() const { return m_textMargin; }
    int flashIntervall() const { return m_flashIntervall; }
    bool withGridLabels() const { return m_withGridLabels; }
    bool antialiased() const { return m_antialiased; }

    void setMarginScale(float v) { Repaint(&m_marginScale, v); }
    void setSatelliteScale(float v) { Repaint(&m_satelliteScale, v); }
    void setFontScale(float v) { Repaint(&m_fontScale, v); }
    void setGridColor(const QColor& v) { Repaint(&m_gridColor, v); }
    void setGridTextColor(const QColor& v) { Repaint(&m_gridTextColor, v); }
    void setGridWidth(int v) { Repaint(&m_gridWidth, v); }
    void setEllipses(int v) { Repaint(&m_ellipses, v); }
    void setCrosses(int v) { Repaint(&m_crosses, v); }
    void setTextMargin(int v) { Repaint(&m_textMargin, v); }
    // Stored only: the flash timer keeps the period it was made with.
    void setFlashIntervall(int v) { m_flashIntervall = v; }
    void setWithGridLabels(bool v) { Repaint(&m_withGridLabels, v); }
    void setAntialiased(bool v) { Repaint(&m_antialiased, v); }

    // What the plot holds, to read back.
    const QHash<int, Satellite>& satellites() const { return m_satellites; }
    // Whether the flash timer runs: only while a satellite is Flashing.
    bool isFlashTimerActive() const { return m_flashTimer.isActive(); }
    // Whether a satellite at this azimuth and elevation is drawn: an
    // elevation outside 0-90 (as "none" reads) or an azimuth outside 0-360
    // has no place on the plot.
    static bool onPlot(float az, float el);

public slots:
    void insert(int id, float az = 0, float el = 90, QString label = QString(), QColor outerColor = QColor(255, 0, 0),
                QColor innerColor = QColor(192, 192, 192), QColor fontColor = QColor(0, 0, 0),
                SkyplotWidget::SatelliteState state = Visible);
    void remove(int id);
    bool contains(int id) const { return m_satellites.contains(id); }
    void setInnerColor(int id, QColor c);
    void setOuterColor(int id, QColor c);
    void setFontColor(int id, QColor c);
    void setState(int id, SkyplotWidget::SatelliteState state);
    void setLabel(int id, QString label);
    void setAzimuth(int id, float az);
    void setElevation(int id, float el);
    void change_flash();

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    // Stores a property and schedules a repaint.
    template <class T> void Repaint(T* pMember, const T& v)
    {
        *pMember = v;
        m_grid = QPixmap();
        m_sprites.clear();
        update();
    }
    // The satellite with this id; made Invisible, uncoloured, at 0/0, when new.
    Satellite& Entry(int id);
    // Starts the flash timer while some satellite flashes and stops it when none does.
    void FollowFlashing();
    // Plot diameter: the smaller side times marginScale.
    float Diameter() const;
    // The rings and spokes with their labels, on the painter of a picture of the widget's size.
    void PaintGrid(QPainter& p) const;
    // A satellite's disc and label, centred in a picture of 2 * SpriteHalf + 1
    // pixels a side, for a disc radius of S; kept for the next paint.
    // A satellite's disc, or its label (drawn over every disc), as a picture.
    const QPixmap& Sprite(const Satellite& s, float S, qreal dpr, bool bLabel);
    static constexpr quint8 kLabelSprite = 0x80; // in SpriteKey::state
    static int SpriteHalf(float S);

    float m_marginScale = 0.78f;
    float m_satelliteScale = 0.03f;
    float m_fontScale = 0.02f;
    QColor m_gridColor{150, 150, 150};
    QColor m_gridTextColor{0, 0, 0};
    int m_gridWidth = 3;
    int m_ellipses = 3;
    int m_crosses = 3;
    int m_textMargin = 10;
    int m_flashIntervall = 500;
    bool m_withGridLabels = true;
    bool m_antialiased = true;

    bool m_flashPhase = false;
    int m_nFlashing = 0; // satellites with the Flashing bit
    QTimer m_flashTimer;
    QHash<int, Satellite> m_satellites;

    // What the paint copies: the grid, and the satellites' pictures by their look.
    struct SpriteKey
    {
        QString label;
        QRgb inner, outer, font;
        quint8 state; // Visible and Marked
        bool operator==(const SpriteKey& o) const
        {
            return label == o.label && inner == o.inner && outer == o.outer && font == o.font && state == o.state;
        }
    };
    friend uint qHash(const SpriteKey& k, uint seed)
    {
        return qHash(k.label, seed) ^ k.inner ^ (k.outer << 1) ^ k.state;
    }
    QPixmap m_grid;
    QColor m_gridBackground;
    QHash<SpriteKey, QPixmap> m_sprites;
    float m_spriteScale = 0;
    qreal m_spriteRatio = 0;
    bool m_spriteAntialiased = true;
};
