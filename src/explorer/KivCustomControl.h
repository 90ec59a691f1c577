#pragma once

#include <QBrush>
#include <QWidget>

#include <optional>

class QPainter;

// A control that paints itself in one fixed cycle: clear the background when asked, then let the
// derived control draw (OnPaint). Also draws the plain and 3-D frames the program's controls use.
class KivCustomControl : public QWidget {
    Q_OBJECT
public:
    explicit KivCustomControl(QWidget* parent = nullptr);

    // Clear the background before each paint.
    bool NeedClear = false;

    std::optional<QBrush> Background() const { return m_background; }
    void Background(const QBrush& brush);

    // The client rectangle, its width and height.
    QRect GetRect() const { return rect(); }
    int Width() const { return width(); }
    int Height() const { return height(); }

    // Marks the whole control for painting; with erase the next paint clears the background even
    // when NeedClear is off.
    void Repaint(bool erase = true);
    // Paints the control now.
    void Expose();

    // The plain frame; the sunken and raised 3-D frames around a rectangle filled with the face
    // colour (dark edges top and left when sunken, bottom and right when raised).
    void DrawBox(QPainter& painter, const QRect& box) const;
    void Draw3DBox(QPainter& painter, const QRect& box) const;
    void Draw3DBoxRaised(QPainter& painter, const QRect& box) const;

protected:
    // Fills the client rectangle with the Background brush, or the light 3-D colour without one.
    void Clear(QPainter& painter);
    // Derived controls draw here; the painter lives for one paint cycle.
    virtual void OnPaint(QPainter& painter);

    void paintEvent(QPaintEvent* event) override;

private:
    void Draw3D(QPainter& painter, const QRect& box, bool sunken) const;

    std::optional<QBrush> m_background;
    bool m_eraseNext = false;
};
